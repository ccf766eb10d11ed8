// An addition started and finished inside the data net: a join of its
// control inputs, an adder cell "add" + operands + "_" + W reading every
// operand (constants get their drivers), and its latch stage.
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {

void map_addition(MapContext& ctx, const DataTransition& t) {
  const std::optional<int> width_found = result_width(ctx, t);
  if (!width_found) return;
  const int width = *width_found;
  const auto controls =
      places_of_kind(ctx.design.inputs_of(t), ArcKind::control, t.data_net_control_inputs);
  if (controls.empty()) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no control input place");
    return;
  }
  const auto operands = places_of_kind(ctx.design.inputs_of(t), ArcKind::data, t.data_input_count);

  // Constant operands need their drivers, as for the multiplier.
  for (const DataArc* p : operands)
    if (const DataPlace& record = ctx.design.data_places.items[p->place];
        record.terminal == Terminal::constant)
      constant_part(ctx, record, width);

  std::vector<NetName> inputs;
  for (const DataArc* p : controls) inputs.emplace_back(ctx.text(p->name));
  const NetName request = emit_join(ctx, inputs, "");

  const CellShape adder = adder_cell(t.data_input_count, width);
  const int instance = ctx.netlist.new_instance();
  const std::string result_name = "U" + decimal(instance) + "_" + type_name(adder);
  std::vector<PinNet> pins;
  for (const DataArc* p : operands) {
    pins.push_back(bus(ctx.text(p->name), width));
    pins.push_back(bus_bar(ctx.text(p->name), width));
  }
  pins.push_back(request);
  pins.push_back(bus(result_name, width));
  pins.push_back(bus_bar(result_name, width));
  pins.push_back(result_name + "_done");
  Cell cell = ctx.netlist.reserve_cell(adder, instance, pins.size());
  ctx.netlist.place_pins(cell, pins);
  ctx.netlist.append(cell);

  emit_latch_stage(ctx, t, result_name, result_name + "_bar", result_name + "_done", width);
}

}  // namespace syn
