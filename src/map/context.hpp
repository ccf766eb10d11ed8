// What every mapping pass works on: the design, the netlist being built, the
// diagnostics, the console, and the little state that crosses transitions.
#pragma once

#include <ostream>
#include <string>
#include <unordered_map>
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

  // Multiplexers still growing, by the data place they feed (instance number).
  std::unordered_map<std::string, int> mux_of_place;
  // The same multiplexers in the order they entered the netlist, each with
  // the key of its entry above (keys of the map stay where they are).
  std::vector<std::pair<int, const std::string*>> muxes_in_order{};

  // Answers of the walks along data chains, shared by all the data mappers.
  TraceMemo traces{};
};

}  // namespace syn
