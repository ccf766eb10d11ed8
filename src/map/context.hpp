// What every mapping pass works on: the design (read-only), its names, the
// netlist being built, the diagnostics, the console, and the state that
// crosses transitions while mapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "diag/diagnostics.hpp"
#include "map/trace_memo.hpp"
#include "model/design.hpp"
#include "model/symbols.hpp"
#include "netlist/netlist.hpp"

namespace syn {

// A multiplexer in the netlist that grows as its feeders are mapped. Its cell
// has as many pins as are placed so far; the slots for all of them were
// reserved when it was made.
struct GrowingMux {
  int instance = 0;
  std::size_t cell = 0;   // its position in the netlist's cell list
  std::size_t place = 0;  // position of the fed place in the data place list
  int feeder_pins = 0;    // three per feeder; the three output pins follow
  bool done = false;      // has its output pins
};

// What the mappers work out and leave for each other.
struct MappingState {
  // The width of every data place, by position: declared, else found from
  // its neighbours before the data transitions are mapped.
  std::vector<int> place_widths;
  // Width of the data value last handled by a data-net mapper; a later mapper
  // falls back on it only when its own places carry no width.
  int last_width = 0;
  // Nets that a mapper gave to data places (a join, a delayed request or a
  // delay acknowledge), by place position; few places get one.
  std::unordered_map<std::uint32_t, std::string> given_nets;
  // By data transition position: the instance of the multiplexer that the
  // transfer feeds, 0 for none; and whether it is marked as a late input.
  std::vector<int> fed_mux_instance;
  std::vector<bool> late_input;
  // Multiplexers by the position in the data place list of the place they
  // feed: 1 + their index in `muxes`, 0 for none.
  std::vector<std::size_t> mux_of_place;
  // Every multiplexer in the order it entered the netlist, with its growth.
  std::vector<GrowingMux> muxes;
  // Every multiplexer before this one in `muxes` has stopped growing.
  std::size_t first_growing_mux = 0;
};

struct MapContext {
  const Design& design;
  const Symbols& symbols;
  Netlist& netlist;
  Diagnostics& diag;
  std::ostream& console;  // progress letters and the texts printed during mapping

  MappingState state{};

  // Answers of the walks along data chains, shared by all the data mappers.
  TraceMemo traces{};

  // A name's text, to build a net name from.
  SymbolText text(SymbolId id) const { return {id, symbols.text(id)}; }
  // A name's text, to build a message from.
  std::string name(SymbolId id) const { return std::string(symbols.text(id)); }
  // The net a mapper gave the data place at `position`, or null (also for
  // an empty name, which renames nothing).
  const std::string* given_net(std::uint32_t position) const {
    const auto found = state.given_nets.find(position);
    if (found == state.given_nets.end() || found->second.empty()) return nullptr;
    return &found->second;
  }
};

// What the cells that transition `t` of `list` makes record as their origin.
template <class Transition>
CellOrigin origin_of(SourceNet net, const std::vector<Transition>& list, const Transition& t) {
  return {net, static_cast<std::uint32_t>(&t - list.data())};
}

}  // namespace syn
