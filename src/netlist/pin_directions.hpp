// Which way each pin of a netlist's cells goes, from the catalogue entries
// of their types (cell_catalogue.hpp), looked up once per type. Needed by
// the Verilog writer (ports of the module and of the cells) and by the
// check, never by the plain netlist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "netlist/cell_catalogue.hpp"
#include "netlist/netlist.hpp"

namespace syn {

class PinDirections {
 public:
  // Knows no type yet: `note` tells it each cell's.
  PinDirections() = default;
  // Knows the types of all the netlist's cells.
  explicit PinDirections(const Netlist& netlist);

  // Takes the entry of the cell's type when it is the first cell of it.
  // Reads no more of the netlist than the entries up to that type's, so
  // that it may run on the cells that have settled while mapping goes on.
  void note(const Netlist& netlist, const Cell& cell) {
    if (cell.type >= shape_of_type_.size()) shape_of_type_.resize(cell.type + std::size_t{1}, kNew);
    if (shape_of_type_[cell.type] == kNew) note_type(netlist, cell);
  }

  const CellShape& shape(const Cell& cell) const { return shapes_[shape_of_type_[cell.type]]; }
  PinDirection of(const Cell& cell, std::size_t position) const {
    return pin_direction(shape(cell), position, cell.pin_count);
  }

 private:
  // Entry 0 of shapes_ stands for a type not yet met: a type's entry is set
  // once, when its first cell comes, and needs no renumbering after.
  static constexpr std::uint32_t kNew = 0;
  void note_type(const Netlist& netlist, const Cell& cell);

  std::vector<CellShape> shapes_ = std::vector<CellShape>(1);  // one per type met, after entry 0
  std::vector<std::uint32_t> shape_of_type_;  // by the type's SymbolId: its entry in shapes_
  std::size_t entries_read_ = 0;              // of the netlist's type entries
};

}  // namespace syn
