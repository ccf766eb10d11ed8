// Writing expected netlists by hand: one cell with its instance number and
// the nets on its pins, in the netlist file's layout.
#pragma once

#include "expected_cells.hpp"

#include <string>
#include <vector>

#include "datapath_builder.hpp"
#include "map/datapath.hpp"

namespace syn::test {

// The latch stage behind an operation: one latch per bit, most significant
// first, then the done cell.
inline std::string latch_stage(int first_instance, const std::string& result,
                               const std::string& done_net, const std::string& dest, int width,
                               const std::string& control_out) {
  std::string text;
  int instance = first_instance;
  for (int b = width - 1; b >= 0; --b) {
    const std::string k = "[" + std::to_string(b) + "]";
    text += cell("dlatch", instance++,
                 {result + k, result + "_bar" + k, done_net, "Reset_signal", dest + k,
                  dest + "_bar" + k, dest + "_done" + k});
  }
  text += cell("done_" + std::to_string(width), instance,
               {dest + "_done[" + std::to_string(width - 1) + ":0]", control_out});
  return text;
}

// The constant drivers of a datapath operand, most significant bit first.
inline std::string constant_drivers(int first_instance, const std::string& place,
                                    const std::string& digits) {
  std::string text;
  int instance = first_instance;
  const int width = static_cast<int>(digits.size());
  for (int j = 0; j < width; ++j) {
    const std::string b = std::to_string(width - 1 - j);
    const bool one = digits[j] == '1';
    text += cell("buff", instance++, {one ? "DCasyncvalue1" : "DCasyncValue0", place + "[" + b + "]"});
    text += cell("buff", instance++,
                 {one ? "DCasyncvalue0" : "DCasyncValue1", place + "_bar[" + b + "]"});
  }
  return text;
}

}  // namespace syn::test
