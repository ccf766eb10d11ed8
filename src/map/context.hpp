// What every mapping pass works on: the design, the netlist being built, the
// diagnostics, the console, and the little state that crosses transitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diag/diagnostics.hpp"
#include "map/trace_memo.hpp"
#include "model/design.hpp"
#include "netlist/netlist.hpp"

namespace syn {

// A multiplexer in the netlist that grows as its feeders are mapped. Its cell
// has as many pins as are placed so far; the slots for all of them were
// reserved when it was made.
struct GrowingMux {
  int instance = 0;
  std::size_t place = 0;  // position of the fed place in the data place list
  int feeder_pins = 0;    // three per feeder; the three output pins follow
  bool done = false;      // has its output pins
};

struct MapContext {
  Design& design;
  Netlist& netlist;
  Diagnostics& diag;
  std::ostream& console;  // progress letters and the texts printed during mapping

  // Width of the data value last handled by a data-net mapper; a later mapper
  // falls back on it only when its own places carry no width.
  int data_size = 0;

  // Multiplexers by the position in the data place list of the place they
  // feed: 1 + their index in `muxes`, 0 for none.
  std::vector<std::size_t> mux_of_place{};
  // Every multiplexer in the order it entered the netlist, with its growth.
  std::vector<GrowingMux> muxes{};

  // Answers of the walks along data chains, shared by all the data mappers.
  TraceMemo traces{};
};

// What the cells that transition `t` of `list` makes record as their origin.
template <class Transition>
CellOrigin origin_of(SourceNet net, const std::vector<Transition>& list, const Transition& t) {
  return {net, static_cast<std::uint32_t>(&t - list.data())};
}

}  // namespace syn
