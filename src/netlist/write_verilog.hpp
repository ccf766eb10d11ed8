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

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "netlist/netlist.hpp"

namespace syn {

struct VerilogInstance {
  std::string cell;                      // module name as written
  std::string name;                      // instance name as written
  std::vector<std::string> connections;  // one expression per pin, "" unconnected
};

struct VerilogCell {
  std::string name;              // module name as written
  std::vector<int> port_widths;  // per pin position: widest connection seen
};

struct VerilogNetlist {
  std::string top;                        // module name as written
  std::vector<std::string> declarations;  // "wire [7:0] x;" and "wire k;"
  std::vector<VerilogInstance> instances; // one per cell, in netlist order
  std::vector<VerilogCell> cells;         // one per cell type, ascending by name
};

// Builds the Verilog form of `netlist` with the module named `top`. Returns
// an error text when `top` cannot serve as the module name (empty, holding
// white space or control bytes, or the name of a cell type).
std::optional<std::string> build_verilog(const Netlist& netlist, const std::string& top,
                                         VerilogNetlist& out);

void write_verilog_module(const VerilogNetlist& verilog, std::ostream& out);
void write_verilog_cells(const VerilogNetlist& verilog, std::ostream& out);

// The module name used when none is given: the output file's name without
// folder and last extension ("out/design.v" gives "design").
std::string default_top_name(const std::string& output_path);

// `name` as a Verilog identifier: itself when it is a plain identifier and no
// keyword, otherwise escaped. The name must consist of printable bytes.
std::string verilog_identifier(const std::string& name);

}  // namespace syn
