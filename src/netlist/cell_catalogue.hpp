// The cell catalogue: every kind of cell the mapping rules make, and for
// each pin its role, its direction and its width. It is the one description
// of the cells: the mappers make each cell from its entry (a CellShape), the
// netlist keeps the entry once per cell type, and the Verilog writer, the
// cell declarations and the check read the pins from it. Nothing reads a
// cell's type name back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace syn {

enum class CellKind : std::uint8_t {
  join,            // "c" + n: the joined output, then the n inputs
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
  unknown,         // no entry (a cell made by hand in a test): every pin an input
};

enum class PinDirection : std::uint8_t { input, output };

// A cell type's catalogue entry: its kind and the counts its name carries.
struct CellShape {
  CellKind kind = CellKind::unknown;
  // join: inputs; multiplier, adder: operands; multiplexer: feeders;
  // global control: set pins.
  // Signed, as the mapper counted: its name says what it was given.
  int count = 0;
  // comparator, done, multiplier, adder, multiplexer: the bits of a value.
  int width = 0;
  // global control: how its set and reset pins group, kept by the netlist
  // (Netlist::control_groups); 0 for none. An entry stays a plain value, so
  // that a list of them costs nothing until it is used.
  std::uint32_t groups = 0;
};

// How a global control cell's set and reset pins group: one count per
// place, in pin order (a place's pins are its producers on the set side,
// its consumers on the reset side).
struct ControlGroups {
  std::vector<int> set;
  std::vector<int> reset;
};

constexpr CellShape join_cell(int inputs) { return {CellKind::join, inputs, 0, 0}; }
constexpr CellShape buffer_cell() { return {CellKind::buffer, 0, 0, 0}; }
constexpr CellShape or_cell() { return {CellKind::or_gate, 0, 0, 0}; }
constexpr CellShape comparator_cell(int width) { return {CellKind::comparator, 0, width, 0}; }
constexpr CellShape latch_cell() { return {CellKind::latch, 0, 0, 0}; }
constexpr CellShape done_cell(int width) { return {CellKind::done, 0, width, 0}; }
constexpr CellShape delay_cell() { return {CellKind::delay, 0, 0, 0}; }
constexpr CellShape multiplier_cell(int operands, int width) {
  return {CellKind::multiplier, operands, width, 0};
}
constexpr CellShape adder_cell(int operands, int width) {
  return {CellKind::adder, operands, width, 0};
}
constexpr CellShape multiplexer_cell(int feeders, int width) {
  return {CellKind::multiplexer, feeders, width, 0};
}
// The name of a global control cell spells how its set and reset pins
// group (control_cell_name), so the mapper names it; `groups` is what
// Netlist::add_control_groups gave for them.
constexpr CellShape global_control_cell(int set_pins, std::uint32_t groups) {
  return {CellKind::global_control, set_pins, 0, groups};
}

// The type name of a cell of this shape ("c3", "comp_8", "mux2_4"); empty
// for a global control cell, which the mapper names.
std::string type_name(const CellShape& shape);
// True when every cell of this kind has the same name ("buff", "dlatch").
bool has_fixed_name(CellKind kind);

// One pin of a cell: what it is for, which way it goes, and how many bits
// it carries.
struct PinRole {
  std::string name;  // "req", "a_bar", "in2", "done"...
  int width = 1;
  PinDirection direction = PinDirection::input;
};

// Pin `position` (from 0) of a cell of this shape that has `pin_count`
// pins. A multiplexer left with fewer pins than its feeders need, or an
// operation with fewer operands than its name says, has the pins it has; a
// multiplexer not complete drives nothing.
PinRole pin_role(const CellShape& shape, std::size_t position, std::size_t pin_count);
PinDirection pin_direction(const CellShape& shape, std::size_t position, std::size_t pin_count);

}  // namespace syn
