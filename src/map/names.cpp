#include "map/names.hpp"

#include "text/fields.hpp"

namespace syn {

std::string bit(const std::string& x, int k) { return x + "[" + i_to_string(k) + "]"; }
std::string bit_bar(const std::string& x, int k) { return x + "_bar[" + i_to_string(k) + "]"; }
std::string bit_done(const std::string& x, int k) { return x + "_done[" + i_to_string(k) + "]"; }
std::string bus(const std::string& x, int width) { return x + "[" + i_to_string(width - 1) + ":0]"; }
std::string bus_bar(const std::string& x, int width) {
  return x + "_bar[" + i_to_string(width - 1) + ":0]";
}
std::string done_bus(const std::string& x, int width) {
  return x + "_done[" + i_to_string(width - 1) + ":0]";
}

std::string driven_net(const std::string& t, const std::string& p, bool p_is_global) {
  return p_is_global ? t + "_" + p : p;
}

std::string data_control_net(const Design& design, const std::string& t, const std::string& p) {
  const DNP_node* place = design.DNP.find(p);
  return driven_net(t, p, place != nullptr && place->from_to_inter == "GNP");
}

}  // namespace syn
