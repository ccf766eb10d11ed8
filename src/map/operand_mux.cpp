// Transfers that load an operand place of an operation from several sources.
// The operand place gets one multiplexer, grown by one input per transfer; the
// control places that start the transfers of one step are joined once, by the
// first transfer of the step that is mapped, and the join's net replaces their
// own (a net given to the place) for the transfers mapped later. When the step also writes
// the operation's result back into one of the registers it reads, a "dele"
// cell delays the step's request.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "map/cells.hpp"
#include "map/mux_cells.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

enum class MemberKind { start = 0, loads_operand = 2, reads_result = 3 };

// A control place that L, the local transition starting the step, produces.
struct Member {
  SymbolId place;
  MemberKind kind;
  const DataTransition* transfer;  // the transfer the place starts
  std::uint32_t record;            // position of the place's data net record
};

struct StepGroup {
  std::vector<Member> members;
  std::vector<SymbolId> in_registers;   // sources of the operand loads
  std::vector<SymbolId> out_registers;  // destinations of the result reads

  std::vector<NetName> join_inputs(const MapContext& ctx) const {
    std::vector<NetName> names;
    for (const Member& m : members)
      if (m.kind != MemberKind::reads_result) names.emplace_back(ctx.text(m.place));
    return names;
  }
  bool writes_back() const {
    const std::unordered_set<SymbolId> written(out_registers.begin(), out_registers.end());
    for (const SymbolId r : in_registers)
      if (written.count(r) != 0) return true;
    return false;
  }
};

// What one transfer into an operand place works with.
struct OperandTransfer {
  const DataTransition& t;
  SymbolId function;          // the operation the data chain runs into
  SymbolId start;             // the control place that starts the transfer
  std::uint32_t start_place;  // its record's position
  const DataPlace& operand;   // the place the multiplexer feeds
  int width;
};

std::optional<OperandTransfer> describe(MapContext& ctx, const DataTransition& t) {
  const std::optional<SymbolId> function = downstream_end_name(ctx.design, t, &ctx.traces);
  if (!function) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": data chain does not reach an operation");
    return std::nullopt;
  }
  const DataArc* start = first_place_of_kind(ctx.design.inputs_of(t), ArcKind::control);
  if (start == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no control input place");
    return std::nullopt;
  }
  const DataPlace* operand = data_output_record(ctx, t);
  if (operand == nullptr) return std::nullopt;
  const std::optional<int> width = width_of_fed_place(ctx, t, *operand);
  if (!width) return std::nullopt;
  return OperandTransfer{t, *function, start->name, start->place, *operand, *width};
}

// A data place's record and the first transition that reads it (null when
// either is missing).
struct PlaceReader {
  std::uint32_t record;
  const DataTransition* transfer;
};
PlaceReader first_reader(const Design& design, SymbolId place) {
  const std::uint32_t record = design.data_places.position(place);
  if (record == kNoPosition) return {record, nullptr};
  const Positions readers = design.consumers_of(design.data_places.items[record]);
  if (readers.empty()) return {record, nullptr};
  return {record, &design.data_transitions.items[readers.front()]};
}

bool runs_into(const Design& design, TraceMemo& traces, const DataTransition& t,
               SymbolId function) {
  const WalkResult<Downstream> down = trace_down(design, t, &traces);
  return down.how == Downstream::operation && down.end == function;
}

bool reads_result_of(const Design& design, TraceMemo& traces, const DataTransition& t,
                     SymbolId function) {
  const WalkResult<Upstream> up = trace_up(design, t, &traces);
  return up.how == Upstream::operation && up.end == function;
}

// The output places of the local transition that produces the start place,
// each entered by what its transfer does with the operation.
StepGroup collect_step_group(const Design& design, TraceMemo& traces, const OperandTransfer& op) {
  StepGroup group;
  const LocalPlace* start = design.local_places.find(op.start);
  const LocalTransition* step =
      start != nullptr && !design.producers_of(*start).empty()
          ? &design.local_transitions.items[design.producers_of(*start).front()]
          : nullptr;
  if (step == nullptr) {
    group.members.push_back({op.start, MemberKind::start, &op.t, op.start_place});
  } else {
    for (const LocalArc& p : design.outputs_of(*step)) {
      const bool is_start = p.name == op.start;
      const PlaceReader reader =
          is_start ? PlaceReader{op.start_place, &op.t} : first_reader(design, p.name);
      const DataTransition* transfer = reader.transfer;
      if (transfer == nullptr) continue;
      if (is_start)
        group.members.push_back({p.name, MemberKind::start, transfer, reader.record});
      else if (runs_into(design, traces, *transfer, op.function))
        group.members.push_back({p.name, MemberKind::loads_operand, transfer, reader.record});
      if (reads_result_of(design, traces, *transfer, op.function))
        group.members.push_back({p.name, MemberKind::reads_result, transfer, reader.record});
    }
  }
  for (const Member& m : group.members) {
    if (m.kind == MemberKind::reads_result) {
      const WalkResult<Downstream> down = trace_down(design, *m.transfer, &traces);
      if (down.how == Downstream::register_or_output && down.end) {
        group.out_registers.push_back(*down.end);
      }
    } else {
      const WalkResult<Upstream> up = trace_up(design, *m.transfer, &traces);
      if (up.how == Upstream::register_place && up.end) group.in_registers.push_back(*up.end);
    }
  }
  return group;
}

// The first control output place of the operation, which the delay cell
// drives; a mapping problem when a delay is needed and there is none.
std::optional<NetName> delay_target(MapContext& ctx, const OperandTransfer& op) {
  const DataTransition* function = ctx.design.data_transitions.find(op.function);
  const DataArc* place =
      function != nullptr ? first_place_of_kind(ctx.design.outputs_of(*function), ArcKind::control)
                          : nullptr;
  if (place == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(op.t.name) + ": operation " +
                     ctx.name(op.function) + " has no control output place for the delay cell");
    return std::nullopt;
  }
  return ctx.text(place->name);
}

// Joins the step's start places and, when the step writes back into a
// register it reads, inserts the delay cell; marks the group's places and
// returns the multiplexer's select net. The transfer that creates the
// multiplexer also marks the result readers when it inserts the delay; a
// later feeder only renames them.
std::string join_step(MapContext& ctx, const OperandTransfer& op, const StepGroup& group,
                      const std::optional<NetName>& delay_place, bool creates_mux) {
  std::unordered_map<std::uint32_t, std::string>& given = ctx.state.given_nets;
  const std::string joined(emit_join(ctx, group.join_inputs(ctx), "").text());
  for (const Member& m : group.members)
    if (m.kind != MemberKind::reads_result) given[m.record] = joined;

  if (!delay_place) {
    for (const Member& m : group.members)
      if (m.kind == MemberKind::reads_result) mark_first_reader_late(ctx, m.record);
    return joined;
  }
  const std::string ack = ctx.name(op.function) + "_dele_ack";
  const std::string request = ctx.name(op.function) + "_dele_req";
  add_cell(ctx.netlist, delay_cell(), joined, ack, request, *delay_place);
  for (const Member& m : group.members)
    if (m.kind != MemberKind::reads_result) given[m.record] = request;
  for (const Member& m : group.members) {
    if (m.kind != MemberKind::reads_result) continue;
    given[m.record] = ack;
    if (creates_mux) mark_first_reader_late(ctx, m.record);
  }
  return request;
}

bool single_feeder(MapContext& ctx, const OperandTransfer& op) {
  if (op.operand.writer_lines > 1) return false;
  ctx.diag.problem("data transition " + ctx.name(op.t.name) + ": only transfer into place " +
                   ctx.name(op.operand.name) + ", no multiplexer needed; not mapped");
  return true;
}

// The multiplexer already fed by an earlier transfer, if it can take this
// transfer's input; `ok` is false when the transfer must not go on.
struct ExistingMux {
  MuxId mux;
  bool ok;
};
ExistingMux existing_mux(MapContext& ctx, const OperandTransfer& op) {
  const MuxId mux = find_mux(ctx, op.operand);
  return {mux, mux == kNoMux || mux_accepts_input(ctx, mux, op.t)};
}

// Creates the multiplexer with its first input; the cells that `emit_select`
// builds take instance numbers after the multiplexer's but come before it in
// the netlist.
template <class EmitSelect>
void create_mux(MapContext& ctx, const OperandTransfer& op, const MuxSource& source,
                EmitSelect emit_select) {
  const Cell reserved = reserve_mux(ctx, op.operand, op.width);
  emit_source_drivers(ctx, source, op.width);
  const std::string select = emit_select();
  const MuxId mux = append_mux(ctx, reserved, op.operand);
  add_mux_input(ctx, mux, ctx.text(source.name), select, op.width);
  complete_mux_if_full(ctx, mux, op.t, ctx.text(op.operand.name), op.width);
}

void grow_mux(MapContext& ctx, MuxId mux, const OperandTransfer& op, const MuxSource& source,
              const std::string& select) {
  add_mux_input(ctx, mux, ctx.text(source.name), select, op.width);
  complete_mux_if_full(ctx, mux, op.t, ctx.text(op.operand.name), op.width);
}

// A later transfer into the operand place whose step is not joined yet.
void add_unjoined_step_input(MapContext& ctx, const OperandTransfer& op, const StepGroup& group,
                             MuxId mux, const MuxSource& source,
                             const std::optional<NetName>& delay_place) {
  emit_source_drivers(ctx, source, op.width);
  grow_mux(ctx, mux, op, source, join_step(ctx, op, group, delay_place, false));
}

// A transfer of a joined step, no multiplexer yet: it creates it.
void create_for_joined_step(MapContext& ctx, const OperandTransfer& op) {
  if (single_feeder(ctx, op)) return;
  const std::optional<MuxSource> source = find_mux_source(ctx, op.t);
  if (!source) return;
  create_mux(ctx, op, *source, [&] { return *ctx.given_net(op.start_place); });
}

// A transfer of a joined step into an existing multiplexer.
void add_joined_step_input(MapContext& ctx, const OperandTransfer& op, MuxId mux) {
  const std::optional<MuxSource> source = find_mux_source(ctx, op.t);
  if (!source) return;
  emit_source_drivers(ctx, *source, op.width);
  grow_mux(ctx, mux, op, *source, *ctx.given_net(op.start_place));
}

}  // namespace

void map_operand_mux_input(MapContext& ctx, const DataTransition& t) {
  const std::optional<OperandTransfer> op = describe(ctx, t);
  if (!op) return;
  const ExistingMux existing = existing_mux(ctx, *op);
  if (!existing.ok) return;
  if (ctx.given_net(op->start_place) != nullptr) {
    if (existing.mux != kNoMux)
      add_joined_step_input(ctx, *op, existing.mux);
    else
      create_for_joined_step(ctx, *op);
    return;
  }
  const StepGroup group = collect_step_group(ctx.design, ctx.traces, *op);
  if (single_feeder(ctx, *op)) return;
  const std::optional<MuxSource> source = find_mux_source(ctx, t);
  if (!source) return;
  std::optional<NetName> delay_place;
  if (group.writes_back()) {
    delay_place = delay_target(ctx, *op);
    if (!delay_place) return;
  }
  if (existing.mux != kNoMux) {
    add_unjoined_step_input(ctx, *op, group, existing.mux, *source, delay_place);
    return;
  }
  create_mux(ctx, *op, *source, [&] { return join_step(ctx, *op, group, delay_place, true); });
}

void report_incomplete_muxes(MapContext& ctx) {
  // In netlist order, as the multiplexers were appended; a place's entry
  // counts only while the place still names that multiplexer.
  for (std::size_t id = 0; id < ctx.state.muxes.size(); ++id) {
    if (!mux_may_grow(ctx.state, id)) continue;
    const GrowingMux& mux = ctx.state.muxes[id];
    const Cell& cell = ctx.netlist.cells()[mux.cell];
    ctx.diag.problem("data place " + ctx.name(ctx.design.data_places.items[mux.place].name) +
                     ": " + std::string(ctx.netlist.type_name(cell)) + " (instance " +
                     decimal(cell.instance) + ") has inputs from " +
                     decimal(static_cast<int>(cell.pin_count) / 3) + " of its " +
                     decimal(mux.feeder_pins / 3) + " feeders and no outputs");
  }
}

}  // namespace syn
