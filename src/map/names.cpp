#include "map/names.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace syn {
namespace {

// x + middle + "[" + index + tail, written into a string made at its exact
// length: a short name stays inside the string itself (no heap block), a
// longer one takes one allocation. Most bit names are short, and there are
// millions of them.
std::string indexed(std::string_view x, std::string_view middle, int index, std::string_view tail) {
  char digits[16];
  const auto digits_end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  const auto digit_count = static_cast<std::size_t>(digits_end - digits);
  std::string name(x.size() + middle.size() + 1 + digit_count + tail.size(), '[');
  char* out = name.data();
  out = std::copy(x.begin(), x.end(), out);
  out = std::copy(middle.begin(), middle.end(), out);
  ++out;  // the '[' already there
  out = std::copy(digits, digits_end, out);
  std::copy(tail.begin(), tail.end(), out);
  return name;
}

}  // namespace

std::string bit(std::string_view x, int k) { return indexed(x, "", k, "]"); }
std::string bit_bar(std::string_view x, int k) { return indexed(x, "_bar", k, "]"); }
std::string bit_done(std::string_view x, int k) { return indexed(x, "_done", k, "]"); }
std::string bus(std::string_view x, int width) { return indexed(x, "", width - 1, ":0]"); }
std::string bus_bar(std::string_view x, int width) { return indexed(x, "_bar", width - 1, ":0]"); }
std::string done_bus(std::string_view x, int width) {
  return indexed(x, "_done", width - 1, ":0]");
}

std::string driven_net(std::string_view t, std::string_view p, bool p_is_global) {
  if (!p_is_global) return std::string(p);
  std::string net;
  net.reserve(t.size() + 1 + p.size());
  net += t;
  net += '_';
  net += p;
  return net;
}

std::string data_control_net(const Design& design, const Symbols& symbols, SymbolId t,
                             const DataArc& p) {
  return driven_net(symbols.text(t), symbols.text(p.name),
                    design.data_places.items[p.place].net == PlaceNet::global_net);
}

}  // namespace syn
