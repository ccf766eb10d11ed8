// Adding a cell whose nets are all known at once. The nets go straight into
// the cell's pins, numbered 1..n in argument order, with no list of names
// built on the way: a large design has a million such cells.
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "netlist/netlist.hpp"

namespace syn {

// Takes the next instance number, as Netlist::add does.
template <class... Nets>
Cell& add_cell(Netlist& netlist, std::string name, Nets&&... nets) {
  // A number would make a one-character net name.
  static_assert((!std::is_arithmetic_v<std::remove_cvref_t<Nets>> && ...));
  Cell& cell = netlist.start_cell(std::move(name));
  cell.pins.reserve(sizeof...(Nets));
  // Each net goes into its pin directly, without a temporary pin to move
  // from (pins are made empty and filled, which every compiler's library
  // accepts). A fold over the comma operator runs left to right: pin 1 first.
  const auto add_pin = [&cell](auto&& net) {
    cell.pins.emplace_back().name = std::forward<decltype(net)>(net);
  };
  (add_pin(std::forward<Nets>(nets)), ...);
  return cell;
}

}  // namespace syn
