// What every mapping pass works on: the design, the netlist being built, the
// diagnostics, the console, and the little state that crosses transitions.
#pragma once

#include <ostream>
#include <string>
#include <cstddef>
#include <utility>
#include <vector>

#include "diag/diagnostics.hpp"
#include "map/trace_memo.hpp"
#include "model/design.hpp"
#include "netlist/netlist.hpp"

namespace syn {

struct MapContext {
  Design& design;
  Netlist& netlist;
  Diagnostics& diag;
  std::ostream& console;  // progress letters and the texts printed during mapping

  // Width of the data value last handled by a data-net mapper; a later mapper
  // falls back on it only when its own places carry no width.
  int data_size = 0;

  // Multiplexers still growing, by the position in the data place list of
  // the place they feed: their instance number, 0 for none.
  std::vector<int> mux_of_place{};
  // The same multiplexers in the order they entered the netlist, each with
  // the position of the place it feeds.
  std::vector<std::pair<int, std::size_t>> muxes_in_order{};

  // Answers of the walks along data chains, shared by all the data mappers.
  TraceMemo traces{};
};

}  // namespace syn
