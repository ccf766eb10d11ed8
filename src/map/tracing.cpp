// Walks along chains of data transfers, downstream from a transition's data
// output or upstream from its data input, to learn how the chain ends.
//
// Every walk is a loop over transitions that marks the transitions it meets:
// a chain that comes back to one of them is a cycle with no end, and the walk
// answers "broken" and no end, as it does wherever a step lacks the place or
// neighbour it needs. Each step either answers or names the next
// transition; the walks share their answers through a TraceMemo.
#include <cstddef>
#include <vector>

#include "map/datapath.hpp"

namespace syn {
namespace {

const DataArc* first_data_place(DataArcs places) {
  for (const DataArc& p : places)
    if (p.kind == ArcKind::data) return &p;
  return nullptr;
}

int count_data_places(DataArcs places) {
  int count = 0;
  for (const DataArc& p : places)
    if (p.kind == ArcKind::data) ++count;
  return count;
}

// The transition first in a list of a place record, or null.
const DataTransition* first_named(const Design& design, Positions transitions) {
  return transitions.empty() ? nullptr : &design.data_transitions.items[transitions.front()];
}

const DataPlace* record_of(const Design& design, const DataArc& p) {
  return &design.data_places.items[p.place];
}

// What one step of a walk found: an answer, or the transition to go on from.
struct Step {
  TraceAnswer answer;
  const DataTransition* next = nullptr;
};

template <class How>
Step answer(How how, SymbolId end = kNoSymbol) {
  return {{static_cast<unsigned char>(how), end}, nullptr};
}
Step go_on(const DataTransition* next) { return {{}, next}; }

// A transition without data input: the answer depends only on how many
// transitions read its first output place.
Step down_without_data_input(const Design& design, const DataTransition& t) {
  if (design.outputs_of(t).empty()) return answer(Downstream::broken);
  const DataPlace* place = record_of(design, design.outputs_of(t).front());
  if (design.consumers_of(*place).size() >= 2) return answer(Downstream::no_input_several_readers);
  const DataTransition* reader = first_named(design, design.consumers_of(*place));
  if (reader != nullptr && reader->is_operation) return answer(Downstream::no_input, reader->name);
  return answer(Downstream::no_input);
}

Step step_down(const Design& design, const DataTransition& t) {
  if (t.data_input_count > 1) return answer(Downstream::several_inputs);
  if (t.data_input_count == 0) return down_without_data_input(design, t);
  if (count_data_places(design.outputs_of(t)) >= 2) return answer(Downstream::broken);
  const DataArc* out = first_data_place(design.outputs_of(t));
  if (out == nullptr) return answer(Downstream::broken);
  if (out->terminal == Terminal::register_place || out->terminal == Terminal::output_port)
    return answer(Downstream::register_or_output, out->name);
  const DataPlace* place = record_of(design, *out);
  if (place->reader_lines > 1) return answer(Downstream::broken);
  const DataTransition* reader = first_named(design, design.consumers_of(*place));
  if (reader == nullptr) return answer(Downstream::broken);
  if (reader->is_operation) return answer(Downstream::operation, reader->name);
  return go_on(reader);
}

Step step_up(const Design& design, const DataTransition& t) {
  if (t.data_input_count > 1) return answer(Upstream::several_inputs);
  const DataArc* in = first_data_place(design.inputs_of(t));
  if (in == nullptr) return answer(Upstream::broken);
  const DataPlace* place = record_of(design, *in);
  if (place->writer_lines > 1) return answer(Upstream::broken);
  if (place->terminal == Terminal::register_place)
    return answer(Upstream::register_place, place->name);
  if (place->terminal == Terminal::constant) return answer(Upstream::constant, place->name);
  if (place->terminal == Terminal::input_port) return answer(Upstream::input_port, place->name);
  const DataTransition* writer = first_named(design, design.producers_of(*place));
  if (writer == nullptr) return answer(Upstream::broken);
  if (writer->is_operation) return answer(Upstream::operation, writer->name);
  return go_on(writer);
}

// Downstream through operations and merges alike: "that_place" with the
// register or output place the chain ends in (compared with the asked place
// by chain_ends_at), else why it ends nowhere.
Step step_to_end(const Design& design, const DataTransition& t) {
  if (count_data_places(design.outputs_of(t)) > 1) return answer(EndsAt::several_data_outputs);
  const DataArc* out = first_data_place(design.outputs_of(t));
  if (out == nullptr) return answer(EndsAt::elsewhere);
  if (out->terminal == Terminal::register_place || out->terminal == Terminal::output_port)
    return answer(EndsAt::that_place, out->name);
  const DataPlace* record = record_of(design, *out);
  if (record->reader_lines > 1) return answer(EndsAt::place_with_several_readers);
  const DataTransition* reader = first_named(design, design.consumers_of(*record));
  if (reader == nullptr) return answer(EndsAt::elsewhere);
  return go_on(reader);
}

// Runs a walk from `start`, stopping early at a transition whose answer the
// table knows, and gives every transition on the way the walk's answer.
template <class StepFn>
TraceAnswer walk(const Design& design, const DataTransition& start, TraceTable& table,
                 StepFn step) {
  const std::vector<DataTransition>& all = design.data_transitions.items;
  table.fit(all.size());
  std::vector<std::size_t> path;
  TraceAnswer result;
  // Every transition met is one of the list: the walk starts at one, and
  // each step finds the next by name.
  for (const DataTransition* t = &start;;) {
    const auto i = static_cast<std::size_t>(t - all.data());
    if (table.state(i) == TraceTable::State::known) {
      result = table.answer(i);
      break;
    }
    if (table.state(i) == TraceTable::State::on_path) break;  // a cycle
    table.mark_on_path(i);
    path.push_back(i);
    const Step found = step(design, *t);
    if (found.next == nullptr) {
      result = found.answer;
      break;
    }
    t = found.next;
  }
  for (std::size_t i : path) table.set(i, result);
  return result;
}

// The memo to use: the caller's, or one for this walk alone.
TraceTable& table_of(TraceMemo* memo, TraceMemo& own, TraceTable TraceMemo::*which) {
  return memo != nullptr ? memo->*which : own.*which;
}

template <class How>
WalkResult<How> to_result(const TraceAnswer& a) {
  const How how = static_cast<How>(a.how);
  return a.end != kNoSymbol ? WalkResult<How>{how, a.end} : WalkResult<How>{how, std::nullopt};
}

}  // namespace

WalkResult<Downstream> trace_down(const Design& design, const DataTransition& start,
                                  TraceMemo* memo) {
  TraceMemo own;
  return to_result<Downstream>(
      walk(design, start, table_of(memo, own, &TraceMemo::down), step_down));
}

WalkResult<Upstream> trace_up(const Design& design, const DataTransition& start, TraceMemo* memo) {
  TraceMemo own;
  return to_result<Upstream>(walk(design, start, table_of(memo, own, &TraceMemo::up), step_up));
}

Downstream downstream_end(const Design& design, const DataTransition& start, TraceMemo* memo) {
  TraceMemo own;
  return static_cast<Downstream>(
      walk(design, start, table_of(memo, own, &TraceMemo::down), step_down).how);
}

std::optional<SymbolId> downstream_end_name(const Design& design, const DataTransition& start,
                                            TraceMemo* memo) {
  return trace_down(design, start, memo).end;
}

EndsAt chain_ends_at(const Design& design, const DataTransition& start, SymbolId place,
                     TraceMemo* memo) {
  TraceMemo own;
  const TraceAnswer end = walk(design, start, table_of(memo, own, &TraceMemo::end), step_to_end);
  const auto how = static_cast<EndsAt>(end.how);
  if (how == EndsAt::that_place && end.end != place) return EndsAt::elsewhere;
  return how;
}

}  // namespace syn
