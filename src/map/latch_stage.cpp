#include "map/cells.hpp"
#include "map/datapath.hpp"
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {

bool emit_latch_stage(MapContext& ctx, const DataTransition& t, const std::string& s1,
                      const std::string& s1_bar, const std::string& req, int width) {
  const DataArc* destination = first_place_of_kind(ctx.design.outputs_of(t), ArcKind::data);
  const DataArc* control = first_place_of_kind(ctx.design.outputs_of(t), ArcKind::control);
  const char* missing = destination == nullptr ? "a data output place"
                        : control == nullptr   ? "a control output place"
                                               : nullptr;
  if (missing != nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": the result has no latch stage, for want of " + missing);
    return false;
  }
  if (width < 1) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no width known for the result's latch stage");
    return false;
  }
  const SymbolText p = ctx.text(destination->name);
  // Most significant bit first, then the cell that gathers the bits' done.
  for (int b = width - 1; b >= 0; --b) {
    add_cell(ctx.netlist, latch_cell(), bit(s1, b), bit(s1_bar, b), req, kResetSignal, bit(p, b),
             bit_bar(p, b), bit_done(p, b));
  }
  add_cell(ctx.netlist, done_cell(width), done_bus(p, width),
           data_control_net(ctx.design, ctx.symbols, t.name, *control));
  return true;
}

}  // namespace syn
