// A transfer started and finished inside the data net that an earlier
// mapping marked as a late input of a multiplexer: it adds its input to the
// multiplexer feeding its data output place.
#include "map/mux_cells.hpp"
#include "map/names.hpp"

namespace syn {
namespace {

// The net that requests a late input: the start place's net, or the join of
// several. A control-net place taken over by an earlier mapping answers to
// its new name; a place of the data net itself always to its own.
std::optional<NetName> late_input_request(MapContext& ctx, const DataTransition& t) {
  const int count = t.control_net_inputs + t.data_net_control_inputs;
  const auto controls = places_of_kind(ctx.design.inputs_of(t), ArcKind::control, count);
  if (controls.empty()) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no control input place");
    return std::nullopt;
  }
  auto net_of = [&](const DataArc& p, bool single) -> NetName {
    const std::string* given = ctx.given_net(p.place);
    if (given != nullptr && (single || p.net != PlaceNet::data_net)) return *given;
    return ctx.text(p.name);
  };
  if (controls.size() == 1) return net_of(*controls.front(), true);
  std::vector<NetName> inputs;
  for (const DataArc* p : controls) inputs.push_back(net_of(*p, false));
  return emit_join(ctx, inputs, "");
}

}  // namespace

void mark_first_reader_late(MapContext& ctx, std::uint32_t place) {
  const Positions readers = ctx.design.consumers_of(ctx.design.data_places.items[place]);
  if (!readers.empty()) ctx.state.late_input[readers.front()] = true;
}

void map_late_mux_input(MapContext& ctx, const DataTransition& t) {
  const DataPlace* fed = data_output_record(ctx, t);
  if (fed == nullptr) return;
  const MuxId mux = find_mux(ctx, *fed);
  if (mux == kNoMux) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": marked as a late multiplexer input, but no multiplexer feeds place " +
                     ctx.name(fed->name));
    return;
  }
  if (!mux_accepts_input(ctx, mux, t)) return;
  const DataArc* source = first_place_of_kind(ctx.design.inputs_of(t), ArcKind::data);
  if (source == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no data input place");
    return;
  }
  const std::optional<int> width = width_of_fed_place(ctx, t, *fed);
  if (!width) return;
  if (const DataPlace& record = ctx.design.data_places.items[source->place];
      record.terminal == Terminal::constant)
    constant_part(ctx, record, *width);
  const std::optional<NetName> request = late_input_request(ctx, t);
  if (!request) return;
  add_mux_input(ctx, mux, ctx.text(source->name), *request, *width);
  complete_mux_if_full(ctx, mux, t, ctx.text(fed->name), *width);
}

}  // namespace syn
