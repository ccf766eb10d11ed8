// What the Verilog module needs to know of every cell, gathered in one pass
// over the cells in netlist order: the cell types in order of first use, with
// what their ports need; each cell's type among them; the cells whose
// instance number is unusual; the pins' directions by type; how many pins
// drive and read each net; and the names of the nets on the pins. For a
// Verilog run the pass goes on on a second thread while the data net is
// mapped, over the cells as they settle (CellTallyWhileMapping), so that
// little of it is left once mapping ends.
#pragma once

#include <cstdint>
#include <vector>

#include "netlist/pin_directions.hpp"
#include "netlist/net_use.hpp"
#include "netlist/netlist.hpp"
#include "netlist/settled_cells.hpp"
#include "netlist/write_verilog.hpp"

namespace syn {

// The cell types in order of first use, with what their ports need, and
// each cell's type among them.
struct CellTypes {
  std::vector<SymbolId> types;  // in order of first use
  // By type, in the order of `types`: its ports (the module's name is given
  // later, once the types are in order).
  std::vector<VerilogCell> ports;
  std::vector<std::uint32_t> cell_type;  // per cell: its type's place in `types`
  // The cells whose instance number is negative or repeats an earlier
  // cell's, by position, ascending (VerilogNetlist::unusual_instances).
  std::vector<std::size_t> unusual_instances;
};

// Its parts are taken apart by the two threads that prepare the module.
struct CellTally {
  // Of no cell yet; `detail` says what to work out of the types' ports.
  explicit CellTally(PortDetail detail);
  // Of all the netlist's cells.
  CellTally(const Netlist& netlist, PortDetail detail);

  // Adds the netlist's next cell, in netlist order.
  void add(const Netlist& netlist, const Cell& cell);
  std::size_t cells() const { return types.cell_type.size(); }

  PortDetail detail;
  CellTypes types;
  PinDirections directions;
  std::vector<NetUse::Counts> pins_by_net;  // see NetUse::count_pins
  NetNameListing names;

 private:
  std::uint32_t type_of(const Cell& cell);
  void note_instance(int instance);

  std::vector<std::uint32_t> type_of_symbol_;  // by SymbolId: place in types, or kNoType
  std::vector<std::uint8_t> instance_seen_;    // by instance number: a cell had it
};

// A CellTally made on a second thread while the data net is mapped, of the
// cells as they settle (Netlist::settle). Dropped before `finish`, it stops.
class CellTallyWhileMapping {
 public:
  CellTallyWhileMapping(const Netlist& netlist, PortDetail detail);
  CellTallyWhileMapping(const CellTallyWhileMapping&) = delete;
  CellTallyWhileMapping& operator=(const CellTallyWhileMapping&) = delete;

  // Once mapping has settled every cell: the tally of them all.
  CellTally finish();

 private:
  const Netlist& netlist_;
  CellTally tally_;
  SettledCellsThread thread_;  // last: stopped first
};

}  // namespace syn
