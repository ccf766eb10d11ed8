#include "map/main_mapping.hpp"

#include "map/datapath.hpp"

namespace syn {

void main_mapping(MapContext& ctx) {
  ctx.console << "Initializing......\n";
  setup_mapping(ctx.design);
  map_global_control(ctx);
  map_local_control(ctx);
  map_data_net(ctx);
  report_incomplete_muxes(ctx);
}

}  // namespace syn
