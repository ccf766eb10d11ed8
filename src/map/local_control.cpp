// Local control net: every local transition becomes a join cell ("c" + number
// of inputs) where several places meet and a buffer for each output place that
// must be driven separately. A place shared with the global net is driven as
// "T_q", the name under which the global cells' set pins expect it.
//
// A transition without input places has nothing to join and is refused. A net
// that a second local cell would also drive gets a warning (two outputs on one net).
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "map/cells.hpp"
#include "map/main_mapping.hpp"
#include "map/names.hpp"
#include "map/net_drivers.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// The net by which transition `t` drives its output place `q`: "t_q" when
// the global net has the place too.
NetName output_net(const MapContext& ctx, const LocalTransition& t, SymbolId q) {
  return driven_net(ctx.text(t.name), ctx.text(q), ctx.design.global_places.contains(q));
}

// The join cell's output when it feeds buffers: the input names joined by "_".
NetName joined_inputs(const MapContext& ctx, const LocalTransition& t) {
  std::string joined;
  for (const LocalArc& place : ctx.design.inputs_of(t)) {
    if (!joined.empty()) joined += "_";
    joined += ctx.text(place.name);
  }
  return joined;
}

// Remembers which transition drives each net, to report a net driven twice.
class DriverCheck {
 public:
  explicit DriverCheck(MapContext& ctx) : ctx_(ctx) {}
  void drives(const LocalTransition& t, const NetName& net) {
    if (const SymbolId driver = drivers_.drive(ctx_.netlist.net_named(net), t.name);
        driver != kNoSymbol) {
      ctx_.diag.warning("local transition " + ctx_.name(t.name) + ": net " +
                        std::string(net.text()) + " is already driven by local transition " +
                        ctx_.name(driver));
    }
  }

 private:
  MapContext& ctx_;
  NetDrivers drivers_;
};

void add_buffer(MapContext& ctx, const NetName& in, const NetName& out) {
  add_cell(ctx.netlist, buffer_cell(), in, out);
}

void map_transition(MapContext& ctx, const LocalTransition& t, DriverCheck& drivers) {
  const std::size_t inputs = ctx.design.inputs_of(t).size();
  const std::size_t outputs = ctx.design.outputs_of(t).size();

  if (inputs == 1) {
    for (const LocalArc& q : ctx.design.outputs_of(t)) {
      const NetName net = output_net(ctx, t, q.name);
      add_buffer(ctx, ctx.text(ctx.design.inputs_of(t).front().name), net);
      drivers.drives(t, net);
    }
    return;
  }

  const NetName join_net = outputs == 1 ? output_net(ctx, t, ctx.design.outputs_of(t).front().name)
                                        : joined_inputs(ctx, t);
  std::vector<NetName> nets;
  nets.reserve(inputs + 1);
  nets.push_back(join_net);
  for (const LocalArc& p : ctx.design.inputs_of(t)) nets.emplace_back(ctx.text(p.name));
  ctx.netlist.add(join_cell(static_cast<int>(inputs)), nets);
  drivers.drives(t, join_net);
  if (outputs == 1) return;

  for (const LocalArc& q : ctx.design.outputs_of(t)) {
    const NetName net = output_net(ctx, t, q.name);
    add_buffer(ctx, join_net, net);
    drivers.drives(t, net);
  }
}

}  // namespace

void map_local_control(MapContext& ctx) {
  DriverCheck drivers(ctx);
  for (const LocalTransition& t : ctx.design.local_transitions.items) {
    ctx.netlist.set_origin(origin_of(SourceNet::local_net, ctx.design.local_transitions.items, t));
    ctx.console << "L";
    if (ctx.design.inputs_of(t).empty()) {
      ctx.diag.error("local transition " + ctx.name(t.name) +
                     ": no input place; a join cell without inputs has nothing to wait for");
      continue;
    }
    map_transition(ctx, t, drivers);
  }
}

}  // namespace syn
