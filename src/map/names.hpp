// Net names of data values and of control places, shared by the mappers.
#pragma once

#include <string>
#include <string_view>

#include "model/design.hpp"
#include "netlist/netlist.hpp"

namespace syn {

// Bits of the data value x by rail. The netlist finds the net from the
// parts; `x` must still be there when the net is handed to it.
inline BusNet bit(std::string_view x, int k) { return {x, Rail::true_rail, k, k, false}; }
inline BusNet bit_bar(std::string_view x, int k) { return {x, Rail::complement, k, k, false}; }
inline BusNet bit_done(std::string_view x, int k) { return {x, Rail::done, k, k, false}; }
inline BusNet bus(std::string_view x, int width) {  // x[width-1:0]
  return {x, Rail::true_rail, width - 1, 0, true};
}
inline BusNet bus_bar(std::string_view x, int width) {  // x_bar[width-1:0]
  return {x, Rail::complement, width - 1, 0, true};
}
inline BusNet done_bus(std::string_view x, int width) {  // x_done[width-1:0]
  return {x, Rail::done, width - 1, 0, true};
}

// The same for a data value named by a design name: found by its symbol.
inline BusNet bit(const SymbolText& x, int k) { return {x.text, Rail::true_rail, k, k, false, x.id}; }
inline BusNet bit_bar(const SymbolText& x, int k) {
  return {x.text, Rail::complement, k, k, false, x.id};
}
inline BusNet bit_done(const SymbolText& x, int k) { return {x.text, Rail::done, k, k, false, x.id}; }
inline BusNet bus(const SymbolText& x, int width) {
  return {x.text, Rail::true_rail, width - 1, 0, true, x.id};
}
inline BusNet bus_bar(const SymbolText& x, int width) {
  return {x.text, Rail::complement, width - 1, 0, true, x.id};
}
inline BusNet done_bus(const SymbolText& x, int width) {
  return {x.text, Rail::done, width - 1, 0, true, x.id};
}

// Net of control place p driven by transition t of the local or data net:
// "t_p" when p is a place of the global control net, p itself otherwise.
NetName driven_net(std::string_view t, const SymbolText& p, bool p_is_global);

// The same for a place that data transition t names, deciding by the data
// place list's classification of p.
NetName data_control_net(const Design& design, const Symbols& symbols, SymbolId t,
                         const DataArc& p);

}  // namespace syn
