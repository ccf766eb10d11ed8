#include "map/names.hpp"

#include <charconv>

namespace syn {
namespace {

// x + middle + "[" + index + tail: one allocation instead of one per piece.
std::string indexed(const std::string& x, const char* middle, int index, const char* tail) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  std::string name;
  name.reserve(x.size() + 16 + static_cast<std::size_t>(end - digits));
  name += x;
  name += middle;
  name += '[';
  name.append(digits, end);
  name += tail;
  return name;
}

}  // namespace

std::string bit(const std::string& x, int k) { return indexed(x, "", k, "]"); }
std::string bit_bar(const std::string& x, int k) { return indexed(x, "_bar", k, "]"); }
std::string bit_done(const std::string& x, int k) { return indexed(x, "_done", k, "]"); }
std::string bus(const std::string& x, int width) { return indexed(x, "", width - 1, ":0]"); }
std::string bus_bar(const std::string& x, int width) { return indexed(x, "_bar", width - 1, ":0]"); }
std::string done_bus(const std::string& x, int width) {
  return indexed(x, "_done", width - 1, ":0]");
}

std::string driven_net(const std::string& t, const std::string& p, bool p_is_global) {
  return p_is_global ? t + "_" + p : p;
}

std::string data_control_net(const Design& design, const std::string& t, const std::string& p) {
  const DNP_node* place = design.DNP.find(p);
  return driven_net(t, p, place != nullptr && place->from_to_inter == "GNP");
}

}  // namespace syn
