// Net names of data values and of control places, shared by the mappers.
#pragma once

#include <string>

#include "model/design.hpp"

namespace syn {

std::string bit(const std::string& x, int k);        // x[k]
std::string bit_bar(const std::string& x, int k);    // x_bar[k]
std::string bit_done(const std::string& x, int k);   // x_done[k]
std::string bus(const std::string& x, int width);       // x[width-1:0]
std::string bus_bar(const std::string& x, int width);   // x_bar[width-1:0]
std::string done_bus(const std::string& x, int width);  // x_done[width-1:0]

// Net of control place p driven by transition t of the local or data net:
// "t_p" when p is a place of the global control net, p itself otherwise.
std::string driven_net(const std::string& t, const std::string& p, bool p_is_global);

// The same for a place that data transition t names, deciding by the data
// place list's classification of p.
std::string data_control_net(const Design& design, const std::string& t, const DataArc& p);

}  // namespace syn
