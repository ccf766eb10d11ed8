// Expected netlists written by hand: one cell as the netlist file shows it,
// its name line with the instance number and one line per pin.
#pragma once

#include <string>
#include <vector>

namespace syn::test {

inline std::string cell(const std::string& name, int instance, const std::vector<std::string>& nets) {
  std::string text = name + "          " + std::to_string(instance) + "\n";
  int position = 0;
  for (const std::string& net : nets) {
    text += "        Pin " + std::to_string(++position) + "        " + net + "\n";
  }
  return text;
}

}  // namespace syn::test
