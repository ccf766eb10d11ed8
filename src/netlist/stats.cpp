#include "netlist/stats.hpp"

#include <algorithm>
#include <iomanip>
#include <unordered_map>

#include "netlist/net_names.hpp"

namespace syn {
namespace {

// Joins single-pin bits of one vector with neighbouring indexes into one
// slice name; plain names stay as they are.
std::vector<std::string> join_runs(std::vector<std::string> names) {
  std::map<std::string, std::vector<int>> bits_of;
  std::vector<std::string> joined;
  for (std::string& name : names) {
    auto bus = parse_bus_name(name);
    if (bus) bits_of[bus->base].push_back(bus->high);
    else joined.push_back(std::move(name));
  }
  for (auto& [base, bits] : bits_of) {
    std::sort(bits.begin(), bits.end(), std::greater<>());
    for (std::size_t i = 0; i < bits.size();) {
      std::size_t j = i;
      while (j + 1 < bits.size() && bits[j + 1] == bits[j] - 1) ++j;
      joined.push_back(base + (i == j ? "[" + std::to_string(bits[i]) + "]"
                                      : "[" + std::to_string(bits[i]) + ":" +
                                            std::to_string(bits[j]) + "]"));
      i = j + 1;
    }
  }
  std::sort(joined.begin(), joined.end());
  return joined;
}

}  // namespace

NetlistStats collect_stats(const Netlist& netlist) {
  NetlistStats stats;
  std::unordered_map<std::string, int> pins_on;  // bit-level net -> pins
  for (const Cell& cell : netlist.comps()) {
    ++stats.cells_by_type[cell.name];
    ++stats.cells;
    for (const Pin& pin : cell.pins) {
      ++stats.pins;
      if (pin.name.empty()) ++stats.unconnected_pins;
      for (const std::string& bit : expand_bits(pin.name)) ++pins_on[bit];
    }
  }
  stats.nets = static_cast<int>(pins_on.size());
  std::vector<std::string> single;
  for (const auto& [net, count] : pins_on) {
    if (count == 1) single.push_back(net);
  }
  stats.single_pin_nets = static_cast<int>(single.size());
  stats.single_pin_names = join_runs(std::move(single));
  return stats;
}

void write_stats(const NetlistStats& stats, std::ostream& out) {
  std::size_t width = std::string("nets on a single pin").size();
  for (const auto& [type, count] : stats.cells_by_type) width = std::max(width, type.size());
  auto row = [&out, width](const std::string& label, int value) {
    out << std::left << std::setw(static_cast<int>(width)) << label << "  " << std::right
        << std::setw(7) << value << '\n';
  };
  out << std::left << std::setw(static_cast<int>(width)) << "cell type" << "  " << std::right
      << std::setw(7) << "cells" << '\n';
  for (const auto& [type, count] : stats.cells_by_type) row(type, count);
  row("total cells", stats.cells);
  row("pins", stats.pins);
  if (stats.unconnected_pins != 0) row("unconnected pins", stats.unconnected_pins);
  row("nets", stats.nets);
  row("nets on a single pin", stats.single_pin_nets);
  for (const std::string& name : stats.single_pin_names) out << "  " << name << '\n';
  out.flush();
}

}  // namespace syn
