// Walks along chains of data transfers, downstream from a transition's data
// output or upstream from its data input, to learn how the chain ends.
//
// Every walk is a loop over transitions that marks the transitions it meets:
// a chain that comes back to one of them is a cycle with no end, and the walk
// answers code 0 and no end, as it does wherever a step lacks the place or
// neighbour it needs. Each step either answers or names the next
// transition; the walks share their answers through a TraceMemo.
#include <cstddef>
#include <vector>

#include "map/datapath.hpp"
#include "map/place_records.hpp"

namespace syn {
namespace {

const DN_place_node* first_data_place(const std::vector<DN_place_node>& places) {
  for (const DN_place_node& p : places)
    if (p.type_c_d == "d") return &p;
  return nullptr;
}

int count_data_places(const std::vector<DN_place_node>& places) {
  int count = 0;
  for (const DN_place_node& p : places)
    if (p.type_c_d == "d") ++count;
  return count;
}

// The transition named first in a list of a place record, or null.
const DNT_node* first_named(const Design& design, const std::vector<std::string>& names) {
  return names.empty() ? nullptr : design.DNT.find(names.front());
}

// What one step of a walk found: an answer, or the transition to go on from.
struct Step {
  TraceAnswer answer;
  const DNT_node* next = nullptr;
};

Step answer(int code, const std::string* end = nullptr) { return {{code, end}, nullptr}; }
Step go_on(const DNT_node* next) { return {{}, next}; }

// A transition without data input: the answer depends only on how many
// transitions read its first output place.
Step down_without_data_input(const Design& design, const DNT_node& t) {
  if (t.out_link.empty()) return answer(0);
  const DNP_node* place = record_of(design, t.out_link.front());
  if (place->out_link.size() >= 2) return answer(3);
  const DNT_node* reader = first_named(design, place->out_link);
  if (reader != nullptr && reader->func_part == 1) return answer(5, &reader->name);
  return answer(5);
}

Step step_down(const Design& design, const DNT_node& t) {
  if (t.datapath_num_in > 1) return answer(4);
  if (t.datapath_num_in == 0) return down_without_data_input(design, t);
  if (count_data_places(t.out_link) >= 2) return answer(0);
  const DN_place_node* out = first_data_place(t.out_link);
  if (out == nullptr) return answer(0);
  if (out->type_term == "R" || out->type_term == "O") return answer(2, &out->name);
  const DNP_node* place = record_of(design, *out);
  if (place->datapath_num_out > 1) return answer(0);
  const DNT_node* reader = first_named(design, place->out_link);
  if (reader == nullptr) return answer(0);
  if (reader->func_part == 1) return answer(1, &reader->name);
  return go_on(reader);
}

Step step_up(const Design& design, const DNT_node& t) {
  if (t.datapath_num_in > 1) return answer(4);
  const DN_place_node* in = first_data_place(t.in_link);
  if (in == nullptr) return answer(0);
  const DNP_node* place = record_of(design, *in);
  if (place->datapath_num_in > 1) return answer(0);
  if (place->type_term == "R") return answer(2, &place->name);
  if (place->type_term == "C") return answer(3, &place->name);
  if (place->type_term == "I") return answer(5, &place->name);
  const DNT_node* writer = first_named(design, place->in_link);
  if (writer == nullptr) return answer(0);
  if (writer->func_part == 1) return answer(1, &writer->name);
  return go_on(writer);
}

// Downstream through operations and merges alike: code 1 with the register
// or output place the chain ends in, else 0, 2 (a place on the way has
// several readers) or 3 (a transition on the way has several data outputs).
Step step_to_end(const Design& design, const DNT_node& t) {
  if (count_data_places(t.out_link) > 1) return answer(3);
  const DN_place_node* out = first_data_place(t.out_link);
  if (out == nullptr) return answer(0);
  if (out->type_term == "R" || out->type_term == "O") return answer(1, &out->name);
  const DNP_node* record = record_of(design, *out);
  if (record->datapath_num_out > 1) return answer(2);
  const DNT_node* reader = first_named(design, record->out_link);
  if (reader == nullptr) return answer(0);
  return go_on(reader);
}

// Runs a walk from `start`, stopping early at a transition whose answer the
// table knows, and gives every transition on the way the walk's answer.
template <class StepFn>
TraceAnswer walk(const Design& design, const DNT_node& start, TraceTable& table, StepFn step) {
  const std::vector<DNT_node>& all = design.DNT.items;
  table.fit(all.size());
  std::vector<std::size_t> path;
  TraceAnswer result;
  // Every transition met is one of the list: the walk starts at one, and
  // each step finds the next by name.
  for (const DNT_node* t = &start;;) {
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

TraceResult to_result(const TraceAnswer& a) {
  return a.end != nullptr ? TraceResult{a.code, *a.end} : TraceResult{a.code, std::nullopt};
}

}  // namespace

TraceResult trace_down(const Design& design, const DNT_node& start, TraceMemo* memo) {
  TraceMemo own;
  return to_result(walk(design, start, table_of(memo, own, &TraceMemo::down), step_down));
}

TraceResult trace_up(const Design& design, const DNT_node& start, TraceMemo* memo) {
  TraceMemo own;
  return to_result(walk(design, start, table_of(memo, own, &TraceMemo::up), step_up));
}

// The codes alone need no copy of the end's name.
int search_DNT_down(const Design& design, const DNT_node& start, TraceMemo* memo) {
  TraceMemo own;
  return walk(design, start, table_of(memo, own, &TraceMemo::down), step_down).code;
}

std::optional<std::string> DNT_terminated_at(const Design& design, const DNT_node& start,
                                             TraceMemo* memo) {
  return trace_down(design, start, memo).end;
}

// Whether the chain downstream of `start` ends in the register or output
// place named `place`: 1 yes, 0 no (or no answer), 2 a place on the way has
// several readers, 3 a transition on the way has several data outputs. It
// walks through operations and merges alike.
int DNT_terminated_at_same(const Design& design, const DNT_node& start, const std::string& place,
                           TraceMemo* memo) {
  TraceMemo own;
  const TraceAnswer end = walk(design, start, table_of(memo, own, &TraceMemo::end), step_to_end);
  if (end.code == 1) return *end.end == place ? 1 : 0;
  return end.code;
}

}  // namespace syn
