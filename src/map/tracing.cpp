// Walks along chains of data transfers, downstream from a transition's data
// output or upstream from its data input, to learn how the chain ends.
//
// Every walk is a loop over transitions with a set of the transitions already
// met: a chain that comes back to one of them is a cycle with no end, and the
// walk answers code 0 and no end, as it does wherever a step lacks the place,
// record or neighbour it needs.
#include <unordered_set>

#include "map/datapath.hpp"

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

// Remembers the transitions a walk has visited; false when one comes back.
class Visits {
 public:
  bool first_time(const DNT_node& t) { return seen_.insert(t.name).second; }

 private:
  std::unordered_set<std::string> seen_;
};

constexpr TraceResult no_answer{0, std::nullopt};

// A transition without data input: the answer depends only on how many
// transitions read its first output place.
TraceResult down_without_data_input(const Design& design, const DNT_node& t) {
  if (t.out_link.empty()) return no_answer;
  const DNP_node* place = design.DNP.find(t.out_link.front().name);
  if (place == nullptr) return no_answer;
  if (place->out_link.size() >= 2) return {3, std::nullopt};
  const DNT_node* reader = first_named(design, place->out_link);
  if (reader != nullptr && reader->func_part == 1) return {5, reader->name};
  return {5, std::nullopt};
}

}  // namespace

TraceResult trace_down(const Design& design, const DNT_node& start) {
  Visits visits;
  const DNT_node* t = &start;
  while (visits.first_time(*t)) {
    if (t->datapath_num_in > 1) return {4, std::nullopt};
    if (t->datapath_num_in == 0) return down_without_data_input(design, *t);
    if (count_data_places(t->out_link) >= 2) return no_answer;
    const DN_place_node* out = first_data_place(t->out_link);
    if (out == nullptr) return no_answer;
    if (out->type_term == "R" || out->type_term == "O") return {2, out->name};
    const DNP_node* place = design.DNP.find(out->name);
    if (place == nullptr || place->datapath_num_out > 1) return no_answer;
    const DNT_node* reader = first_named(design, place->out_link);
    if (reader == nullptr) return no_answer;
    if (reader->func_part == 1) return {1, reader->name};
    t = reader;
  }
  return no_answer;
}

TraceResult trace_up(const Design& design, const DNT_node& start) {
  Visits visits;
  const DNT_node* t = &start;
  while (visits.first_time(*t)) {
    if (t->datapath_num_in > 1) return {4, std::nullopt};
    const DN_place_node* in = first_data_place(t->in_link);
    if (in == nullptr) return no_answer;
    const DNP_node* place = design.DNP.find(in->name);
    if (place == nullptr || place->datapath_num_in > 1) return no_answer;
    if (place->type_term == "R") return {2, place->name};
    if (place->type_term == "C") return {3, place->name};
    if (place->type_term == "I") return {5, place->name};
    const DNT_node* writer = first_named(design, place->in_link);
    if (writer == nullptr) return no_answer;
    if (writer->func_part == 1) return {1, writer->name};
    t = writer;
  }
  return no_answer;
}

int search_DNT_down(const Design& design, const DNT_node& start) {
  return trace_down(design, start).code;
}

std::optional<std::string> DNT_terminated_at(const Design& design, const DNT_node& start) {
  return trace_down(design, start).end;
}

int search_DNT_up(const Design& design, const DNT_node& start) {
  return trace_up(design, start).code;
}

std::optional<std::string> DNT_terminated_at_up(const Design& design, const DNT_node& start) {
  return trace_up(design, start).end;
}

// Whether the chain downstream of `start` ends in the register or output
// place named `place`: 1 yes, 0 no (or no answer), 2 a place on the way has
// several readers, 3 a transition on the way has several data outputs. It
// walks through operations and merges alike.
int DNT_terminated_at_same(const Design& design, const DNT_node& start, const std::string& place) {
  Visits visits;
  const DNT_node* t = &start;
  while (visits.first_time(*t)) {
    if (count_data_places(t->out_link) > 1) return 3;
    const DN_place_node* out = first_data_place(t->out_link);
    if (out == nullptr) return 0;
    if (out->type_term == "R" || out->type_term == "O") return out->name == place ? 1 : 0;
    const DNP_node* record = design.DNP.find(out->name);
    if (record == nullptr) return 0;
    if (record->datapath_num_out > 1) return 2;
    const DNT_node* reader = first_named(design, record->out_link);
    if (reader == nullptr) return 0;
    t = reader;
  }
  return 0;
}

}  // namespace syn
