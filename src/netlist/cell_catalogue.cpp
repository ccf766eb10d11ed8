#include "netlist/cell_catalogue.hpp"

#include <algorithm>

namespace syn {
namespace {

std::string number(long long n) { return std::to_string(n); }

// The pins of an operation with operands: the operands' rails, the request,
// then the result's rails and done.
PinRole operation_pin(std::size_t position, std::size_t pin_count, int width) {
  constexpr auto out = PinDirection::output;
  if (position + 3 == pin_count) return {"out", out, width};
  if (position + 2 == pin_count) return {"out_bar", out, width};
  if (position + 1 == pin_count) return {"done", out, 1};
  if (position + 4 == pin_count) return {"req", PinDirection::input, 1};
  const std::string operand = "a" + number(position / 2 + 1);
  return {position % 2 == 0 ? operand : operand + "_bar", PinDirection::input, width};
}

PinRole comparator_pin(std::size_t position, int width) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  static const char* const names[] = {"a", "a_bar", "b", "b_bar", "req", "great", "equal", "less"};
  if (position >= 8) return {"pin" + number(position + 1), in, 1};
  return {names[position], position < 5 ? in : out, position < 4 ? width : 1};
}

PinRole latch_pin(std::size_t position) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  static const char* const names[] = {"d", "d_bar", "req", "reset", "q", "q_bar", "done"};
  if (position >= 7) return {"pin" + number(position + 1), in, 1};
  return {names[position], position < 4 ? in : out, 1};
}

PinRole multiplexer_pin(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  constexpr auto in = PinDirection::input;
  const std::size_t feeder_pins = 3 * static_cast<std::size_t>(std::max(shape.count, 0));
  if (position < feeder_pins) {
    const std::string feeder = "in" + number(position / 3 + 1);
    if (position % 3 == 2) return {"sel" + number(position / 3 + 1), in, 1};
    return {position % 3 == 0 ? feeder : feeder + "_bar", in, shape.width};
  }
  // Done and the rails out, once every feeder has its pins.
  const bool complete = pin_count == feeder_pins + 3;
  const PinDirection out = complete ? PinDirection::output : in;
  if (position == feeder_pins) return {"done", out, 1};
  if (position == feeder_pins + 1) return {"out_bar", out, shape.width};
  if (position == feeder_pins + 2) return {"out", out, shape.width};
  return {"pin" + number(position + 1), in, 1};
}

PinRole global_control_pin(const CellShape& shape, std::size_t position) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  const std::size_t forward = static_cast<std::size_t>(std::max(shape.count, 0)) + 1;
  if (position == 0) return {"bk", out, 1};
  if (position < forward) return {"set" + number(position), in, 1};
  if (position == forward) return {"fw", out, 1};
  return {"reset" + number(position - forward), in, 1};
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

namespace {

// The pin's name and width; its direction is pin_direction's.
PinRole named_pin(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  switch (shape.kind) {
    case CellKind::join:
      return position == 0 ? PinRole{"out", out, 1} : PinRole{"in" + number(position), in, 1};
    case CellKind::buffer:
      return position + 1 == pin_count ? PinRole{"out", out, 1} : PinRole{"in", in, 1};
    case CellKind::or_gate:
      if (position + 1 == pin_count) return {"out", out, 1};
      return {position == 0 ? "a" : "b", in, 1};
    case CellKind::comparator:
      return comparator_pin(position, shape.width);
    case CellKind::latch:
      return latch_pin(position);
    case CellKind::done:
      if (position + 1 == pin_count) return {"out", out, 1};
      return {"done", in, shape.width};
    case CellKind::delay: {
      static const char* const names[] = {"req", "ack", "delayed_req", "done"};
      if (position >= 4) return {"pin" + number(position + 1), in, 1};
      return {names[position], position == 1 || position == 2 ? out : in, 1};
    }
    case CellKind::multiplier:
    case CellKind::adder:
      return operation_pin(position, pin_count, shape.width);
    case CellKind::multiplexer:
      return multiplexer_pin(shape, position, pin_count);
    case CellKind::global_control:
      return global_control_pin(shape, position);
    case CellKind::unknown:
      break;
  }
  return {"pin" + number(position + 1), in, 1};
}

}  // namespace

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
