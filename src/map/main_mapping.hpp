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
// What the data net pass needs of the design alone, so that it can be
// worked out while the control nets are mapped: the data places' widths, and
// which data places some transition of any of the three nets puts a token
// into.
struct DataNetPrelude {
  PlaceWidths widths;
  std::vector<bool> produced;  // by data place position
};
DataNetPrelude prepare_data_net(const Design& design);
void map_data_net(MapContext& ctx, DataNetPrelude prelude);

}  // namespace syn
