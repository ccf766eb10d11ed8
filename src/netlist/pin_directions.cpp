#include "netlist/pin_directions.hpp"

namespace syn {

PinDirections::PinDirections(const Netlist& netlist) {
  shape_of_type_.assign(netlist.symbol_count(), kNew);
  for (const Cell& cell : netlist.cells()) note(netlist, cell);
}

// The netlist enters every type before its first cell, so the entries up to
// this cell's type are there to read; those before it are taken on the way.
// The list's size is not read: mapping may be adding to it.
void PinDirections::note_type(const Netlist& netlist, const Cell& cell) {
  const Netlist::TypeEntries& entries = netlist.type_entries();
  while (shape_of_type_[cell.type] == kNew) {
    const Netlist::TypeEntry& entry = entries[entries_read_++];
    if (entry.type >= shape_of_type_.size())
      shape_of_type_.resize(entry.type + std::size_t{1}, kNew);
    shape_of_type_[entry.type] = static_cast<std::uint32_t>(shapes_.size());
    shapes_.push_back(entry.shape);
  }
}

}  // namespace syn
