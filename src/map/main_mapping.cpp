#include "map/main_mapping.hpp"

#include <utility>

#include "map/data_places.hpp"
#include "map/datapath.hpp"
#include "util/run_beside.hpp"

namespace syn {

std::vector<int> main_mapping(const Design& design, const Symbols& symbols, Netlist& netlist,
                              Diagnostics& diag, std::ostream& console) {
  MapContext ctx{design, symbols, netlist, diag, console};
  ctx.console << "Initializing......\n";
  // What the data net pass needs of the design alone is worked out here
  // while the control nets are mapped on a second thread. (This way round
  // the widths' scratch tables are freed where the netlist grows next, and
  // the memory is used again.)
  DataNetPrelude prelude;
  run_beside(
      [&ctx] {
        map_global_control(ctx);
        // The local control mapper only adds cells: the global control
        // cells are final, and the netlist file can take them meanwhile.
        ctx.netlist.settle(ctx.netlist.cells().size());
        map_local_control(ctx);
      },
      [&design, &prelude] { prelude = prepare_data_net(design); });
  map_data_net(ctx, std::move(prelude));
  report_incomplete_muxes(ctx);
  netlist.settle_all();
  return std::move(ctx.state.place_widths);
}

}  // namespace syn
