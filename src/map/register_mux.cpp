// Transfers whose data chain ends in a register or output place written by
// several transfers: the place gets one multiplexer, created by the first of
// them to be mapped and grown by each later one, the transfer's start place
// as the select of its input.
#include "map/mux_cells.hpp"

namespace syn {

void map_register_mux_input(MapContext& ctx, const DataTransition& t) {
  const DataArc* start = first_place_of_kind(ctx.design.inputs_of(t), ArcKind::control);
  if (start == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no control input place");
    return;
  }
  const DataPlace* fed = data_output_record(ctx, t);
  if (fed == nullptr) return;
  const std::optional<int> width = width_of_fed_place(ctx, t, *fed);
  if (!width) return;
  if (fed->writer_lines <= 1) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": only transfer into place " +
                     ctx.name(fed->name) + ", no multiplexer needed; not mapped");
    return;
  }
  MuxId mux = find_mux(ctx, *fed);
  if (mux != kNoMux && !mux_accepts_input(ctx, mux, t)) return;
  const std::optional<MuxSource> source = find_mux_source(ctx, t);
  if (!source) return;

  if (mux == kNoMux) {
    const Cell fresh = reserve_mux(ctx, *fed, *width);
    // The transition that reads the place carries the number too.
    if (!ctx.design.consumers_of(*fed).empty())
      ctx.state.fed_mux_instance[ctx.design.consumers_of(*fed).front()] = fresh.instance;
    emit_source_drivers(ctx, *source, *width);
    mux = append_mux(ctx, fresh, *fed);
  } else {
    emit_source_drivers(ctx, *source, *width);
  }
  add_mux_input(ctx, mux, ctx.text(source->name), ctx.text(start->name), *width);
  complete_mux_if_full(ctx, mux, t, ctx.text(fed->name), *width);
}

}  // namespace syn
