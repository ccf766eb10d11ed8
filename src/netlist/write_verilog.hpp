// The netlist as one structural Verilog-2001 module, and the cell types it
// uses as empty blackbox modules, so that other tools can take it in.
//
// Naming, so that two different nets never meet and one net is always one
// Verilog expression:
// - bus names (x[7:0], x_bar[3]) become slices and bits of one vector per
//   base name, declared [largest index used:0];
// - every other name is a one-bit wire of its own name, escaped (\name )
//   where it is not a plain identifier or is a keyword;
// - where a plain name falls on a vector's name (a net "x" beside x[3]), or
//   on an instance name, or holds bytes that Verilog cannot carry, it gets a
//   fresh name: the name (non-printable bytes written _xHH) followed by _1,
//   _2, ... whichever is first unused. Vectors keep their names first, then
//   plain nets, then instances.
// Instances are named u<instance number>; the pins connect by position.
// An empty net name leaves its position unconnected.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "netlist/pin_directions.hpp"
#include "netlist/destination.hpp"
#include "netlist/net_use.hpp"
#include "netlist/netlist.hpp"
#include "netlist/text_chunks.hpp"
#include "text/name_order.hpp"

namespace syn {

enum class WireSpelling : std::uint8_t { own_name, escaped_name, fresh_name };
enum class PortKind : std::uint8_t { wire, input, output };

// One line of the module's declarations: a vector, declared
// [largest_bit:0], or a plain net, with what it is declared as.
struct VerilogDeclaration {
  std::uint32_t id = 0;  // VectorId or NetId
  std::uint16_t largest_bit = 0;
  bool vector = false;
  PortKind kind = PortKind::wire;
};

struct VerilogCell {
  std::string name;       // module name as written
  CellShape shape;        // its catalogue entry
  std::size_t ports = 0;  // as many as the type's cell with the most pins has pins
  // What the cell declarations (write_verilog_cells) say of each port, worked
  // out only where asked for (see PortDetail):
  std::vector<int> port_widths;  // per pin position: widest connection seen
  std::vector<PinDirection> port_directions;  // per pin position; empty: inout
};

// How much is worked out about the cell types' ports: the module needs their
// number alone, the cell declarations their widths and directions too.
enum class PortDetail : std::uint8_t { count, widths, widths_and_directions };

// What the module's ports and the instances' attributes are made from. A
// declaration no cell drives, all of whose bits are inputs of the design,
// is an input port; one that cells drive and no cell reads is an output
// port; every other stays a wire.
struct ModuleFacts {
  const PinDirections* directions = nullptr;
  const NetUse* use = nullptr;
  std::vector<std::uint8_t> design_inputs;  // by signal, 1 for an input of the design
  // By SourceNet: the table file of its transitions, and by transition index
  // the line each one starts on.
  struct TableLines {
    std::string file;
    std::vector<int> lines;
  };
  std::array<TableLines, 4> sources;
};

// The identifiers of vectors, by VectorId: the text [offset, offset + size)
// of `text`.
struct VectorIdentifiers {
  struct Span {
    std::size_t offset = 0;
    std::size_t size = 0;
  };
  std::string text;
  std::vector<Span> span;  // by VectorId
  std::string_view of(std::size_t vector) const {
    return {text.data() + span[vector].offset, span[vector].size};
  }
};

// How the netlist is written as Verilog: the names chosen for its modules,
// nets and instances, and the expression that each net connects with.
struct VerilogNetlist {
  std::string top;                        // module name as written
  std::string ports;                      // "a, b, k": the port list, or empty
  // The declarations, written "  wire [7:0] x;" and "  input k;": the
  // vectors, then the plain nets, each ascending by name. They are written
  // out with the module rather than kept as text, which would be large.
  std::vector<VerilogDeclaration> declarations;
  std::vector<VerilogCell> cells;         // one per cell type, ascending by name
  std::vector<std::uint32_t> cell_type;   // per cell in netlist order: its entry in `cells`
  // Cells whose instance number is negative or repeats an earlier cell's,
  // by position, ascending: found with the cell types, they are the only
  // ones that may need another name unless a net is named u<n>.
  std::vector<std::size_t> unusual_instances;
  // Cells not named u<instance number>, by position in the netlist, ascending.
  std::vector<std::pair<std::size_t, std::string>> renamed_instances;
  // How a pin's net is written. A bus net: its vector's identifier, then
  // [high] or [high:low]. A plain net: as wire_spelling says, its own name,
  // that name escaped, or its identifier in renamed_wires (ascending by net).
  VectorIdentifiers vectors;
  std::vector<WireSpelling> wire_spelling;  // by NetId
  std::vector<std::pair<NetId, std::string>> renamed_wires;
  std::size_t longest_connection = 0;  // the most bytes any net's expression takes
  // The attribute written before each instance a transition made,
  // "(* src = \"data.txt:3\" *) ": by SourceNet, its text up to the line
  // number ("(* src = \"data.txt:"), and by transition index the line.
  std::array<std::string, 4> source_lead;
  std::array<std::vector<int>, 4> source_line;
};

// The names of the vectors and plain nets on the netlist's pins, each list
// ascending by name, with what each plain net's name tells of its spelling:
// its own name, escaped, or a fresh name where it is unprintable (a net named
// like a vector gets one later). With them, every vector's own name as
// written: the vectors' identifiers, unless a vector's name is unprintable;
// that one gets a fresh name, and the identifiers are then spelled once the
// names are chosen.
struct SortedNetNames {
  std::vector<NamedId> vectors;
  std::vector<NamedId> plain;
  std::vector<WireSpelling> spelling;  // by NetId
  VectorIdentifiers own_vector_names;
  bool vector_names_printable = true;
};

// Lists the names of the nets on the pins of the cells given, each net and
// vector once, as the cells come; `sorted` puts them in order at the end.
class NetNameListing {
 public:
  // Lists the nets on the cell's pins not met before.
  void add(const Netlist& netlist, const Cell& cell);
  // The names listed, sorted; the tables by net and by vector sized to the
  // netlist's.
  SortedNetNames sorted(const Netlist& netlist) &&;

 private:
  void add_vector(const Netlist& netlist, VectorId vector);

  SortedNetNames names_;
  std::vector<std::uint8_t> net_listed_;     // by NetId
  std::vector<std::uint8_t> vector_listed_;  // by VectorId
};

// What build_verilog_cells takes of a tally of the cells (cell_tally.hpp).
struct CellTypes;

// The Verilog form of a netlist is built in three steps (verilog_form in
// outputs.hpp runs them), so that the first two can run while the facts for
// the last are worked out: they share nothing but what they hand on. The
// first names the modules and describes the cell types' ports from a tally
// of the cells (worked out as far as its PortDetail says), and returns an
// error text when `top` cannot serve as the module's name (empty, holding
// white space or control bytes, or the name of a cell type); the second is
// NetNameListing::sorted; the last, once the first succeeded, does the rest
// from the signals' use, with the module's ports and the instances' sources
// from `facts`.
std::optional<std::string> build_verilog_cells(const Netlist& netlist, const std::string& top,
                                               VerilogNetlist& out, CellTypes types);
void build_verilog_nets(const Netlist& netlist, SortedNetNames names, const ModuleFacts& facts,
                        VerilogNetlist& out);

// Writes the module to `sink` in chunks; false when the sink failed.
bool write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                          const TextSink& sink);
void write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog, std::ostream& out);
// Needs the ports' widths (PortDetail::widths or more).
void write_verilog_cells(const VerilogNetlist& verilog, std::ostream& out);

// Writes the module to `to` and commits it. Returns an empty string on
// success, otherwise the reason it failed.
std::string write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                                 Destination& to);

// How the module writes net `id` on a pin ("x[3:0]", "\\a-b ", "k"), and
// the identifier of a vector: for a testbench that reaches into it.
std::string verilog_connection(const Netlist& netlist, const VerilogNetlist& verilog, NetId id);
std::string verilog_vector(const VerilogNetlist& verilog, VectorId vector);

// The module name used when none is given: the output file's name without
// folder and last extension ("out/design.v" gives "design").
std::string default_top_name(const std::string& output_path);

// `name` as a Verilog identifier: itself when it is a plain identifier and no
// keyword, otherwise escaped. The name must consist of printable bytes.
std::string verilog_identifier(const std::string& name);

}  // namespace syn
