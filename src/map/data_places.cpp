#include "map/data_places.hpp"

#include <cstddef>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

namespace syn {

void complete_data_places(Design& design) {
  auto copy = [&design](const std::vector<DN_place_node>& places) {
    for (const DN_place_node& p : places) {
      DNP_node* record = design.DNP.find(p.name);
      if (record == nullptr) continue;
      record->type_term = p.type_term;
      record->type_c_d = p.type_c_d;
      record->initial_value = p.initial_value;
    }
  };
  // One walk over the transitions; a later one overwrites an earlier one.
  // Outputs first, so that an input record of the same transition wins.
  for (const DNT_node& t : design.DNT.items) {
    copy(t.out_link);
    copy(t.in_link);
  }
}

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

constexpr std::size_t none = std::numeric_limits<std::size_t>::max();

struct Arc {
  std::size_t transition;
  std::size_t position;  // in the transition's input or output list
};

class WidthPropagation {
 public:
  explicit WidthPropagation(Design& design) : design_(design) { index_arcs(); }

  std::vector<std::string> run() {
    announce_initial_widths();
    while (!queue_.empty()) {
      const auto [time, place] = queue_.top();
      queue_.pop();
      if (!waiting(place)) continue;
      resolve(place, time.first);
    }
    std::vector<std::string> missing;
    for (std::size_t p = 0; p < places().size(); ++p) {
      if (waiting(p)) missing.push_back(places()[p].name);
    }
    return missing;
  }

 private:
  using Time = std::pair<long long, long long>;  // (sweep, list index)
  using Entry = std::pair<Time, std::size_t>;

  std::vector<DNP_node>& places() { return design_.DNP.items; }
  std::vector<DNT_node>& transitions() { return design_.DNT.items; }

  std::size_t place_index(const std::string& name) {
    const DNP_node* record = design_.DNP.find(name);
    return record == nullptr ? none : static_cast<std::size_t>(record - places().data());
  }

  int width(std::size_t place) const {
    return place == none ? 0 : design_.DNP.items[place].data_size;
  }
  bool waiting(std::size_t place) const {
    const DNP_node& p = design_.DNP.items[place];
    return p.type_c_d == "d" && p.data_size == 0;
  }

  // Transitions are visited in list order, so each place's producers and
  // consumers come out in the order of its own transition lists.
  void index_arcs() {
    in_places_.resize(transitions().size());
    out_places_.resize(transitions().size());
    producers_.resize(places().size());
    consumers_.resize(places().size());
    first_in_.assign(transitions().size(), none);
    first_out_.assign(transitions().size(), none);
    for (std::size_t t = 0; t < transitions().size(); ++t) {
      const DNT_node& node = transitions()[t];
      for (const DN_place_node& p : node.in_link) {
        const std::size_t place = place_index(p.name);
        if (place != none) consumers_[place].push_back({t, in_places_[t].size()});
        in_places_[t].push_back(place);
      }
      for (const DN_place_node& p : node.out_link) {
        const std::size_t place = place_index(p.name);
        if (place != none) producers_[place].push_back({t, out_places_[t].size()});
        out_places_[t].push_back(place);
      }
    }
  }

  std::size_t first_with_width(const std::vector<std::size_t>& list) const {
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (width(list[i]) != 0) return i;
    }
    return none;
  }

  void announce_initial_widths() {
    const Time start{1, -1};
    for (std::size_t t = 0; t < transitions().size(); ++t) {
      first_in_[t] = first_with_width(in_places_[t]);
      first_out_[t] = first_with_width(out_places_[t]);
      if (first_in_[t] != none) announce_input(t, start);
      if (first_out_[t] != none) announce_output(t, start);
    }
  }

  // Some input place of t has a width: every place of t may take it.
  void announce_input(std::size_t t, Time time) {
    offer(in_places_[t], time);
    offer(out_places_[t], time);
  }
  // Some output place of t has a width: the input places of t may take it.
  void announce_output(std::size_t t, Time time) { offer(in_places_[t], time); }

  void offer(const std::vector<std::size_t>& list, Time time) {
    for (std::size_t place : list) {
      if (place == none || !waiting(place)) continue;
      const long long index = static_cast<long long>(place);
      const long long sweep = time.second < index ? time.first : time.first + 1;
      queue_.push({{sweep, index}, place});
    }
  }

  int neighbour_width(std::size_t place) {
    for (const Arc& a : producers_[place]) {
      if (first_in_[a.transition] != none)
        return width(in_places_[a.transition][first_in_[a.transition]]);
    }
    for (const Arc& a : consumers_[place]) {
      if (first_out_[a.transition] != none)
        return width(out_places_[a.transition][first_out_[a.transition]]);
      if (first_in_[a.transition] != none)
        return width(in_places_[a.transition][first_in_[a.transition]]);
    }
    return 0;
  }

  void resolve(std::size_t place, long long sweep) {
    const int found = neighbour_width(place);
    if (found == 0) return;  // cannot happen: the place was offered by a neighbour
    places()[place].data_size = found;
    const Time time{sweep, static_cast<long long>(place)};
    for (const Arc& a : consumers_[place]) {
      const bool first = first_in_[a.transition] == none;
      if (first || a.position < first_in_[a.transition]) first_in_[a.transition] = a.position;
      if (first) announce_input(a.transition, time);
    }
    for (const Arc& a : producers_[place]) {
      const bool first = first_out_[a.transition] == none;
      if (first || a.position < first_out_[a.transition]) first_out_[a.transition] = a.position;
      if (first) announce_output(a.transition, time);
    }
  }

  Design& design_;
  std::vector<std::vector<std::size_t>> in_places_;  // per transition: place indexes
  std::vector<std::vector<std::size_t>> out_places_;
  std::vector<std::vector<Arc>> producers_;  // per place: transitions writing it
  std::vector<std::vector<Arc>> consumers_;  // per place: transitions reading it
  std::vector<std::size_t> first_in_;        // per transition: first input with a width
  std::vector<std::size_t> first_out_;       // per transition: first output with a width
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue_;
};

}  // namespace

std::vector<std::string> propagate_widths(Design& design) { return WidthPropagation(design).run(); }

}  // namespace syn
