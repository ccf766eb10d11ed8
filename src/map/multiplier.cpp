// A transition whose completion goes to a control place of the data net: a
// multiplication becomes a multiplier cell with its latch stage; a transfer
// goes to the multiplexer mapper chosen by where its data chain leads.
#include "map/cells.hpp"
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// Delays the request of an operation whose result goes back into one of its
// own operand registers: the "dele" cell takes over the transition's first
// control output place, whose record and reader are marked so that the
// reader's later mapping takes its request from the delay acknowledge.
// Returns the delayed request.
std::optional<NetName> emit_write_back_delay(MapContext& ctx, const DataTransition& t,
                                             const NetName& request) {
  const DataArc* done_place = first_place_of_kind(ctx.design.outputs_of(t), ArcKind::control);
  if (done_place == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no control output place for the delay cell");
    return std::nullopt;
  }
  const std::string ack = ctx.name(t.name) + "_dele_ack";
  const std::string delayed = ctx.name(t.name) + "_dele_req";
  add_cell(ctx.netlist, delay_cell(), request, ack, delayed, ctx.text(done_place->name));
  ctx.state.given_nets[done_place->place] = ack;
  mark_first_reader_late(ctx, done_place->place);
  return delayed;
}

}  // namespace

void map_multiplication(MapContext& ctx, const DataTransition& t) {
  const std::optional<int> width_found = result_width(ctx, t);
  if (!width_found) return;
  const int width = *width_found;
  std::optional<NetName> request = control_part(ctx, t);
  if (!request) return;

  const CellShape cell = multiplier_cell(t.data_input_count, width);
  std::vector<PinNet> pins;
  bool delayed = false;
  int operands = 0;
  for (const DataArc& p : ctx.design.inputs_of(t)) {
    if (operands == t.data_input_count) break;
    if (p.kind != ArcKind::data) continue;
    ++operands;
    const DataPlace* operand = &ctx.design.data_places.items[p.place];
    if (operand->terminal == Terminal::constant) {
      constant_part(ctx, *operand, width);
    } else if (!delayed &&
               chain_ends_at(ctx.design, t, p.name, &ctx.traces) == EndsAt::that_place) {
      // One delay serves the operation even if two operands named its result.
      request = emit_write_back_delay(ctx, t, *request);
      if (!request) return;
      delayed = true;
    }
    pins.push_back(bus(ctx.text(p.name), width));
    pins.push_back(bus_bar(ctx.text(p.name), width));
  }

  const std::string result_name = ctx.name(t.name) + "_DC_" + type_name(cell);
  pins.push_back(*request);
  pins.push_back(bus(result_name, width));
  pins.push_back(bus_bar(result_name, width));
  pins.push_back(result_name + "_done");
  ctx.netlist.add(cell, pins);

  emit_latch_stage(ctx, t, result_name, result_name + "_bar", result_name + "_done", width);
}

}  // namespace syn
