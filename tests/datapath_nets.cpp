#include "datapath_nets.hpp"

#include <map>
#include <regex>
#include <sstream>

namespace syn::test {
namespace {

// The bit nets a pin's net stands for: itself, or every bit of a bus.
std::vector<std::string> bit_nets(const std::string& net) {
  static const std::regex bus(R"(^(.*)\[([0-9]+):([0-9]+)\]$)");
  std::smatch m;
  if (!std::regex_match(net, m, bus)) return {net};
  const int high = std::stoi(m[2]);
  const int low = std::stoi(m[3]);
  std::vector<std::string> bits;
  for (int b = high; b >= low; --b) bits.push_back(m[1].str() + "[" + std::to_string(b) + "]");
  return bits;
}

}  // namespace

std::vector<std::string> single_pin_nets(const std::string& netlist_text) {
  static const std::string pin_prefix = "        Pin ";
  std::map<std::string, int> pins_on;
  std::istringstream lines(netlist_text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(pin_prefix, 0) != 0) continue;
    const std::size_t number_end = line.find(' ', pin_prefix.size());
    if (number_end == std::string::npos) continue;
    const std::string net = line.substr(std::min(line.size(), number_end + 8));
    for (const std::string& bit : bit_nets(net)) ++pins_on[bit];
  }
  std::vector<std::string> single;
  for (const auto& [net, count] : pins_on)
    if (count == 1) single.push_back(net);
  return single;
}

}  // namespace syn::test
