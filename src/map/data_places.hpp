// Pieces of the data net pass that the pass and its tests share: completing
// the data places before mapping, and the comparator's precondition check.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "map/context.hpp"

namespace syn {

// Copies kind, terminal type and constant value from the transitions' own
// place records into the place list: the last transition in list order that
// names a place decides, and within one transition an input record wins over
// an output record of the same name.
// On the way it finds the record of every place the transitions name once
// for the whole pass (see place_records.hpp).
void complete_data_places(Design& design);

// Gives data places without a width the width of a neighbouring place, with
// the results that repeated sweeps over the place list would give (see the
// file for the rule). Returns the data places still without a width, in
// list order.
std::vector<std::string> propagate_widths(Design& design);

// Why a comparison transition cannot be mapped (too few or too many data
// inputs, no width), or nothing when it can. A transition whose name does
// not mark it as a comparator is not judged here.
std::optional<std::string> comparator_refusal(const MapContext& ctx, const DNT_node& t);

}  // namespace syn
