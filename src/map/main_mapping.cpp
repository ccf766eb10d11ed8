#include "map/main_mapping.hpp"

#include <utility>

#include "map/datapath.hpp"

namespace syn {

std::vector<int> main_mapping(const Design& design, const Symbols& symbols, Netlist& netlist,
                              Diagnostics& diag, std::ostream& console) {
  MapContext ctx{design, symbols, netlist, diag, console};
  ctx.console << "Initializing......\n";
  map_global_control(ctx);
  map_local_control(ctx);
  map_data_net(ctx);
  report_incomplete_muxes(ctx);
  return std::move(ctx.state.place_widths);
}

}  // namespace syn
