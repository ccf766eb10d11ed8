// The mapper: the global control, local control and data net passes, in
// that order. Writing the netlist is left to the caller.
#pragma once

#include <ostream>
#include <vector>

#include "map/context.hpp"
#include "map/data_places.hpp"

namespace syn {

// Maps the design onto `netlist`; returns the widths it gave the data places,
// by position.
std::vector<int> main_mapping(const Design& design, const Symbols& symbols, Netlist& netlist,
                              Diagnostics& diag, std::ostream& console);

// The passes, each in its own file.
void map_global_control(MapContext& ctx);
void map_local_control(MapContext& ctx);
// The data net pass takes the data places' widths, which depend on the
// design alone (`data_place_widths`), so that they can be worked out while
// the control nets are mapped.
PlaceWidths data_place_widths(const Design& design);
void map_data_net(MapContext& ctx, PlaceWidths widths);

}  // namespace syn
