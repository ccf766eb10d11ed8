// Which pins of each library cell are inputs and which are outputs. A cell
// type is sorted into its kind once, by the shape of its name; a pin's
// direction then follows from the kind, the pin's position and the cell's
// pin count. Needed by the Verilog writer (ports of the module and of the
// cells) and by the structural check, never by the plain netlist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "netlist/netlist.hpp"

namespace syn {

enum class CellKind : std::uint8_t {
  join,            // "c" + n: pin 1 the joined output, then the n inputs
  buffer,          // "buff": input, output
  or_gate,         // "OR2": two inputs, output
  comparator,      // "comp_" + W: two operands' rails, request; great, equal, less
  latch,           // "dlatch": source rails, request, reset; destination rails, done
  done,            // "done_" + W: the done bus in, the control net out
  delay,           // "dele": request in, acknowledge out, delayed request out, done in
  multiplier,      // "mul" + n + "_" + W: operands' rails, request; result rails, done
  adder,           // "add" + n + "_" + W: as the multiplier
  multiplexer,     // "mux" + n + "_" + W: n feeders (rails, select); done, rails out
  global_control,  // "DC...": backward out, set pins in, forward out, reset pins in
  unknown,         // a name no mapper makes: every pin read as an input
};

enum class PinDirection : std::uint8_t { input, output };

// The kind of a cell type by its name.
CellKind cell_kind(std::string_view type);

// The number of feeders a multiplexer's name gives ("mux3_8" gives 3), or -1.
int multiplexer_feeders(std::string_view type);

// The direction of pin `position` (from 0) of a cell of this kind with
// `pin_count` pins. `forward_pin` is a global control cell's forward pin;
// `feeders` a multiplexer's feeder count (a multiplexer left with fewer pins
// than its feeders need has only inputs).
struct CellShape {
  CellKind kind = CellKind::unknown;
  std::uint32_t forward_pin = 0;
  int feeders = 0;
};
PinDirection pin_direction(const CellShape& shape, std::size_t position, std::size_t pin_count);

// The shapes of a netlist's cell types, worked out once per type.
class PinDirections {
 public:
  // Knows no type yet: `note` tells it each cell's.
  PinDirections() = default;
  // Knows the types of all the netlist's cells.
  explicit PinDirections(const Netlist& netlist);

  // Works out the shape of the cell's type when it is the first cell of it.
  // Reads nothing of the netlist but the cell's type, so that it may run on
  // the cells that have settled while mapping goes on.
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
};

}  // namespace syn
