#include "netlist/cell_library.hpp"

#include <charconv>

namespace syn {
namespace {

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// "prefix" + digits + "_" + digits, the shape of the datapath cells' names.
bool counted_and_wide(std::string_view type, std::string_view prefix) {
  if (!type.starts_with(prefix)) return false;
  const std::string_view rest = type.substr(prefix.size());
  const std::size_t bar = rest.find('_');
  return bar != std::string_view::npos && all_digits(rest.substr(0, bar)) &&
         all_digits(rest.substr(bar + 1));
}

bool wide(std::string_view type, std::string_view prefix) {
  return type.starts_with(prefix) && all_digits(type.substr(prefix.size()));
}

// The outputs of a cell whose last `outputs` pins drive.
PinDirection last_pins_drive(std::size_t position, std::size_t pin_count, std::size_t outputs) {
  return position + outputs >= pin_count ? PinDirection::output : PinDirection::input;
}

}  // namespace

CellKind cell_kind(std::string_view type) {
  if (type == "buff") return CellKind::buffer;
  if (type == "OR2") return CellKind::or_gate;
  if (type == "dlatch") return CellKind::latch;
  if (type == "dele") return CellKind::delay;
  if (wide(type, "c")) return CellKind::join;
  if (wide(type, "comp_")) return CellKind::comparator;
  if (wide(type, "done_")) return CellKind::done;
  if (counted_and_wide(type, "mul")) return CellKind::multiplier;
  if (counted_and_wide(type, "add")) return CellKind::adder;
  if (counted_and_wide(type, "mux")) return CellKind::multiplexer;
  if (type.starts_with("DCset")) return CellKind::global_control;
  return CellKind::unknown;
}

int multiplexer_feeders(std::string_view type) {
  if (!counted_and_wide(type, "mux")) return -1;
  const std::string_view count = type.substr(3, type.find('_') - 3);
  int feeders = -1;
  const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), feeders);
  return error == std::errc() && end == count.data() + count.size() ? feeders : -1;
}

PinDirection pin_direction(const CellShape& shape, std::size_t position, std::size_t pin_count) {
  constexpr auto in = PinDirection::input;
  constexpr auto out = PinDirection::output;
  switch (shape.kind) {
    case CellKind::join:
      return position == 0 ? out : in;
    case CellKind::buffer:
    case CellKind::or_gate:
    case CellKind::done:
      return last_pins_drive(position, pin_count, 1);
    case CellKind::comparator:
    case CellKind::latch:
    case CellKind::multiplier:
    case CellKind::adder:
      return last_pins_drive(position, pin_count, 3);
    case CellKind::delay:
      return position == 1 || position == 2 ? out : in;
    case CellKind::multiplexer:
      // Complete once every feeder has its three pins: then done and the
      // rails follow.
      if (shape.feeders < 0 || pin_count != 3 * static_cast<std::size_t>(shape.feeders) + 3)
        return in;
      return last_pins_drive(position, pin_count, 3);
    case CellKind::global_control:
      return position == 0 || position == shape.forward_pin ? out : in;
    case CellKind::unknown:
      break;
  }
  return in;
}

PinDirections::PinDirections(const Netlist& netlist) {
  shape_of_type_.assign(netlist.symbol_count(), kNew);
  for (const Cell& cell : netlist.cells()) note(netlist, cell);
}

void PinDirections::note_type(const Netlist& netlist, const Cell& cell) {
  const std::string_view name = netlist.type_name(cell);
  CellShape shape;
  shape.kind = cell_kind(name);
  if (shape.kind == CellKind::multiplexer) shape.feeders = multiplexer_feeders(name);
  if (shape.kind == CellKind::global_control)
    shape.forward_pin = netlist.forward_pin(cell.type).value_or(0);
  shape_of_type_[cell.type] = static_cast<std::uint32_t>(shapes_.size());
  shapes_.push_back(shape);
}

}  // namespace syn
