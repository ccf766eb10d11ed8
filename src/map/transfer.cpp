// A plain transfer, started and finished by the control nets: one latch per
// bit from its data input place to its data output place, and the cell that
// reports all bits done.
#include <algorithm>

#include "map/cells.hpp"
#include "map/datapath.hpp"
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// What a plain transfer lacks, or nothing.
const char* transfer_lacks(const Design& design, const DataTransition& t) {
  if (first_place_of_kind(design.inputs_of(t), ArcKind::data) == nullptr)
    return "a data input place";
  if (first_place_of_kind(design.outputs_of(t), ArcKind::data) == nullptr)
    return "a data output place";
  if (t.control_net_inputs < 1) return "a control input place";
  if (first_place_of_kind(design.outputs_of(t), ArcKind::control) == nullptr)
    return "a control output place";
  return nullptr;
}

// Width of a transfer: the larger of its input's and output's, else the
// width left behind by the last mapping.
int transfer_width(const MapContext& ctx, const DataArc& x, const DataArc& y) {
  const int width = std::max(ctx.state.place_widths[x.place], ctx.state.place_widths[y.place]);
  return width != 0 ? width : ctx.state.last_width;
}

}  // namespace

// Most significant bit first.
void map_plain_transfer(MapContext& ctx, const DataTransition& t) {
  if (const char* lacks = transfer_lacks(ctx.design, t)) {
    refuse(ctx, t, std::string("a transfer needs ") + lacks + " and has none");
    return;
  }
  const DataArc& x_place = *first_place_of_kind(ctx.design.inputs_of(t), ArcKind::data);
  const DataArc& y_place = *first_place_of_kind(ctx.design.outputs_of(t), ArcKind::data);
  const SymbolText x = ctx.text(x_place.name);
  const SymbolText y = ctx.text(y_place.name);
  const DataPlace& x_record = ctx.design.data_places.items[x_place.place];
  const int width = transfer_width(ctx, x_place, y_place);
  if (width < 1) {
    refuse(ctx, t, "no width known for its data places");
    return;
  }
  const NetName control = emit_join(ctx, control_inputs(ctx, t), "_");
  ctx.state.last_width = width;

  if (x_record.terminal == Terminal::constant) constant_part(ctx, x_record, width);
  for (int k = width - 1; k >= 0; --k) {
    add_cell(ctx.netlist, latch_cell(), bit(x, k), bit_bar(x, k), control, kResetSignal, bit(y, k),
             bit_bar(y, k), bit_done(y, k));
  }
  const DataArc& done_place = *first_place_of_kind(ctx.design.outputs_of(t), ArcKind::control);
  add_cell(ctx.netlist, done_cell(width), done_bus(y, width),
           data_control_net(ctx.design, ctx.symbols, t.name, done_place));
}

}  // namespace syn
