// The mapper: set-up, then the global control, local control and data net
// passes, in that order. Writing the netlist is left to the caller.
#pragma once

#include "map/context.hpp"

namespace syn {

void main_mapping(MapContext& ctx);

// The passes, each in its own file.
void setup_mapping(Design& design);
void map_global_control(MapContext& ctx);
void map_local_control(MapContext& ctx);
void map_data_net(MapContext& ctx);

}  // namespace syn
