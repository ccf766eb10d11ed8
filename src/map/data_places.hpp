// Pieces of the data net pass that the pass and its tests share: the widths
// of the data places before mapping.
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

// The widths every data place gets, by position, and the data places left
// without one, in list order.
struct PlaceWidths {
  std::vector<int> widths;
  std::vector<SymbolId> missing;
};

// Gives data places without a width (0 in `widths`, by position) the width of
// a neighbouring place, with the results that repeated sweeps over the place
// list would give (see the file for the rule).
PlaceWidths propagate_widths(const Design& design, std::vector<int> widths);

}  // namespace syn
