// The arcs of a control net as numbers into the net's name tables, and the
// place list built from them.
#pragma once

#include <cstdint>
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

// Fills `places` with every place of the arcs (sort the name tables first),
// ascending by name, each with its producers and consumers (both lists
// ascending by name and each name once, as the positions
// `transition_at_rank` gives for the transitions' ranks); then indexes it.
template <class Place, class TransitionAtRank>
void build_places(const NetArcs& net, const TransitionAtRank& transition_at_rank,
                  NamedList<Place>& places) {
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
  const auto positions = [&transition_at_rank](Positions& ranks) {
    sort_unique(ranks);
    for (std::uint32_t& rank : ranks) rank = transition_at_rank(rank);
    return Positions(ranks.begin(), ranks.end());
  };
  std::vector<Place>& items = places.items;
  items.resize(net.places.size());
  Positions producers;
  Positions consumers;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    producers.clear();
    consumers.clear();
    for (const Link& link : links_of[rank])
      (link.input ? consumers : producers).push_back(link.transition);
    Place& place = items[rank];
    place.name = net.places.symbol_at_rank(rank);
    place.producers = positions(producers);
    place.consumers = positions(consumers);
  }
  places.index();
}

}  // namespace syn
