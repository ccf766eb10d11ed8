#include "netlist/cell_catalogue.hpp"

#include <algorithm>
#include <span>

namespace syn {
namespace {

std::string number(long long n) { return std::to_string(n); }

// The helpers below give a pin's name and width; pin_role adds its
// direction, which pin_direction alone works out.

// The pins of an operation with operands: the operands' rails, the request,
// then the result's rails and done.
PinRole operation_pin(std::size_t position, std::size_t pin_count, int width) {
  if (position + 3 == pin_count) return {"out", width};
  if (position + 2 == pin_count) return {"out_bar", width};
  if (position + 1 == pin_count) return {"done", 1};
  if (position + 4 == pin_count) return {"req", 1};
  const std::string operand = "a" + number(position / 2 + 1);
  return {position % 2 == 0 ? operand : operand + "_bar", width};
}

// One of a fixed list of pins, or "pinN" past its end.
PinRole listed_pin(std::span<const char* const> names, std::size_t position, int width) {
  if (position >= names.size()) return {"pin" + number(position + 1), 1};
  return {names[position], width};
}

PinRole multiplexer_pin(const CellShape& shape, std::size_t position) {
  const std::size_t feeder_pins = 3 * static_cast<std::size_t>(std::max(shape.count, 0));
  if (position < feeder_pins) {
    const std::string feeder = "in" + number(position / 3 + 1);
    if (position % 3 == 2) return {"sel" + number(position / 3 + 1), 1};
    return {position % 3 == 0 ? feeder : feeder + "_bar", shape.width};
  }
  static const char* const outputs[] = {"done", "out_bar", "out"};
  if (position - feeder_pins < 3)
    return {outputs[position - feeder_pins], position == feeder_pins ? 1 : shape.width};
  return {"pin" + number(position + 1), 1};
}

PinRole global_control_pin(const CellShape& shape, std::size_t position) {
  const std::size_t forward = static_cast<std::size_t>(std::max(shape.count, 0)) + 1;
  if (position == 0) return {"bk", 1};
  if (position < forward) return {"set" + number(position), 1};
  if (position == forward) return {"fw", 1};
  return {"reset" + number(position - forward), 1};
}

PinRole named_pin(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  static const char* const comparator[] = {"a",   "a_bar", "b",     "b_bar",
                                           "req", "great", "equal", "less"};
  static const char* const latch[] = {"d", "d_bar", "req", "reset", "q", "q_bar", "done"};
  static const char* const delay[] = {"req", "ack", "delayed_req", "done"};
  const bool last = position + 1 == pin_count;
  switch (shape.kind) {
    case CellKind::join:
      return position == 0 ? PinRole{"out", 1} : PinRole{"in" + number(position), 1};
    case CellKind::buffer:
      return {last ? "out" : "in", 1};
    case CellKind::or_gate:
      return {last ? "out" : position == 0 ? "a" : "b", 1};
    case CellKind::comparator:
      return listed_pin(comparator, position, position < 4 ? shape.width : 1);
    case CellKind::latch:
      return listed_pin(latch, position, 1);
    case CellKind::done:
      return last ? PinRole{"out", 1} : PinRole{"done", shape.width};
    case CellKind::delay:
      return listed_pin(delay, position, 1);
    case CellKind::multiplier:
    case CellKind::adder:
      return operation_pin(position, pin_count, shape.width);
    case CellKind::multiplexer:
      return multiplexer_pin(shape, position);
    case CellKind::global_control:
      return global_control_pin(shape, position);
    case CellKind::unknown:
      break;
  }
  return {"pin" + number(position + 1), 1};
}

}  // namespace

std::string type_name(const CellShape& shape) {
  switch (shape.kind) {
    case CellKind::join:
      return "c" + number(shape.count);
    case CellKind::buffer:
      return "buff";
    case CellKind::or_gate:
      return "OR2";
    case CellKind::comparator:
      return "comp_" + number(shape.width);
    case CellKind::latch:
      return "dlatch";
    case CellKind::done:
      return "done_" + number(shape.width);
    case CellKind::delay:
      return "dele";
    case CellKind::multiplier:
      return "mul" + number(shape.count) + "_" + number(shape.width);
    case CellKind::adder:
      return "add" + number(shape.count) + "_" + number(shape.width);
    case CellKind::multiplexer:
      return "mux" + number(shape.count) + "_" + number(shape.width);
    case CellKind::global_control:
    case CellKind::unknown:
      break;
  }
  return "";
}

bool has_fixed_name(CellKind kind) {
  return kind == CellKind::buffer || kind == CellKind::or_gate || kind == CellKind::latch ||
         kind == CellKind::delay;
}

PinRole pin_role(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  PinRole role = named_pin(shape, position, pin_count);
  role.direction = pin_direction(shape, position, pin_count);
  return role;
}

PinDirection pin_direction(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  const auto last_pins_drive = [&](std::size_t outputs) {
    return position + outputs >= pin_count ? out : in;
  };
  switch (shape.kind) {
    case CellKind::join:
      return position == 0 ? out : in;
    case CellKind::buffer:
    case CellKind::or_gate:
    case CellKind::done:
      return last_pins_drive(1);
    case CellKind::comparator:
    case CellKind::latch:
    case CellKind::multiplier:
    case CellKind::adder:
      return last_pins_drive(3);
    case CellKind::delay:
      return position == 1 || position == 2 ? out : in;
    case CellKind::multiplexer:
      // Complete once every feeder has its three pins: then done and the
      // rails follow.
      if (shape.count < 0) return in;
      return pin_count == 3 * static_cast<std::size_t>(shape.count) + 3 ? last_pins_drive(3) : in;
    case CellKind::global_control:
      return position == 0 || position == static_cast<std::size_t>(std::max(shape.count, 0)) + 1
                 ? out
                 : in;
    case CellKind::unknown:
      break;
  }
  return in;
}

}  // namespace syn
