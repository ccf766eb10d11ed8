#include "netlist/net_names.hpp"

namespace syn {
namespace {

// A plain decimal number 0..kMaxBusIndex without sign or leading zeros.
std::optional<int> read_index(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxBusIndex) return std::nullopt;
  return value;
}

}  // namespace

std::optional<BusRef> parse_bus_name(std::string_view name) {
  if (name.size() < 4 || name.back() != ']') return std::nullopt;
  const std::size_t open = name.find('[');
  if (open == 0 || open == std::string_view::npos) return std::nullopt;
  const std::string_view base = name.substr(0, open);
  if (base.find(']') != std::string_view::npos) return std::nullopt;
  const std::string_view inside = name.substr(open + 1, name.size() - open - 2);
  if (inside.find_first_of("[]") != std::string_view::npos) return std::nullopt;
  const std::size_t colon = inside.find(':');
  if (colon == std::string_view::npos) {
    auto index = read_index(inside);
    if (!index) return std::nullopt;
    return BusRef{base, *index, *index, false};
  }
  auto high = read_index(inside.substr(0, colon));
  auto low = read_index(inside.substr(colon + 1));
  if (!high || !low || *high < *low) return std::nullopt;
  return BusRef{base, *high, *low, true};
}

}  // namespace syn
