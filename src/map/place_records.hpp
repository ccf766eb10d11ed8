// The place list's record of a place that a data transition names. The data
// net's reader makes a record for every such name; before it maps, the data
// net pass finds each one once (complete_data_places) and keeps its position
// in the transition's own place entry, so that the mappers do not search the
// index again and again for the same names. The positions stay valid because
// mapping never reorders the place list.
#pragma once

#include "model/design.hpp"

namespace syn {

inline const DataPlace* record_of(const Design& design, const DataArc& p) {
  return &design.data_places.items[p.record];
}

inline DataPlace* record_of(Design& design, const DataArc& p) {
  return &design.data_places.items[p.record];
}

}  // namespace syn
