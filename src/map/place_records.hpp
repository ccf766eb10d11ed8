// The place list's record of a place that a data transition names. Before it
// maps, the data net pass finds the record of every such name once
// (complete_data_places) and keeps its position in the transition's own
// place entry, so that the mappers do
// not search the index again and again for the same names. The positions
// stay valid because mapping never reorders the place list.
#pragma once

#include "model/design.hpp"

namespace syn {

inline const DNP_node* record_of(const Design& design, const DN_place_node& p) {
  if (p.record != DN_place_node::unresolved) return &design.DNP.items[p.record];
  return design.DNP.find(p.name);  // not resolved: a hand-made design
}

inline DNP_node* record_of(Design& design, const DN_place_node& p) {
  if (p.record != DN_place_node::unresolved) return &design.DNP.items[p.record];
  return design.DNP.find(p.name);
}

}  // namespace syn
