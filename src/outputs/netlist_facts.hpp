// What a run works out about its netlist only when asked: the pins'
// directions and the signals' use, for the Verilog ports and the cell
// declarations, the structural check (--check) and the cells per transition
// (--stats-by-transition). The plain netlist needs none of it.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "netlist/pin_directions.hpp"
#include "netlist/net_use.hpp"
#include "netlist/structure_check.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_verilog.hpp"

namespace syn {

struct NetlistFacts {
  NetlistFacts(const Netlist& netlist, const DrawnDesign& drawn);
  // From the directions and pins of a tally of the cells (CellTally).
  NetlistFacts(const Netlist& netlist, const DrawnDesign& drawn, PinDirections directions,
               std::vector<NetUse::Counts> pins_by_net);
  const Netlist& netlist;
  const DrawnDesign& drawn;
  PinDirections directions;
  NetUse use;
  // By signal: 1 for an input of the design.
  std::vector<std::uint8_t> design_inputs() const;
};

// The facts the Verilog writer takes, with each transition's "FILE:LINE".
// They refer to `facts`, which must outlive them.
ModuleFacts module_facts(const NetlistFacts& facts, const Design& design, const TableFiles& files);

// Runs the structural check and prints one warning per finding on `err`;
// returns how many there were.
std::size_t report_structure(const Netlist& netlist, const DrawnDesign& drawn,
                             const TableFiles& files, std::ostream& err);

// Prints the number of cells each transition made, in netlist order of the
// transitions' first cells.
void write_cells_by_transition(const Netlist& netlist, const DrawnDesign& drawn,
                               const TableFiles& files, std::ostream& out);

}  // namespace syn
