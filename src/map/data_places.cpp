#include "map/data_places.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>
#include <vector>


namespace syn {

namespace {

constexpr std::size_t none = TransitionPlaces::no_place;

// The positions of the places each transition names, in list order.
TransitionPlaces transition_places(const Design& design) {
  TransitionPlaces positions;
  positions.in.begin.reserve(design.data_transitions.items.size() + 1);
  positions.out.begin.reserve(design.data_transitions.items.size() + 1);
  for (const DataTransition& t : design.data_transitions.items) {
    for (const DataArc& p : design.inputs_of(t)) positions.in.items.push_back(p.place);
    positions.in.close_list();
    for (const DataArc& p : design.outputs_of(t)) positions.out.items.push_back(p.place);
    positions.out.close_list();
  }
  return positions;
}

}  // namespace

// Width propagation.
//
// The rule is stated as sweeps: each sweep visits, in list order, every data
// place still without a width and gives it the first non-zero width among its
// neighbours, in this order: the input places of each producer (producers in
// list order, places in the producer's input order), then for each consumer
// its output places and then its input places. Widths given earlier in the
// same sweep count. Sweeps repeat while they give new widths.
//
// Repeating sweeps costs the square of a long chain whose widths flow against
// list order, so the same result is computed with a priority queue instead.
// Let the time of a width be (sweep, list index) of the place that got it;
// widths known from the start have the time (1, -1). A place p at index i
// gets its width in the first sweep s in which some neighbour q has a width
// before p is visited, that is when time(q) < (s, i): s = sweep(q) when q
// stands before p in the list, sweep(q) + 1 otherwise. That candidate time is
// always later than time(q), so taking candidates from the queue in time
// order (as a shortest-path search does) resolves every place at exactly the
// time the sweeps would, and at that moment precisely the places with an
// earlier time have widths. The width p takes is then the first one in its
// neighbour order, which each transition answers by remembering the first of
// its input places and of its output places that has a width.
//
// A transition only needs to announce its first input place with a width and
// its first output place with a width: a later width in the same list gives
// every neighbour a candidate time that is no earlier.
namespace {

struct Arc {
  std::size_t transition;
  std::size_t position;  // in the transition's input or output list
};

// Sorts arcs (given in transition order) into per-place lists, keeping their
// order within each place.
FlatLists<Arc> group_by_place(const std::vector<std::pair<std::size_t, Arc>>& arcs,
                              std::size_t places) {
  FlatLists<Arc> lists;
  std::vector<std::size_t> count(places + 1, 0);
  for (const auto& entry : arcs) ++count[entry.first + 1];
  for (std::size_t p = 0; p < places; ++p) count[p + 1] += count[p];
  lists.begin = count;
  lists.items.resize(arcs.size());
  for (const auto& entry : arcs) lists.items[count[entry.first]++] = entry.second;
  return lists;
}

class WidthPropagation {
 public:
  WidthPropagation(const Design& design, const TransitionPlaces& lists, std::vector<int> widths)
      : design_(design), width_(std::move(widths)), in_places_(lists.in), out_places_(lists.out) {
    index_arcs();
  }

  PlaceWidths run() {
    announce_initial_widths();
    while (!queue_.empty()) {
      const auto [time, place] = queue_.top();
      queue_.pop();
      if (!waiting(place)) continue;
      resolve(place, time.first);
    }
    PlaceWidths found;
    for (std::size_t p = 0; p < places().size(); ++p) {
      if (waiting(p)) found.missing.push_back(places()[p].name);
    }
    found.widths = std::move(width_);
    return found;
  }

 private:
  using Time = std::pair<long long, long long>;  // (sweep, list index)
  using Entry = std::pair<Time, std::size_t>;

  const std::vector<DataPlace>& places() const { return design_.data_places.items; }
  const std::vector<DataTransition>& transitions() const { return design_.data_transitions.items; }

  // Kinds are copied out of the records, which are large and far apart.
  int width(std::size_t place) const { return place == none ? 0 : width_[place]; }
  bool waiting(std::size_t place) const { return is_data_[place] && width_[place] == 0; }

  // Transitions are visited in list order, so each place's producers and
  // consumers come out in the order of its own transition lists.
  void index_arcs() {
    is_data_.reserve(places().size());
    for (const DataPlace& p : places()) is_data_.push_back(p.kind == ArcKind::data);
    std::vector<std::pair<std::size_t, Arc>> producer_arcs;
    std::vector<std::pair<std::size_t, Arc>> consumer_arcs;
    consumer_arcs.reserve(in_places_.items.size());
    producer_arcs.reserve(out_places_.items.size());
    for (std::size_t t = 0; t < transitions().size(); ++t) {
      add_arcs(t, in_places_, consumer_arcs);
      add_arcs(t, out_places_, producer_arcs);
    }
    producers_ = group_by_place(producer_arcs, places().size());
    consumers_ = group_by_place(consumer_arcs, places().size());
    first_in_.assign(transitions().size(), none);
    first_out_.assign(transitions().size(), none);
  }

  void add_arcs(std::size_t t, const FlatLists<std::size_t>& places,
                std::vector<std::pair<std::size_t, Arc>>& arcs) {
    for (std::size_t position = 0; position < places.size(t); ++position) {  // in t's list
      const std::size_t place = places.at(t, position);
      if (place != none) arcs.push_back({place, {t, position}});
    }
  }

  std::size_t first_with_width(const FlatLists<std::size_t>& lists, std::size_t t) const {
    for (std::size_t i = 0; i < lists.size(t); ++i) {
      if (width(lists.at(t, i)) != 0) return i;
    }
    return none;
  }

  void announce_initial_widths() {
    const Time start{1, -1};
    for (std::size_t t = 0; t < transitions().size(); ++t) {
      first_in_[t] = first_with_width(in_places_, t);
      first_out_[t] = first_with_width(out_places_, t);
      if (first_in_[t] != none) announce_input(t, start);
      if (first_out_[t] != none) announce_output(t, start);
    }
  }

  // Some input place of t has a width: every place of t may take it.
  void announce_input(std::size_t t, Time time) {
    offer(in_places_, t, time);
    offer(out_places_, t, time);
  }
  // Some output place of t has a width: the input places of t may take it.
  void announce_output(std::size_t t, Time time) { offer(in_places_, t, time); }

  void offer(const FlatLists<std::size_t>& lists, std::size_t t, Time time) {
    for (const std::size_t* p = lists.first(t); p != lists.last(t); ++p) {
      const std::size_t place = *p;
      if (place == none || !waiting(place)) continue;
      const long long index = static_cast<long long>(place);
      const long long sweep = time.second < index ? time.first : time.first + 1;
      queue_.push({{sweep, index}, place});
    }
  }

  int neighbour_width(std::size_t place) {
    for (const Arc* a = producers_.first(place); a != producers_.last(place); ++a) {
      if (first_in_[a->transition] != none)
        return width(in_places_.at(a->transition, first_in_[a->transition]));
    }
    for (const Arc* a = consumers_.first(place); a != consumers_.last(place); ++a) {
      if (first_out_[a->transition] != none)
        return width(out_places_.at(a->transition, first_out_[a->transition]));
      if (first_in_[a->transition] != none)
        return width(in_places_.at(a->transition, first_in_[a->transition]));
    }
    return 0;
  }

  void resolve(std::size_t place, long long sweep) {
    const int found = neighbour_width(place);
    if (found == 0) return;  // cannot happen: the place was offered by a neighbour
    width_[place] = found;
    const Time time{sweep, static_cast<long long>(place)};
    for (const Arc* a = consumers_.first(place); a != consumers_.last(place); ++a) {
      const bool first = first_in_[a->transition] == none;
      if (first || a->position < first_in_[a->transition]) first_in_[a->transition] = a->position;
      if (first) announce_input(a->transition, time);
    }
    for (const Arc* a = producers_.first(place); a != producers_.last(place); ++a) {
      const bool first = first_out_[a->transition] == none;
      if (first || a->position < first_out_[a->transition]) first_out_[a->transition] = a->position;
      if (first) announce_output(a->transition, time);
    }
  }

  const Design& design_;
  std::vector<int> width_;                  // per place
  std::vector<bool> is_data_;               // per place
  const FlatLists<std::size_t>& in_places_;   // per transition: place indexes
  const FlatLists<std::size_t>& out_places_;
  FlatLists<Arc> producers_;                // per place: transitions writing it
  FlatLists<Arc> consumers_;                // per place: transitions reading it
  std::vector<std::size_t> first_in_;       // per transition: first input with a width
  std::vector<std::size_t> first_out_;      // per transition: first output with a width
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue_;
};

}  // namespace

PlaceWidths propagate_widths(const Design& design, std::vector<int> widths) {
  return WidthPropagation(design, transition_places(design), std::move(widths)).run();
}

}  // namespace syn
