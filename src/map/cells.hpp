// Adding a cell whose nets are all known at once. The nets go straight into
// the cell's pins, numbered 1..n in argument order, with no list of names
// built on the way: a large design has a million such cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "netlist/netlist.hpp"

namespace syn {

// A net passed to add_cell: bits of a bus as they are, any name as text.
inline const BusNet& pin_net(const BusNet& net) { return net; }
inline std::string_view pin_net(std::string_view net) { return net; }
inline std::string_view pin_net(const std::string& net) { return net; }
inline std::string_view pin_net(const char* net) { return net; }
inline const SymbolText& pin_net(const SymbolText& net) { return net; }
inline const NetName& pin_net(const NetName& net) { return net; }
inline const FixedName& pin_net(const FixedName& net) { return net; }

// The nets the rules name most often, each with a slot of its own in the
// netlist: the slots are numbered by this list.
enum class FixedSlot : std::uint8_t {
  reset_signal,
  value0,
  value1,
  lower_value0,
  lower_value1,
  count
};
static_assert(static_cast<std::size_t>(FixedSlot::count) <= Netlist::kFixedNames);

constexpr FixedName fixed(std::string_view text, FixedSlot slot) {
  return {text, static_cast<std::uint8_t>(slot)};
}
inline constexpr FixedName kResetSignal = fixed("Reset_signal", FixedSlot::reset_signal);
inline constexpr FixedName kAsyncValue0 = fixed("DCasyncValue0", FixedSlot::value0);
inline constexpr FixedName kAsyncValue1 = fixed("DCasyncValue1", FixedSlot::value1);
inline constexpr FixedName kAsyncLowerValue0 = fixed("DCasyncvalue0", FixedSlot::lower_value0);
inline constexpr FixedName kAsyncLowerValue1 = fixed("DCasyncvalue1", FixedSlot::lower_value1);

// Takes the next instance number, as Netlist::add does.
template <class... Nets>
void add_cell(Netlist& netlist, const CellShape& shape, const Nets&... nets) {
  // A number would make a one-character net name.
  static_assert((!std::is_arithmetic_v<std::remove_cvref_t<Nets>> && ...));
  const Cell& cell = netlist.start_cell(shape, sizeof...(Nets));
  // A fold over the comma operator runs left to right: pin 1 first.
  std::size_t position = 0;
  (netlist.name_pin(cell, position++, pin_net(nets)), ...);
}

}  // namespace syn
