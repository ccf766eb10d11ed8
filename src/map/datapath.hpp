// The data-net mappers and the pieces they share. Each function works on one
// data-net transition; names of the cells and nets follow the rules of the
// file that implements it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "map/context.hpp"

namespace syn {

// ---- widths (width.cpp) -------------------------------------------------

// The larger width of the transition's own data places, else the width left
// behind by the last mapping (ctx.state.last_width); 0 when neither has one.
int own_width(const MapContext& ctx, const DataTransition& t);

// The width of the place at `place` in the place list, else the width left
// behind by the last mapping; 0 when neither.
int place_width(const MapContext& ctx, std::uint32_t place);

// ---- tracing walks (tracing.cpp) ----------------------------------------
// Iterative, never loop on a cycle; a step that lacks what it needs ends the
// walk with no end found ("broken").

// How the chain downstream of a transition's data output ends.
enum class Downstream : std::uint8_t {
  broken,                    // no end: a missing place or reader, a fork, a cycle
  operation,                 // an operation reads it (end: the operation)
  register_or_output,        // a register or output place (end: the place)
  no_input_several_readers,  // a transition on the way has no data input and
                             // its output place several readers
  several_inputs,            // a transition on the way has several data inputs
  no_input,                  // a transition on the way has no data input (end:
                             // the operation reading its output place, if any)
};

// Where the chain upstream of a transition's data input starts.
enum class Upstream : std::uint8_t {
  broken,          // no start: a missing place or writer, a merge, a cycle
  operation,       // an operation's result (end: the operation)
  register_place,  // a register (end: the place)
  constant,        // a constant (end: the place)
  several_inputs,  // a transition on the way has several data inputs
  input_port,      // an input port (end: the place)
};

// Whether the chain downstream of a transition, through operations and
// merges alike, ends in a given register or output place.
enum class EndsAt : std::uint8_t {
  elsewhere,                   // in another place, or nowhere
  that_place,
  place_with_several_readers,  // a place on the way has several readers
  several_data_outputs,        // a transition on the way has several data outputs
};

template <class How>
struct WalkResult {
  How how{};
  std::optional<SymbolId> end;  // name of the record that ends the chain
};

// With `memo` the walks remember their answers for later walks (see
// trace_memo.hpp); without, each walk starts afresh.
WalkResult<Downstream> trace_down(const Design& design, const DataTransition& start,
                                  TraceMemo* memo = nullptr);
WalkResult<Upstream> trace_up(const Design& design, const DataTransition& start,
                              TraceMemo* memo = nullptr);
// trace_down without copying the end's name.
Downstream downstream_end(const Design& design, const DataTransition& start,
                          TraceMemo* memo = nullptr);
// The name that ends the downstream chain, when there is one.
std::optional<SymbolId> downstream_end_name(const Design& design, const DataTransition& start,
                                            TraceMemo* memo = nullptr);
EndsAt chain_ends_at(const Design& design, const DataTransition& start, SymbolId place,
                     TraceMemo* memo = nullptr);

// ---- constant and control wiring (wiring.cpp) ---------------------------

// The two spellings of the constant nets: the comparator's drivers use
// "DCasyncValue1"/"DCasyncValue0" for a one digit, the other builders
// "DCasyncvalue1"/"DCasyncvalue0".
enum class ConstantNets { comparator, datapath };

// 2*width "buff" cells driving place[b] and place_bar[b], bit width-1 first.
void emit_constant_drivers(MapContext& ctx, const SymbolText& place, int value, int width,
                           ConstantNets spelling);

// Drivers of a constant operand for an operation or multiplexer.
void constant_part(MapContext& ctx, const DataPlace& place, int width);

// Drivers of a comparator's constant operand; returns its true and
// complement rail buses.
std::pair<BusNet, BusNet> emit_comparator_constant(MapContext& ctx,
                                                             const SymbolText& place, int width,
                                                             int value);

// Emits the join cell "c"+n (pin 1 the joined net, then the inputs) and
// returns the joined net: the inputs joined by `separator`. A single input
// needs no cell: its own net is returned.
NetName emit_join(MapContext& ctx, const std::vector<NetName>& inputs,
                  const std::string& separator);

// Request net of a transition from its control input places of the control
// nets, joined with "_" when there are several. Nothing (and a mapping
// problem naming the transition) when it has none.
std::optional<NetName> control_part(MapContext& ctx, const DataTransition& t);

// ---- latch stage (latch_stage.cpp) --------------------------------------

// One "dlatch" per bit from the result rails s1[b]/s1_bar[b] into the
// transition's first data output place, then "done_"+width into the net of
// its first control output place. False (and a mapping problem) when the
// transition lacks either place.
bool emit_latch_stage(MapContext& ctx, const DataTransition& t, const std::string& s1,
                      const std::string& s1_bar, const std::string& req, int width);

// ---- the mapping rules, one file each (see data_rule.hpp) ----------------

void map_plain_transfer(MapContext& ctx, const DataTransition& t);      // transfer.cpp
void map_comparison(MapContext& ctx, const DataTransition& t);          // comparator.cpp
void map_multiplication(MapContext& ctx, const DataTransition& t);      // multiplier.cpp
void map_operand_mux_input(MapContext& ctx, const DataTransition& t);   // operand_mux.cpp
void map_register_mux_input(MapContext& ctx, const DataTransition& t);  // register_mux.cpp
void map_addition(MapContext& ctx, const DataTransition& t);            // addition.cpp
void map_late_mux_input(MapContext& ctx, const DataTransition& t);      // late_input.cpp

// "data transition T: WHY; nothing mapped", a mapping problem (data_net.cpp).
void refuse(MapContext& ctx, const DataTransition& t, const std::string& why);

// The control input places from the control nets, in list order
// (wiring.cpp).
std::vector<NetName> control_inputs(const MapContext& ctx, const DataTransition& t);

// The position of a data transition or place in its list.
std::uint32_t position_of(const MapContext& ctx, const DataTransition& t);
std::uint32_t place_position(const MapContext& ctx, const DataPlace& place);

// Marks the first transition reading the data place at `place` as a late
// multiplexer input (late_input.cpp).
void mark_first_reader_late(MapContext& ctx, std::uint32_t place);

// Reports every multiplexer left incomplete when mapping ends (operand_mux.cpp).
void report_incomplete_muxes(MapContext& ctx);

}  // namespace syn
