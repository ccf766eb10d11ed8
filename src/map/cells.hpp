// Adding a cell whose nets are all known at once. The nets go straight into
// the cell's pins, numbered 1..n in argument order, with no list of names
// built on the way: a large design has a million such cells.
#pragma once

#include <string>
#include <utility>

#include "netlist/netlist.hpp"

namespace syn {

// Takes the next instance number, as Netlist::add does; done and served 1.
template <class... Nets>
comp_node& add_cell(Netlist& netlist, std::string name, int pin_in_num, int pin_out_num,
                    Nets&&... nets) {
  comp_node& cell = netlist.start_cell(std::move(name), static_cast<int>(sizeof...(Nets)),
                                       pin_in_num, pin_out_num);
  cell.pin_link.reserve(sizeof...(Nets));
  int number = 0;
  // Each net goes into its pin directly, without a temporary pin to move
  // from (pins are made empty and filled, which every compiler's library
  // accepts). A fold over the comma operator runs left to right: pin 1 first.
  const auto add_pin = [&cell, &number](auto&& net) {
    pin_node& pin = cell.pin_link.emplace_back();
    pin.name = std::forward<decltype(net)>(net);
    pin.pin_num = ++number;
  };
  (add_pin(std::forward<Nets>(nets)), ...);
  return cell;
}

}  // namespace syn
