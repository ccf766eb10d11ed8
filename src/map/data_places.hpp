// Pieces of the data net pass that the pass and its tests share: completing
// the data places before mapping, and the comparator's precondition check.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "map/context.hpp"

namespace syn {

// Lists of lists in two flat arrays: the items of list k are
// items[begin[k]] .. items[begin[k + 1] - 1]. One allocation instead of one
// per list, and neighbouring lists stay together in memory.
template <class Item>
struct FlatLists {
  std::vector<std::size_t> begin{0};
  std::vector<Item> items;

  void close_list() { begin.push_back(items.size()); }
  std::size_t size(std::size_t k) const { return begin[k + 1] - begin[k]; }
  const Item* first(std::size_t k) const { return items.data() + begin[k]; }
  const Item* last(std::size_t k) const { return items.data() + begin[k + 1]; }
  const Item& at(std::size_t k, std::size_t i) const { return items[begin[k] + i]; }
};

// Positions in the place list of the places that each data transition
// names, by transition, its input and output lists apart and in list order;
// `no_place` for a name that has no record.
struct TransitionPlaces {
  static constexpr std::size_t no_place = static_cast<std::size_t>(-1);
  FlatLists<std::size_t> in;
  FlatLists<std::size_t> out;
};

// Copies kind, terminal type and constant value from the transitions' own
// place records into the place list: the last transition in list order that
// names a place decides, and within one transition an input record wins over
// an output record of the same name.
// On the way it finds the record of every place the transitions name once
// for the whole pass (see place_records.hpp), and returns their positions.
TransitionPlaces complete_data_places(Design& design);

// Gives data places without a width the width of a neighbouring place, with
// the results that repeated sweeps over the place list would give (see the
// file for the rule). Returns the data places still without a width, in
// list order. `places` are the positions complete_data_places returned.
std::vector<std::string> propagate_widths(Design& design, const TransitionPlaces& places);

}  // namespace syn
