// Transitions started and finished through control places of the data net:
// an addition becomes a join of its control inputs, an adder cell and its
// latch stage; a transfer marked earlier as a late input of a multiplexer
// adds its input to that multiplexer.
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "map/place_records.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

std::vector<const DN_place_node*> places_of_kind(const std::vector<DN_place_node>& places,
                                                 const std::string& kind, int limit) {
  std::vector<const DN_place_node*> found;
  for (const DN_place_node& p : places) {
    if (static_cast<int>(found.size()) == limit) break;
    if (p.type_c_d == kind) found.push_back(&p);
  }
  return found;
}

void function_part_41(MapContext& ctx, DNT_node& t) {
  if (t.name.find("add") == std::string::npos || t.control_num_in != 0) {
    ctx.diag.problem("data transition " + t.name +
                     ": operation started inside the data net is not an addition started only "
                     "there; not mapped");
    return;
  }
  const DNP_node* result = data_output_record(ctx, t);
  if (result == nullptr) return;
  const std::optional<int> width_found = width_of_fed_place(ctx, t, *result);
  if (!width_found) return;
  const int width = *width_found;
  const auto controls = places_of_kind(t.in_link, "c", t.control_in_DNP);
  if (controls.empty()) {
    ctx.diag.problem("data transition " + t.name + ": no control input place");
    return;
  }
  const auto operands = places_of_kind(t.in_link, "d", t.datapath_num_in);

  // Constant operands need their drivers, as for the multiplier.
  for (const DN_place_node* p : operands)
    if (const DNP_node* record = record_of(ctx.design, *p); record->type_term == "C")
      constant_part(ctx, *record, width);

  std::vector<std::string> inputs;
  for (const DN_place_node* p : controls) inputs.push_back(p->name);
  const std::string request = emit_join(ctx, inputs, "");

  comp_node adder;
  adder.name = "add" + i_to_string(t.datapath_num_in) + "_" + i_to_string(width);
  adder.instant_num = ctx.netlist.new_instance();
  const std::string result_name = "U" + i_to_string(adder.instant_num) + "_" + adder.name;
  std::vector<std::string> pins;
  for (const DN_place_node* p : operands) {
    pins.push_back(bus(p->name, width));
    pins.push_back(bus_bar(p->name, width));
  }
  pins.push_back(request);
  pins.push_back(bus(result_name, width));
  pins.push_back(bus_bar(result_name, width));
  pins.push_back(result_name + "_done");
  adder.pin_link = add_to_pin(std::move(pins));
  ctx.netlist.append(std::move(adder));

  latch_followed_function_part(ctx, t, result_name, result_name + "_bar", result_name + "_done",
                               width);
}

// The net that requests a late input: the start place's net, or the join of
// several. A control-net place taken over by an earlier mapping answers to
// its new name; a place of the data net itself always to its own.
std::optional<std::string> late_input_request(MapContext& ctx, const DNT_node& t) {
  const int count = t.control_num_in + t.control_in_DNP;
  const auto controls = places_of_kind(t.in_link, "c", count);
  if (controls.empty()) {
    ctx.diag.problem("data transition " + t.name + ": no control input place");
    return std::nullopt;
  }
  auto net_of = [&](const DN_place_node& p, bool single) {
    const DNP_node* record = record_of(ctx.design, p);
    const bool renamed = !record->new_name.empty();
    return renamed && (single || p.from_to_inter != "DNP") ? record->new_name : p.name;
  };
  if (controls.size() == 1) return net_of(*controls.front(), true);
  std::vector<std::string> inputs;
  for (const DN_place_node* p : controls) inputs.push_back(net_of(*p, false));
  return emit_join(ctx, inputs, "");
}

void function_part_42(MapContext& ctx, DNT_node& t) {
  if (t.mod_flag != 1 || t.instant_num == 0) {
    ctx.diag.problem("data transition " + t.name +
                     ": transfer started inside the data net is not marked as a late multiplexer "
                     "input; not mapped");
    return;
  }
  DNP_node* fed = data_output_record(ctx, t);
  if (fed == nullptr) return;
  comp_node* mux = find_mux(ctx, *fed);
  if (mux == nullptr) {
    ctx.diag.problem("data transition " + t.name +
                     ": marked as a late multiplexer input, but no multiplexer feeds place " +
                     fed->name);
    return;
  }
  if (!mux_accepts_input(ctx, *mux, t)) return;
  const DN_place_node* source = first_place_of_kind(t.in_link, "d");
  if (source == nullptr) {
    ctx.diag.problem("data transition " + t.name + ": no data input place");
    return;
  }
  const std::optional<int> width = width_of_fed_place(ctx, t, *fed);
  if (!width) return;
  if (const DNP_node* record = record_of(ctx.design, *source); record->type_term == "C")
    constant_part(ctx, *record, *width);
  const std::optional<std::string> request = late_input_request(ctx, t);
  if (!request) return;
  add_mux_input(*mux, source->name, *request, *width);
  complete_mux_if_full(ctx, *mux, t, fed->name, *width);
}

}  // namespace

void function_part_4(MapContext& ctx, DNT_node& t) {
  if (t.func_part == 1)
    function_part_41(ctx, t);
  else
    function_part_42(ctx, t);
}

}  // namespace syn
