// The arcs of a control net as numbers into the net's name tables, and the
// place list built from them.
#pragma once

#include <cstddef>
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
  std::vector<int> first_line;  // by transition id: the first line naming it
  NameTable transitions;
  NameTable places;
};

// Builds the producer and consumer lists of a net's places into one array.
class PlaceLinks {
 public:
  PlaceLinks(std::vector<std::uint32_t>& links, std::size_t arcs) : links_(links) {
    links_.clear();
    links_.reserve(arcs);
  }

  // The next place's lists; gives their range.
  LinkRange add(const std::vector<std::uint32_t>& producers,
                const std::vector<std::uint32_t>& consumers) {
    const auto first = static_cast<std::uint32_t>(links_.size());
    links_.insert(links_.end(), producers.begin(), producers.end());
    links_.insert(links_.end(), consumers.begin(), consumers.end());
    return {first, static_cast<std::uint32_t>(producers.size()),
            static_cast<std::uint32_t>(consumers.size())};
  }

 private:
  std::vector<std::uint32_t>& links_;
};

// Gives each place its lists, once the array of links is complete: a global
// place views them, the others keep their range.
inline void set_links(std::vector<GlobalPlace>& places, const std::vector<LinkRange>& ranges,
                      const std::vector<std::uint32_t>& links) {
  const Positions all(links);
  for (std::size_t p = 0; p < places.size(); ++p) {
    places[p].producers = all.subspan(ranges[p].first, ranges[p].producers);
    places[p].consumers = all.subspan(ranges[p].first + ranges[p].producers, ranges[p].consumers);
  }
}
template <class Place>
void set_links(std::vector<Place>& places, const std::vector<LinkRange>& ranges,
               const std::vector<std::uint32_t>& /*links*/) {
  for (std::size_t p = 0; p < places.size(); ++p) places[p].links = ranges[p];
}

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
  PlaceLinks place_links(links, net.arcs.size());
  std::vector<LinkRange> ranges(items.size());
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
    ranges[rank] = place_links.add(producers, consumers);
  }
  set_links(items, ranges, links);
  places.index();
}

}  // namespace syn
