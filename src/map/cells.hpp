// Adding a cell whose nets are all known at once. The nets go straight into
// the cell's pins, numbered 1..n in argument order, with no list of names
// built on the way: a large design has a million such cells.
#pragma once

#include <cstddef>
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

// Takes the next instance number, as Netlist::add does.
template <class... Nets>
void add_cell(Netlist& netlist, std::string_view name, const Nets&... nets) {
  // A number would make a one-character net name.
  static_assert((!std::is_arithmetic_v<std::remove_cvref_t<Nets>> && ...));
  const Cell& cell = netlist.start_cell(name, sizeof...(Nets));
  // A fold over the comma operator runs left to right: pin 1 first.
  std::size_t position = 0;
  (netlist.name_pin(cell, position++, pin_net(nets)), ...);
}

}  // namespace syn
