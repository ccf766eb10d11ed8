// The arcs of a control net as numbers into the net's name tables, and the
// place list built from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/design.hpp"
#include "read/name_table.hpp"

namespace syn {

// One line with a known direction: its transition and place as ids.
struct NetArc {
  std::uint32_t transition = 0;
  std::uint32_t place = 0;
  bool input = false;  // the place is an input of the transition
};

struct NetArcs {
  explicit NetArcs(Symbols& symbols) : transitions(symbols), places(symbols) {}
  std::vector<NetArc> arcs;
  NameTable transitions;
  NameTable places;
};

// Builds the producer and consumer lists of a net's places into one array,
// then hands each place its two ranges of it.
class PlaceLinks {
 public:
  PlaceLinks(std::vector<std::uint32_t>& links, std::size_t places, std::size_t arcs)
      : links_(links) {
    links_.clear();
    links_.reserve(arcs);
    bounds_.reserve(places);
  }

  // The next place's lists.
  void add(const std::vector<std::uint32_t>& producers,
           const std::vector<std::uint32_t>& consumers) {
    const std::size_t start = links_.size();
    links_.insert(links_.end(), producers.begin(), producers.end());
    bounds_.push_back({start, links_.size()});
    links_.insert(links_.end(), consumers.begin(), consumers.end());
  }

  // Gives each place its ranges; call once every place is added.
  template <class Place>
  void hand_out(std::vector<Place>& places) const {
    const Positions all(links_);
    for (std::size_t p = 0; p < places.size(); ++p) {
      const std::size_t end = p + 1 < bounds_.size() ? bounds_[p + 1].first : links_.size();
      places[p].producers = all.subspan(bounds_[p].first, bounds_[p].second - bounds_[p].first);
      places[p].consumers = all.subspan(bounds_[p].second, end - bounds_[p].second);
    }
  }

 private:
  std::vector<std::uint32_t>& links_;
  // Per place: where its producers start and where its consumers start.
  std::vector<std::pair<std::size_t, std::size_t>> bounds_;
};

// Fills `places` with every place of the arcs (sort the name tables first),
// ascending by name, each with its producers and consumers (both lists
// ascending by name and each name once, as the positions
// `transition_at_rank` gives for the transitions' ranks) kept in `links`;
// then indexes it.
template <class Place, class TransitionAtRank>
void build_places(const NetArcs& net, const TransitionAtRank& transition_at_rank,
                  NamedList<Place>& places, std::vector<std::uint32_t>& links) {
  // What a place keeps of each of its arcs: the transition's rank, and
  // whether the place is the transition's input.
  struct Link {
    std::uint32_t transition = 0;
    bool input = false;
  };
  const Groups<Link> links_of(
      net.arcs.size(), net.places.size(),
      [&net](std::size_t i) { return net.places.rank(net.arcs[i].place); },
      [&net](std::size_t i) {
        return Link{net.transitions.rank(net.arcs[i].transition), net.arcs[i].input};
      });
  const auto to_positions = [&transition_at_rank](std::vector<std::uint32_t>& ranks) {
    sort_unique(ranks);
    for (std::uint32_t& rank : ranks) rank = transition_at_rank(rank);
  };
  std::vector<Place>& items = places.items;
  items.resize(net.places.size());
  PlaceLinks place_links(links, items.size(), net.arcs.size());
  std::vector<std::uint32_t> producers;
  std::vector<std::uint32_t> consumers;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    producers.clear();
    consumers.clear();
    for (const Link& link : links_of[rank])
      (link.input ? consumers : producers).push_back(link.transition);
    to_positions(producers);
    to_positions(consumers);
    items[rank].name = net.places.symbol_at_rank(rank);
    place_links.add(producers, consumers);
  }
  place_links.hand_out(items);
  places.index();
}

}  // namespace syn
