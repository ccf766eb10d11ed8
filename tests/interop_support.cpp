#include "interop_support.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

#include "netlist/net_names.hpp"

namespace syn::test {
namespace {

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  Json document() {
    Json value = read_value();
    skip_space();
    if (at_ != text_.size()) fail("trailing text");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
  }
  void skip_space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  char peek() {
    skip_space();
    if (at_ >= text_.size()) fail("unexpected end");
    return text_[at_];
  }
  void expect(char c) {
    if (peek() != c) fail(std::string("expected ") + c);
    ++at_;
  }

  Json read_value() {
    const char c = peek();
    if (c == '{') return read_object();
    if (c == '[') return read_array();
    if (c == '"') return {Json::string, read_string(), {}, {}};
    Json value;
    const std::size_t start = at_;
    while (at_ < text_.size() && std::string(",]} \t\r\n").find(text_[at_]) == std::string::npos) ++at_;
    value.text = text_.substr(start, at_ - start);
    if (value.text.empty()) fail("expected a value");
    value.kind = value.text == "null" ? Json::null
                 : (value.text == "true" || value.text == "false") ? Json::boolean
                                                                    : Json::number;
    return value;
  }

  std::string read_string() {
    expect('"');
    std::string out;
    while (true) {
      if (at_ >= text_.size()) fail("unterminated string");
      const char c = text_[at_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) fail("unterminated escape");
      const char e = text_[at_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (at_ + 4 > text_.size()) fail("short \\u escape");
          const unsigned code = std::stoul(text_.substr(at_, 4), nullptr, 16);
          at_ += 4;
          if (code < 0x80) out += static_cast<char>(code);
          else out += '?';
          break;
        }
        default: out += e;
      }
    }
  }

  Json read_array() {
    expect('[');
    Json value{Json::array, {}, {}, {}};
    if (peek() == ']') {
      ++at_;
      return value;
    }
    while (true) {
      value.items.push_back(read_value());
      if (peek() == ']') break;
      expect(',');
    }
    ++at_;
    return value;
  }

  Json read_object() {
    expect('{');
    Json value{Json::object, {}, {}, {}};
    if (peek() == '}') {
      ++at_;
      return value;
    }
    while (true) {
      peek();
      std::string key = read_string();
      expect(':');
      value.members.emplace_back(std::move(key), read_value());
      if (peek() == '}') break;
      expect(',');
    }
    ++at_;
    return value;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

// The line of the Verilog file a cell came from, out of "file:12.3-12.40".
int source_line(const Json& cell) {
  const Json* attributes = cell.get("attributes");
  const Json* src = attributes ? attributes->get("src") : nullptr;
  if (!src) return -1;
  const std::size_t colon = src->text.rfind(':');
  if (colon == std::string::npos) return -1;
  return std::atoi(src->text.c_str() + colon + 1);
}

std::string quote_for_shell(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Native bit nets and the synthesis tool's bit numbers must correspond one
// to one.
class BitMatch {
 public:
  void pair(const std::string& native, const std::string& bit, const std::string& where,
            std::ostringstream& failures) {
    auto [n, fresh_n] = to_bit_.try_emplace(native, bit);
    auto [b, fresh_b] = to_native_.try_emplace(bit, native);
    if (n->second != bit) failures << where << ": net " << native << " is bit " << bit << " here but bit " << n->second << " elsewhere\n";
    if (b->second != native) failures << where << ": nets " << native << " and " << b->second << " are merged into bit " << bit << "\n";
    (void)fresh_n;
    (void)fresh_b;
  }
  void spare(const std::string& bit) { spare_.insert(bit); }
  void check_spares(std::ostringstream& failures) const {
    for (const std::string& bit : spare_) {
      if (to_native_.count(bit)) failures << "unconnected port bit " << bit << " is net " << to_native_.at(bit) << "\n";
    }
  }

 private:
  std::unordered_map<std::string, std::string> to_bit_;
  std::unordered_map<std::string, std::string> to_native_;
  std::set<std::string> spare_;
};

void compare_cell(const comp_node& native, const Json& cell, BitMatch& match,
                  std::ostringstream& failures) {
  const std::string where = "cell " + native.name + " " + std::to_string(native.instant_num);
  const Json* type = cell.get("type");
  if (!type || type->text != native.name) {
    failures << where << ": elaborated as type " << (type ? type->text : "?") << "\n";
  }
  const Json* connections = cell.get("connections");
  std::set<std::string> seen;
  for (std::size_t p = 0; p < native.pin_link.size(); ++p) {
    const std::string port = "pin" + std::to_string(p + 1);
    seen.insert(port);
    std::vector<std::string> bits = expand_bits(native.pin_link[p].name);
    std::reverse(bits.begin(), bits.end());  // the report lists bits from bit 0 up
    const Json* got = connections ? connections->get(port) : nullptr;
    const std::size_t have = got ? got->items.size() : 0;
    if (have < bits.size()) {
      failures << where << " " << port << ": " << have << " bits for " << native.pin_link[p].name << "\n";
      continue;
    }
    for (std::size_t k = 0; k < have; ++k) {
      const Json& bit = got->items[k];
      if (k >= bits.size()) {
        match.spare(bit.text);
      } else if (bit.kind != Json::number) {
        failures << where << " " << port << ": net " << bits[k] << " became constant " << bit.text << "\n";
      } else {
        match.pair(bits[k], bit.text, where + " " + port, failures);
      }
    }
  }
  if (connections) {
    for (const auto& [port, bits] : connections->members) {
      if (seen.count(port)) continue;
      for (const Json& bit : bits.items) match.spare(bit.text);
    }
  }
}

}  // namespace

const Json* Json::get(const std::string& key) const {
  for (const auto& [name, value] : members) {
    if (name == key) return &value;
  }
  return nullptr;
}

Json parse_json(const std::string& text) { return JsonReader(text).document(); }

Netlist parse_netlist(const std::string& text) {
  Netlist netlist;
  std::istringstream in(text);
  std::string line;
  comp_node* cell = nullptr;
  const std::string pin_head = "        Pin ";
  while (std::getline(in, line)) {
    if (line.rfind(pin_head, 0) == 0) {
      const std::size_t gap = line.find("        ", pin_head.size());
      if (!cell || gap == std::string::npos) throw std::runtime_error("bad pin line: " + line);
      cell->pin_link.push_back({line.substr(gap + 8)});
    } else {
      const std::size_t gap = line.find("          ");
      if (gap == std::string::npos) throw std::runtime_error("bad cell line: " + line);
      comp_node next;
      next.name = line.substr(0, gap);
      next.instant_num = std::stoi(line.substr(gap + 10));
      cell = &netlist.append(std::move(next));
    }
  }
  return netlist;
}

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int run_command(const std::string& command, std::string& output) {
  char name[] = "/tmp/syn-interop-out-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return -1;
  close(fd);
  const int raw = std::system(("(" + command + ") >" + name + " 2>&1").c_str());
  output = slurp(name);
  std::remove(name);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool have_program(const std::string& name) {
  std::string ignored;
  return run_command("command -v " + name, ignored) == 0;
}

std::string check_with_tools(const Netlist& native, const std::filesystem::path& dir,
                             const std::string& module_file, const std::string& cells_file,
                             const std::string& top, bool allow_warnings) {
  std::ostringstream failures;
  const std::string cd = "cd " + quote_for_shell(dir.string()) + " && ";
  std::string log;
  if (run_command(cd + "iverilog -g2001 -o elaborated.vvp -s " + quote_for_shell(top) + " " +
                      module_file + " " + cells_file, log) != 0 ||
      (!allow_warnings && !log.empty())) {
    failures << "iverilog:\n" << log;
  }
  std::ofstream(dir / "script.ys") << "read_verilog " << module_file << " " << cells_file << "\n"
                                   << "hierarchy -check -top \\" << top << "\n"
                                   << "write_json connections.json\n";
  if (run_command(cd + "yosys -q -s script.ys", log) != 0 ||
      (!allow_warnings && log.find("arning") != std::string::npos)) {
    failures << "yosys:\n" << log;
    return failures.str();
  }
  const Json report = parse_json(slurp(dir / "connections.json"));
  const Json* modules = report.get("modules");
  const Json* module = modules ? modules->get(top) : nullptr;
  const Json* cells = module ? module->get("cells") : nullptr;
  if (!cells) return failures.str() + "no module " + top + " with cells in the report\n";

  // Instances stand one per line in netlist order.
  std::vector<std::pair<int, const Json*>> by_line;
  for (const auto& [name, cell] : cells->members) by_line.emplace_back(source_line(cell), &cell);
  std::sort(by_line.begin(), by_line.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  if (by_line.size() != native.comps().size()) {
    failures << by_line.size() << " cells elaborated for " << native.comps().size() << "\n";
    return failures.str();
  }
  BitMatch match;
  std::size_t index = 0;
  for (const comp_node& cell : native.comps()) {
    compare_cell(cell, *by_line[index++].second, match, failures);
  }
  match.check_spares(failures);
  return failures.str();
}

}  // namespace syn::test
