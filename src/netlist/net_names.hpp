// Reading bus structure out of net names. Data nets carry names such as
// x[7:0] (a bus, most significant bit first) and x_bar[3] (one bit): both
// stand for bits of one vector named x or x_bar. Every other name is a
// single plain net. The netlist reads each net's name once, when the net is
// first named.
#pragma once

#include <optional>
#include <string_view>

namespace syn {

// Bits base[high] down to base[low]; high == low for one bit.
struct BusRef {
  std::string_view base;  // a part of the name read
  int high = 0;
  int low = 0;
  bool slice = false;  // written as base[high:low], not base[index]
};

// Indexes above this are not read as bits (a vector that wide is not meant).
inline constexpr int kMaxBusIndex = 65535;

// Reads "base[i]" or "base[h:l]" with h >= l. The base must be non-empty and
// free of brackets, the numbers plain decimal without sign or leading zeros
// ("x[07]" is a plain name: it must not meet x[7]). Anything else is a plain
// net and yields nothing.
std::optional<BusRef> parse_bus_name(std::string_view name);

}  // namespace syn
