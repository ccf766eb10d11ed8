// A short summary of a netlist for the console: cells per cell type, the
// totals, and the nets that reach only one pin, which are either signals at
// the design's boundary or mistakes.
//
// Nets are counted bit by bit, as the bus names mean: x[7:0] on a pin is
// the eight nets x[7] ... x[0], so a bus pin joins the pins of its bits.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "netlist/netlist.hpp"

namespace syn {

struct NetlistStats {
  std::map<std::string, int> cells_by_type;  // ascending by cell name
  int cells = 0;
  int pins = 0;
  int unconnected_pins = 0;  // pins with an empty net name
  int nets = 0;
  int single_pin_nets = 0;
  // The single-pin nets, runs of bits of one vector joined (x[7:0]), ascending.
  std::vector<std::string> single_pin_names;
};

NetlistStats collect_stats(const Netlist& netlist);

// How many single-pin names the summary lists before "... and N more".
inline constexpr std::size_t kSinglePinNamesShown = 20;

void write_stats(const NetlistStats& stats, std::ostream& out);

}  // namespace syn
