// Pieces shared by the mappers that build and grow multiplexers: the places a
// transfer works on, the source of a multiplexer input, and the multiplexer
// cell itself, found again through the data place it feeds.
//
// A multiplexer "mux" + n + "_" + W has three input pins per feeder (source
// true rail bus, source complement rail bus, select) in the order the feeders
// are mapped, then three output pins (the completing feeder's control output
// place, the fed place's complement and true rail buses). Its pins are placed
// one by one into slots reserved when it is made; it has as many as are
// placed.
#pragma once

#include <optional>
#include <string>

#include "map/datapath.hpp"

namespace syn {

// The first place of a list of the given kind, or null.
const DataArc* first_place_of_kind(DataArcs places, ArcKind kind);

// The first `limit` places of the given kind, in list order.
std::vector<const DataArc*> places_of_kind(DataArcs places, ArcKind kind, int limit);

// The record of the transition's first data output place; a mapping problem
// naming the transition (and null) when it has none.
const DataPlace* data_output_record(MapContext& ctx, const DataTransition& t);

// The width of the place a multiplexer or operation drives, else the width
// left by the last mapping; a mapping problem (and nothing) when neither is
// known. Sets ctx.state.last_width to the width used.
std::optional<int> width_of_fed_place(MapContext& ctx, const DataTransition& t,
                                      const DataPlace& fed);

// The width of an operation's result: that of its first data output place
// (see width_of_fed_place); nothing, with a mapping problem, when it has no
// such place or no width.
std::optional<int> result_width(MapContext& ctx, const DataTransition& t);

// Where a multiplexer input comes from, by the upstream walk from the
// transfer: a register, a constant or an input port. `constant` is the
// constant's place record, whose drivers the caller emits.
struct MuxSource {
  SymbolId name = kNoSymbol;
  const DataPlace* constant = nullptr;
};

// The source of the transfer's multiplexer input; any other kind of source is
// a mapping problem naming the transition (and nothing).
std::optional<MuxSource> find_mux_source(MapContext& ctx, const DataTransition& t);

// Emits the constant drivers of a constant source (nothing for the others).
void emit_source_drivers(MapContext& ctx, const MuxSource& source, int width);

// A multiplexer of the netlist: its index in ctx.state.muxes.
using MuxId = std::size_t;
inline constexpr MuxId kNoMux = static_cast<MuxId>(-1);

// Reserves the next instance number and the pin slots for a new multiplexer
// in front of `fed`, and stores the number in every transition that writes
// `fed`. The cell is not in the netlist until append_mux.
Cell reserve_mux(MapContext& ctx, const DataPlace& fed, int width);

// Appends a reserved multiplexer and records it as the one feeding `fed`, a
// record of the data place list.
MuxId append_mux(MapContext& ctx, const Cell& mux, const DataPlace& fed);

// Whether a multiplexer may still get pins: it has no outputs yet and is
// still its place's (a place that gets a new one leaves the old one as it is).
bool mux_may_grow(const MappingState& state, MuxId mux);

// The multiplexer feeding `fed` (a record of the data place list), or kNoMux.
MuxId find_mux(const MapContext& ctx, const DataPlace& fed);

// Adds one input: the source's two rail buses and the select net.
void add_mux_input(MapContext& ctx, MuxId mux, const SymbolText& source, const NetName& select,
                   int width);

// Once the multiplexer has an input from every feeder, adds its three output
// pins, taking the control output place of `t` (the feeder that completes it),
// and marks it done.
void complete_mux_if_full(MapContext& ctx, MuxId mux, const DataTransition& t,
                          const SymbolText& fed, int width);

// A late feeder must not grow a multiplexer that is already complete; a
// mapping problem naming the transition when it would.
bool mux_accepts_input(MapContext& ctx, MuxId mux, const DataTransition& t);

}  // namespace syn
