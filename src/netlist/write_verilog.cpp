#include "netlist/write_verilog.hpp"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "netlist/write_file.hpp"

namespace syn {
namespace {

// Reserved words of Verilog-2005, and of SystemVerilog for tools read in that
// mode: escaping them costs nothing.
const std::unordered_set<std::string>& keywords() {
  static const std::unordered_set<std::string> words = {
      "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case",
      "casex", "casez", "cell", "cmos", "config", "deassign", "default", "defparam", "design",
      "disable", "edge", "else", "end", "endcase", "endconfig", "endfunction", "endgenerate",
      "endmodule", "endprimitive", "endspecify", "endtable", "endtask", "event", "for", "force",
      "forever", "fork", "function", "generate", "genvar", "highz0", "highz1", "if", "ifnone",
      "incdir", "include", "initial", "inout", "input", "instance", "integer", "join", "large",
      "liblist", "library", "localparam", "macromodule", "medium", "module", "nand", "negedge",
      "nmos", "nor", "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter",
      "pmos", "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup",
      "pulsestyle_onevent", "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg",
      "release", "repeat", "rnmos", "rpmos", "rtran", "rtranif0", "rtranif1", "scalared",
      "showcancelled", "signed", "small", "specify", "specparam", "strong0", "strong1",
      "supply0", "supply1", "table", "task", "time", "tran", "tranif0", "tranif1", "tri",
      "tri0", "tri1", "triand", "trior", "trireg", "unsigned", "use", "uwire", "vectored",
      "wait", "wand", "weak0", "weak1", "while", "wire", "wor", "xnor", "xor",
      // SystemVerilog
      "alias", "always_comb", "always_ff", "always_latch", "assert", "assume", "bit", "break",
      "byte", "chandle", "class", "const", "constraint", "context", "continue", "cover",
      "dist", "do", "endclass", "endinterface", "endpackage", "endprogram", "endproperty",
      "endsequence", "enum", "export", "extends", "extern", "final", "foreach", "forkjoin",
      "iff", "import", "inside", "int", "interface", "intersect", "logic", "longint",
      "modport", "new", "null", "package", "packed", "priority", "program", "property",
      "protected", "pure", "rand", "randc", "ref", "restrict", "return", "sequence",
      "shortint", "shortreal", "static", "string", "struct", "super", "this", "throughout",
      "timeprecision", "timeunit", "type", "typedef", "union", "unique", "var", "virtual",
      "void", "wait_order", "with", "within"};
  return words;
}

bool is_plain_identifier(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !digit(c) && c != '$') return false;
  }
  return keywords().count(std::string(name)) == 0;
}

// An escaped identifier carries any printable byte but white space.
bool escapable(std::string_view name) {
  if (name.empty()) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > ' ' && byte < 127;
  });
}

// The name with every byte that an identifier cannot hold written _xHH.
std::string printable_form(std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte < 127) {
      out += c;
    } else {
      out += "_x";
      out += hex[byte >> 4];
      out += hex[byte & 15];
    }
  }
  return out.empty() ? "_" : out;
}

std::string identifier_of(std::string_view name) {
  return is_plain_identifier(name) ? std::string(name) : "\\" + std::string(name) + " ";
}

// The identifiers of one Verilog name space. Escaped and plain spellings of
// one text are the same identifier, so the text itself is the key. `claim`
// keeps a view: its text must outlive the name space (a symbol's text);
// names made here are kept here.
class NameSpace {
 public:
  bool claim(std::string_view text) { return taken_.insert(text).second; }
  bool taken(std::string_view text) const { return taken_.count(text) != 0; }

  // The wanted text if free and printable, else the first free
  // printable_form(wanted) + "_k", k = 1, 2, ...
  std::string claim_near(std::string_view wanted) {
    if (escapable(wanted) && claim_copy(std::string(wanted))) return std::string(wanted);
    const std::string stem = printable_form(wanted);
    if (stem != wanted && claim_copy(stem)) return stem;
    int& suffix = next_suffix_[stem];
    std::string candidate;
    do {
      candidate = stem + "_" + std::to_string(++suffix);
    } while (!claim_copy(candidate));
    return candidate;
  }

  // Claims a text that the name space keeps itself.
  bool claim_copy(std::string text) {
    if (taken(text)) return false;
    return claim(owned_.emplace_back(std::move(text)));
  }

 private:
  std::unordered_set<std::string_view> taken_;
  std::deque<std::string> owned_;
  std::unordered_map<std::string, int> next_suffix_;
};

// What the pins of a netlist hold: vectors with their largest index, and
// plain one-bit nets.
struct NetCensus {
  std::vector<int> largest_bit;   // by VectorId; -1 for a vector on no pin
  std::vector<bool> used;         // by NetId: on some pin
  std::vector<VectorId> vectors;  // the vectors on pins, ascending by name
  std::vector<NetId> plain;       // the plain nets on pins, ascending by name
};

NetCensus take_census(const Netlist& netlist) {
  NetCensus census;
  census.largest_bit.assign(netlist.vectors().size(), -1);
  census.used.assign(netlist.net_count(), false);
  for (const Cell& cell : netlist.cells()) {
    for (const NetId id : netlist.pins(cell)) {
      if (id == kUnnamedNet) continue;
      census.used[id] = true;
      const Net& net = netlist.net(id);
      if (net.is_bus()) {
        census.largest_bit[net.vector] = std::max<int>(census.largest_bit[net.vector], net.high);
      }
    }
  }
  for (VectorId v = 0; v < census.largest_bit.size(); ++v) {
    if (census.largest_bit[v] >= 0) census.vectors.push_back(v);
  }
  for (NetId id = 1; id < census.used.size(); ++id) {
    if (census.used[id] && !netlist.net(id).is_bus()) census.plain.push_back(id);
  }
  const auto vector_name = [&netlist](VectorId v) { return netlist.text(netlist.vectors()[v]); };
  std::sort(census.vectors.begin(), census.vectors.end(),
            [&vector_name](VectorId a, VectorId b) { return vector_name(a) < vector_name(b); });
  std::sort(census.plain.begin(), census.plain.end(),
            [&netlist](NetId a, NetId b) { return netlist.plain_name(a) < netlist.plain_name(b); });
  return census;
}

// Identifier texts for vectors and plain nets, claimed in that order of
// precedence; a text that is taken or unprintable gets a fresh one.
struct NetNames {
  std::vector<std::string> vector_name;                 // by VectorId
  std::unordered_map<NetId, std::string> renamed_wire;  // plain nets not named as themselves
};

NetNames name_nets(const Netlist& netlist, const NetCensus& census, NameSpace& space) {
  NetNames names;
  names.vector_name.resize(netlist.vectors().size());
  std::vector<VectorId> vectors_left;
  std::vector<NetId> plain_left;
  for (const VectorId v : census.vectors) {
    const std::string_view base = netlist.text(netlist.vectors()[v]);
    if (escapable(base) && space.claim(base))
      names.vector_name[v] = base;
    else
      vectors_left.push_back(v);
  }
  for (const NetId id : census.plain) {
    const std::string_view name = netlist.plain_name(id);
    if (!escapable(name) || !space.claim(name)) plain_left.push_back(id);
  }
  for (const VectorId v : vectors_left) {
    names.vector_name[v] = space.claim_near(netlist.text(netlist.vectors()[v]));
  }
  for (const NetId id : plain_left) names.renamed_wire[id] = space.claim_near(netlist.plain_name(id));
  return names;
}

std::string_view wire_name(const Netlist& netlist, const NetNames& names, NetId id) {
  const auto renamed = names.renamed_wire.find(id);
  return renamed == names.renamed_wire.end() ? netlist.plain_name(id) : renamed->second;
}

// Instances are u<instance number>; the few whose name is taken (by a net,
// or by an earlier cell of the same number) get a fresh one. No fresh name
// has the form u<digits>, so the others need not enter the name space.
void name_instances(const Netlist& netlist, NameSpace& space, VerilogNetlist& out) {
  std::vector<bool> seen;
  for (std::size_t i = 0; i < netlist.cells().size(); ++i) {
    const int instance = netlist.cells()[i].instance;
    const std::string wanted = "u" + std::to_string(instance);
    bool repeated = false;
    if (instance >= 0) {
      const auto number = static_cast<std::size_t>(instance);
      if (number >= seen.size()) seen.resize(std::max(number + 1, 2 * seen.size()), false);
      repeated = seen[number];
      seen[number] = true;
    }
    if (!repeated && !space.taken(wanted)) continue;
    if (repeated) space.claim_copy(wanted);
    out.renamed_instances.emplace_back(i, space.claim_near(wanted));
  }
}

// The expression for each net a pin is on.
void write_connections(const Netlist& netlist, const NetCensus& census, const NetNames& names,
                       VerilogNetlist& out) {
  out.connection_start.assign(netlist.net_count() + 1, 0);
  for (NetId id = 0; id < netlist.net_count(); ++id) {
    out.connection_start[id] = out.connections.size();
    if (!census.used[id]) continue;
    const Net& net = netlist.net(id);
    if (!net.is_bus()) {
      out.connections += identifier_of(wire_name(netlist, names, id));
      continue;
    }
    out.connections += identifier_of(names.vector_name[net.vector]);
    out.connections += "[" + std::to_string(net.high);
    if (net.slice) out.connections += ":" + std::to_string(net.low);
    out.connections += "]";
  }
  out.connection_start[netlist.net_count()] = out.connections.size();
}

std::vector<std::string> declarations(const Netlist& netlist, const NetCensus& census,
                                      const NetNames& names) {
  std::vector<std::string> lines;
  lines.reserve(census.vectors.size() + census.plain.size());
  for (const VectorId v : census.vectors) {
    lines.push_back("wire [" + std::to_string(census.largest_bit[v]) + ":0] " +
                    identifier_of(names.vector_name[v]) + ";");
  }
  for (const NetId id : census.plain) {
    lines.push_back("wire " + identifier_of(wire_name(netlist, names, id)) + ";");
  }
  return lines;
}

// Module names: the cell types keep theirs; the top module must not take
// one of them. `cell_module` maps each cell type's name to its module name.
std::optional<std::string> name_modules(const Netlist& netlist, const std::string& top,
                                        std::map<std::string_view, std::string>& cell_module,
                                        std::string& top_module) {
  if (!escapable(top)) {
    return "'" + top + "' cannot name a Verilog module (empty, or white space or control bytes)";
  }
  NameSpace space;
  std::set<std::string_view> types;
  for (const Cell& cell : netlist.cells()) types.insert(netlist.type_name(cell));
  std::set<std::string_view> left;
  for (const std::string_view name : types) {
    if (escapable(name) && space.claim(name)) cell_module[name] = name;
    else left.insert(name);
  }
  if (!space.claim(top)) {
    return "module name '" + top + "' is the name of a cell type; choose another with --top";
  }
  top_module = identifier_of(top);
  for (const std::string_view name : left) cell_module[name] = space.claim_near(name);
  return std::nullopt;
}

// Each cell's entry in out.cells, and each type's port widths: as many
// ports as its widest cell has pins, each as wide as its widest connection.
void describe_cells(const Netlist& netlist, const std::map<std::string_view, std::string>& modules,
                    VerilogNetlist& out) {
  std::unordered_map<std::string_view, std::uint32_t> index_of;
  for (const auto& [name, module] : modules) {
    index_of[name] = static_cast<std::uint32_t>(out.cells.size());
    out.cells.push_back({identifier_of(module), {}});
  }
  out.cell_type.reserve(netlist.cells().size());
  for (const Cell& cell : netlist.cells()) {
    const std::uint32_t type = index_of.at(netlist.type_name(cell));
    out.cell_type.push_back(type);
    std::vector<int>& ports = out.cells[type].port_widths;
    if (ports.size() < cell.pin_count) ports.resize(cell.pin_count, 1);
    std::size_t p = 0;
    for (const NetId id : netlist.pins(cell)) {
      const Net& net = netlist.net(id);
      const int bits = id == kUnnamedNet ? 0 : net.high - net.low + 1;
      ports[p] = std::max(ports[p], bits);
      ++p;
    }
  }
}

// An identifier followed by one space: an escaped one ends in its own.
std::string spaced(const std::string& identifier) {
  return identifier.back() == ' ' ? identifier : identifier + ' ';
}

}  // namespace

std::string verilog_identifier(const std::string& name) { return identifier_of(name); }

std::string default_top_name(const std::string& output_path) {
  return std::filesystem::path(output_path).stem().string();
}

std::optional<std::string> build_verilog(const Netlist& netlist, const std::string& top,
                                         VerilogNetlist& out) {
  std::map<std::string_view, std::string> cell_module;
  out = {};
  if (auto error = name_modules(netlist, top, cell_module, out.top)) return error;
  const NetCensus census = take_census(netlist);
  NameSpace space;
  const NetNames names = name_nets(netlist, census, space);
  name_instances(netlist, space, out);
  out.declarations = declarations(netlist, census, names);
  write_connections(netlist, census, names, out);
  describe_cells(netlist, cell_module, out);
  return std::nullopt;
}

namespace {

void put_line(ChunkedText& text, std::string_view line) {
  text.advance(ChunkedText::put(text.room(line.size()), line));
}

std::string_view connection(const VerilogNetlist& verilog, NetId id) {
  const std::size_t start = verilog.connection_start[id];
  return std::string_view(verilog.connections)
      .substr(start, verilog.connection_start[id + 1] - start);
}

}  // namespace

bool write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                          const TextSink& sink) {
  ChunkedText text(sink);
  put_line(text, "// Structural netlist written by syn-tool.\nmodule " + verilog.top + ";\n");
  for (const std::string& line : verilog.declarations) put_line(text, "  " + line + "\n");
  if (!verilog.declarations.empty() && !netlist.cells().empty()) put_line(text, "\n");
  std::vector<std::string> modules;
  for (const VerilogCell& cell : verilog.cells) modules.push_back(spaced(cell.name));
  auto renamed = verilog.renamed_instances.begin();
  for (std::size_t i = 0; i < netlist.cells().size() && text.ok(); ++i) {
    const Cell& cell = netlist.cells()[i];
    const std::uint32_t type = verilog.cell_type[i];
    std::string instance;
    if (renamed != verilog.renamed_instances.end() && renamed->first == i) {
      instance = spaced(identifier_of((renamed++)->second));
    }
    const auto pins = netlist.pins(cell);
    const std::size_t ports = verilog.cells[type].port_widths.size();
    std::size_t size =
        3 + modules[type].size() + instance.size() + ChunkedText::kMaxDigits + 2 + 2 * ports + 3;
    for (const NetId id : pins) size += connection(verilog, id).size();
    char* at = text.room(size);
    at = ChunkedText::put(at, "  ");
    at = ChunkedText::put(at, modules[type]);
    if (instance.empty()) {
      *at++ = 'u';
      at = ChunkedText::put_number(at, cell.instance);
      *at++ = ' ';
    } else {
      at = ChunkedText::put(at, instance);
    }
    *at++ = '(';
    // Every instance lists all ports of its type: a simulator refuses fewer.
    for (std::size_t p = 0; p < ports; ++p) {
      if (p != 0) at = ChunkedText::put(at, ", ");
      if (p < pins.size()) at = ChunkedText::put(at, connection(verilog, pins[p]));
    }
    at = ChunkedText::put(at, ");\n");
    text.advance(at);
  }
  put_line(text, "endmodule\n");
  return text.finish();
}

void write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                          std::ostream& out) {
  write_verilog_module(netlist, verilog, [&out](std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return true;
  });
}

void write_verilog_cells(const VerilogNetlist& verilog, std::ostream& out) {
  out << "// Cell types of a netlist written by syn-tool, as empty modules with one\n"
      << "// port per pin. The netlist does not say which pins drive, so every port\n"
      << "// is inout; replace these with the cell library's own models.\n";
  for (const VerilogCell& cell : verilog.cells) {
    out << "(* blackbox *)\n" << "module " << spaced(cell.name) << "(";
    for (std::size_t p = 0; p < cell.port_widths.size(); ++p) {
      out << (p == 0 ? "" : ", ") << "pin" << p + 1;
    }
    out << ");\n";
    for (std::size_t p = 0; p < cell.port_widths.size(); ++p) {
      out << "  inout ";
      if (cell.port_widths[p] > 1) out << '[' << cell.port_widths[p] - 1 << ":0] ";
      out << "pin" << p + 1 << ";\n";
    }
    out << "endmodule\n";
  }
}

std::string write_verilog_file(const Netlist& netlist, const VerilogNetlist& verilog,
                               const std::string& path) {
  ReplacingFile file(path);
  if (!file.failed()) {
    write_verilog_module(netlist, verilog,
                         [&file](std::string_view text) { return file.write(text); });
  }
  return file.commit();
}

}  // namespace syn
