// Adding a cell whose nets are all known at once. The nets go straight into
// the cell's pins, numbered 1..n in argument order, with no list of names
// built on the way: a large design has a million such cells.
#pragma once

#include <cstddef>
#include <initializer_list>
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

// The cell types and nets the rules name most often.
inline constexpr FixedName kBuff{"buff", 0};
inline constexpr FixedName kDlatch{"dlatch", 1};
inline constexpr FixedName kOr2{"OR2", 2};
inline constexpr FixedName kResetSignal{"Reset_signal", 3};
inline constexpr FixedName kAsyncValue0{"DCasyncValue0", 4};
inline constexpr FixedName kAsyncValue1{"DCasyncValue1", 5};
inline constexpr FixedName kAsyncLowerValue0{"DCasyncvalue0", 6};
inline constexpr FixedName kAsyncLowerValue1{"DCasyncvalue1", 7};

// Every fixed name has a slot of its own.
constexpr bool slots_are_distinct(std::initializer_list<FixedName> names) {
  unsigned used = 0;
  for (const FixedName& name : names) {
    if (name.slot >= Netlist::kFixedNames || (used >> name.slot & 1u) != 0) return false;
    used |= 1u << name.slot;
  }
  return true;
}
static_assert(slots_are_distinct({kBuff, kDlatch, kOr2, kResetSignal, kAsyncValue0, kAsyncValue1,
                                  kAsyncLowerValue0, kAsyncLowerValue1}));

// Takes the next instance number, as Netlist::add does.
template <class Type, class... Nets>
void add_cell(Netlist& netlist, const Type& name, const Nets&... nets) {
  // A number would make a one-character net name.
  static_assert((!std::is_arithmetic_v<std::remove_cvref_t<Nets>> && ...));
  const Cell& cell = netlist.start_cell(name, sizeof...(Nets));
  // A fold over the comma operator runs left to right: pin 1 first.
  std::size_t position = 0;
  (netlist.name_pin(cell, position++, pin_net(nets)), ...);
}

}  // namespace syn
