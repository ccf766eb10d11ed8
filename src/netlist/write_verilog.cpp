#include "netlist/write_verilog.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "netlist/net_names.hpp"

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

bool is_plain_identifier(const std::string& name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !digit(c) && c != '$') return false;
  }
  return keywords().count(name) == 0;
}

// An escaped identifier carries any printable byte but white space.
bool escapable(const std::string& name) {
  if (name.empty()) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > ' ' && byte < 127;
  });
}

// The name with every byte that an identifier cannot hold written _xHH.
std::string printable_form(const std::string& name) {
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

// The identifiers of one Verilog name space. Escaped and plain spellings of
// one text are the same identifier, so the text itself is the key.
class NameSpace {
 public:
  bool claim(const std::string& text) { return taken_.insert(text).second; }

  // The wanted text if free and printable, else the first free
  // printable_form(wanted) + "_k", k = 1, 2, ...
  std::string claim_near(const std::string& wanted) {
    if (escapable(wanted) && claim(wanted)) return wanted;
    const std::string stem = printable_form(wanted);
    if (stem != wanted && claim(stem)) return stem;
    int& suffix = next_suffix_[stem];
    std::string candidate;
    do {
      candidate = stem + "_" + std::to_string(++suffix);
    } while (!claim(candidate));
    return candidate;
  }

 private:
  std::unordered_set<std::string> taken_;
  std::unordered_map<std::string, int> next_suffix_;
};

// What the pin names of a netlist hold: vectors with their largest index,
// and plain one-bit nets.
struct NetCensus {
  std::map<std::string, int> vectors;  // base -> largest index
  std::set<std::string> plain;
};

NetCensus take_census(const Netlist& netlist) {
  NetCensus census;
  for (const Cell& cell : netlist.comps()) {
    for (const Pin& pin : cell.pins) {
      if (pin.name.empty()) continue;
      if (auto bus = parse_bus_name(pin.name)) {
        auto [it, fresh] = census.vectors.try_emplace(bus->base, bus->high);
        if (!fresh) it->second = std::max(it->second, bus->high);
      } else {
        census.plain.insert(pin.name);
      }
    }
  }
  return census;
}

// Identifier texts for vectors, plain nets and instances, claimed in that
// order of precedence; a text that is taken or unprintable gets a fresh one.
struct NetNames {
  std::unordered_map<std::string, std::string> vector_of;  // base -> text
  std::unordered_map<std::string, std::string> wire_of;    // plain name -> text
  std::vector<std::string> instance_of;                    // per cell in netlist order
};

NetNames name_nets(const Netlist& netlist, const NetCensus& census) {
  NameSpace space;
  NetNames names;
  std::vector<const std::string*> vectors_left;
  std::vector<const std::string*> plain_left;
  for (const auto& [base, high] : census.vectors) {
    if (escapable(base) && space.claim(base)) names.vector_of[base] = base;
    else vectors_left.push_back(&base);
  }
  for (const std::string& name : census.plain) {
    if (escapable(name) && space.claim(name)) names.wire_of[name] = name;
    else plain_left.push_back(&name);
  }
  for (const std::string* base : vectors_left) names.vector_of[*base] = space.claim_near(*base);
  for (const std::string* name : plain_left) names.wire_of[*name] = space.claim_near(*name);
  names.instance_of.reserve(netlist.comps().size());
  for (const Cell& cell : netlist.comps()) {
    names.instance_of.push_back(space.claim_near("u" + std::to_string(cell.instance)));
  }
  return names;
}

// The expression for one pin and the number of bits it carries.
std::pair<std::string, int> connection(const std::string& net, const NetNames& names) {
  if (net.empty()) return {"", 0};
  if (auto bus = parse_bus_name(net)) {
    const std::string vector = verilog_identifier(names.vector_of.at(bus->base));
    if (!bus->slice) return {vector + "[" + std::to_string(bus->high) + "]", 1};
    return {vector + "[" + std::to_string(bus->high) + ":" + std::to_string(bus->low) + "]",
            bus->high - bus->low + 1};
  }
  return {verilog_identifier(names.wire_of.at(net)), 1};
}

std::vector<std::string> declarations(const NetCensus& census, const NetNames& names) {
  std::vector<std::string> lines;
  lines.reserve(census.vectors.size() + census.plain.size());
  for (const auto& [base, high] : census.vectors) {
    lines.push_back("wire [" + std::to_string(high) + ":0] " +
                    verilog_identifier(names.vector_of.at(base)) + ";");
  }
  for (const std::string& name : census.plain) {
    lines.push_back("wire " + verilog_identifier(names.wire_of.at(name)) + ";");
  }
  return lines;
}

// Module names: the cell types keep theirs; the top module must not take
// one of them.
std::optional<std::string> name_modules(const Netlist& netlist, const std::string& top,
                                        std::map<std::string, std::string>& cell_module,
                                        std::string& top_module) {
  if (!escapable(top)) {
    return "'" + top + "' cannot name a Verilog module (empty, or white space or control bytes)";
  }
  NameSpace space;
  // The cells' names as they stand at the end: a cell may be renamed as it grows.
  std::set<std::string> types;
  for (const Cell& cell : netlist.comps()) types.insert(cell.name);
  std::set<std::string> left;
  for (const std::string& name : types) {
    if (escapable(name) && space.claim(name)) cell_module[name] = name;
    else left.insert(name);
  }
  if (!space.claim(top)) {
    return "module name '" + top + "' is the name of a cell type; choose another with --top";
  }
  top_module = verilog_identifier(top);
  for (const std::string& name : left) cell_module[name] = space.claim_near(name);
  return std::nullopt;
}

// An identifier followed by one space: an escaped one ends in its own.
std::string spaced(const std::string& identifier) {
  return identifier.back() == ' ' ? identifier : identifier + ' ';
}

}  // namespace

std::string verilog_identifier(const std::string& name) {
  return is_plain_identifier(name) ? name : "\\" + name + " ";
}

std::string default_top_name(const std::string& output_path) {
  return std::filesystem::path(output_path).stem().string();
}

std::optional<std::string> build_verilog(const Netlist& netlist, const std::string& top,
                                         VerilogNetlist& out) {
  std::map<std::string, std::string> cell_module;
  out = {};
  if (auto error = name_modules(netlist, top, cell_module, out.top)) return error;
  const NetCensus census = take_census(netlist);
  const NetNames names = name_nets(netlist, census);
  out.declarations = declarations(census, names);

  std::map<std::string, std::vector<int>> widths;  // native cell name -> port widths
  std::size_t index = 0;
  for (const Cell& cell : netlist.comps()) {
    VerilogInstance instance{verilog_identifier(cell_module.at(cell.name)),
                             verilog_identifier(names.instance_of[index++]), {}};
    std::vector<int>& ports = widths[cell.name];
    if (ports.size() < cell.pins.size()) ports.resize(cell.pins.size(), 1);
    for (std::size_t p = 0; p < cell.pins.size(); ++p) {
      auto [expression, bits] = connection(cell.pins[p].name, names);
      ports[p] = std::max(ports[p], bits);
      instance.connections.push_back(std::move(expression));
    }
    out.instances.push_back(std::move(instance));
  }
  // Every instance lists all ports of its type: a simulator refuses fewer.
  index = 0;
  for (const Cell& cell : netlist.comps()) {
    out.instances[index++].connections.resize(widths[cell.name].size());
  }
  for (auto& [name, ports] : widths) {
    out.cells.push_back({verilog_identifier(cell_module.at(name)), std::move(ports)});
  }
  return std::nullopt;
}

void write_verilog_module(const VerilogNetlist& verilog, std::ostream& out) {
  out << "// Structural netlist written by syn-tool.\n"
      << "module " << verilog.top << ";\n";
  for (const std::string& line : verilog.declarations) out << "  " << line << '\n';
  if (!verilog.declarations.empty() && !verilog.instances.empty()) out << '\n';
  for (const VerilogInstance& instance : verilog.instances) {
    out << "  " << spaced(instance.cell) << spaced(instance.name) << "(";
    for (std::size_t p = 0; p < instance.connections.size(); ++p) {
      if (p != 0) out << ", ";
      out << instance.connections[p];
    }
    out << ");\n";
  }
  out << "endmodule\n";
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

}  // namespace syn
