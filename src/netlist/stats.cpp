#include "netlist/stats.hpp"

#include <algorithm>
#include <iomanip>
#include <unordered_map>

namespace syn {
namespace {

// Pins per bit-level net, in arrays: one counter per plain net, and one per
// bit 0..largest index used of each vector, so that x[7:0] on a pin counts
// once for each of x[7] ... x[0].
struct BitCounts {
  std::vector<int> plain;              // by NetId
  std::vector<int> largest_bit;        // by VectorId; -1 for a vector on no pin
  std::vector<std::size_t> first_bit;  // by VectorId: its bit 0 in `bits`
  std::vector<int> bits;
};

BitCounts count_bits(const Netlist& netlist, NetlistStats& stats) {
  BitCounts counts;
  counts.plain.assign(netlist.net_count(), 0);
  counts.largest_bit.assign(netlist.vectors().size(), -1);
  for (const Cell& cell : netlist.cells()) {
    for (const NetId id : netlist.pins(cell)) {
      const Net& net = netlist.net(id);
      if (net.is_bus())
        counts.largest_bit[net.vector()] = std::max<int>(counts.largest_bit[net.vector()], net.high);
    }
  }
  counts.first_bit.resize(counts.largest_bit.size());
  std::size_t total = 0;
  for (std::size_t v = 0; v < counts.largest_bit.size(); ++v) {
    counts.first_bit[v] = total;
    total += static_cast<std::size_t>(counts.largest_bit[v] + 1);
  }
  counts.bits.assign(total, 0);
  for (const Cell& cell : netlist.cells()) {
    ++stats.cells;
    for (const NetId id : netlist.pins(cell)) {
      ++stats.pins;
      const Net& net = netlist.net(id);
      if (id == kUnnamedNet) {
        ++stats.unconnected_pins;
      } else if (net.is_bus()) {
        const std::size_t first = counts.first_bit[net.vector()];
        for (int b = net.low; b <= net.high; ++b)
          ++counts.bits[first + static_cast<std::size_t>(b)];
      } else {
        ++counts.plain[id];
      }
    }
  }
  return counts;
}

// The single-pin bits of one vector, runs of neighbouring indexes joined
// into one slice name, from the largest index down.
void add_single_runs(const std::string& base, const int* bits, int largest,
                     std::vector<std::string>& names) {
  for (int i = largest; i >= 0;) {
    if (bits[i] != 1) {
      --i;
      continue;
    }
    int j = i;
    while (j > 0 && bits[j - 1] == 1) --j;
    names.push_back(base + (i == j ? "[" + std::to_string(i) + "]"
                                   : "[" + std::to_string(i) + ":" + std::to_string(j) + "]"));
    i = j - 1;
  }
}

}  // namespace

NetlistStats collect_stats(const Netlist& netlist) {
  NetlistStats stats;
  std::unordered_map<SymbolId, int> cells_of_type;
  for (const Cell& cell : netlist.cells()) ++cells_of_type[cell.type];
  for (const auto& [type, count] : cells_of_type)
    stats.cells_by_type[std::string(netlist.text(type))] = count;

  const BitCounts counts = count_bits(netlist, stats);
  std::vector<std::string>& single = stats.single_pin_names;
  for (NetId id = 1; id < counts.plain.size(); ++id) {
    if (counts.plain[id] == 0) continue;
    ++stats.nets;
    if (counts.plain[id] != 1) continue;
    ++stats.single_pin_nets;
    single.emplace_back(netlist.plain_name(id));
  }
  for (std::size_t v = 0; v < counts.largest_bit.size(); ++v) {
    const int* bits = counts.bits.data() + counts.first_bit[v];
    const int largest = counts.largest_bit[v];
    for (int b = 0; b <= largest; ++b) {
      stats.nets += bits[b] > 0 ? 1 : 0;
      stats.single_pin_nets += bits[b] == 1 ? 1 : 0;
    }
    add_single_runs(std::string(netlist.text(netlist.vectors()[v])), bits, largest, single);
  }
  std::sort(single.begin(), single.end());
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
  // A large design can have thousands: the first ones say enough.
  const std::size_t shown = std::min(stats.single_pin_names.size(), kSinglePinNamesShown);
  for (std::size_t i = 0; i < shown; ++i) out << "  " << stats.single_pin_names[i] << '\n';
  if (shown < stats.single_pin_names.size()) {
    out << "  ... and " << stats.single_pin_names.size() - shown << " more\n";
  }
  out.flush();
}

}  // namespace syn
