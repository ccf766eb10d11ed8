// Net names of data values and of control places, shared by the mappers.
#pragma once

#include <string>
#include <string_view>

#include "model/design.hpp"

namespace syn {

std::string bit(std::string_view x, int k);           // x[k]
std::string bit_bar(std::string_view x, int k);       // x_bar[k]
std::string bit_done(std::string_view x, int k);      // x_done[k]
std::string bus(std::string_view x, int width);       // x[width-1:0]
std::string bus_bar(std::string_view x, int width);   // x_bar[width-1:0]
std::string done_bus(std::string_view x, int width);  // x_done[width-1:0]

// Net of control place p driven by transition t of the local or data net:
// "t_p" when p is a place of the global control net, p itself otherwise.
std::string driven_net(std::string_view t, std::string_view p, bool p_is_global);

// The same for a place that data transition t names, deciding by the data
// place list's classification of p.
std::string data_control_net(const Design& design, const Symbols& symbols, SymbolId t,
                             const DataArc& p);

}  // namespace syn
