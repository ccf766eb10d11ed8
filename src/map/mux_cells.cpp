#include "map/mux_cells.hpp"

#include <algorithm>
#include <utility>

#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {

const DataArc* first_place_of_kind(const std::vector<DataArc>& places, ArcKind kind) {
  for (const DataArc& p : places)
    if (p.kind == kind) return &p;
  return nullptr;
}

std::vector<const DataArc*> places_of_kind(const std::vector<DataArc>& places, ArcKind kind,
                                           int limit) {
  std::vector<const DataArc*> found;
  for (const DataArc& p : places) {
    if (static_cast<int>(found.size()) == limit) break;
    if (p.kind == kind) found.push_back(&p);
  }
  return found;
}

const DataPlace* data_output_record(MapContext& ctx, const DataTransition& t) {
  const DataArc* out = first_place_of_kind(t.outputs, ArcKind::data);
  const DataPlace* record = out != nullptr ? &ctx.design.data_places.items[out->place] : nullptr;
  if (record == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no data output place");
  }
  return record;
}

std::optional<int> width_of_fed_place(MapContext& ctx, const DataTransition& t,
                                      const DataPlace& fed) {
  const int width = place_width(ctx, place_position(ctx, fed));
  if (width <= 0) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": no width known for place " +
                     ctx.name(fed.name));
    return std::nullopt;
  }
  ctx.state.last_width = width;
  return width;
}

std::optional<int> result_width(MapContext& ctx, const DataTransition& t) {
  const DataPlace* result = data_output_record(ctx, t);
  if (result == nullptr) return std::nullopt;
  return width_of_fed_place(ctx, t, *result);
}

std::optional<MuxSource> find_mux_source(MapContext& ctx, const DataTransition& t) {
  const WalkResult<Upstream> up = trace_up(ctx.design, t, &ctx.traces);
  const bool from_terminal = up.how == Upstream::register_place || up.how == Upstream::constant ||
                             up.how == Upstream::input_port;
  if (from_terminal && up.end) {
    MuxSource source{*up.end, nullptr};
    if (up.how == Upstream::constant) source.constant = ctx.design.data_places.find(*up.end);
    return source;
  }
  ctx.diag.problem(
      "data transition " + ctx.name(t.name) +
      ": multiplexer input comes from neither a register, a constant nor an input port");
  return std::nullopt;
}

void emit_source_drivers(MapContext& ctx, const MuxSource& source, int width) {
  if (source.constant != nullptr) constant_part(ctx, *source.constant, width);
}

Cell reserve_mux(MapContext& ctx, const DataPlace& fed, int width) {
  const int feeders = fed.writer_lines;
  Cell mux;
  mux.name = "mux" + i_to_string(feeders) + "_" + i_to_string(width);
  mux.instance = ctx.netlist.new_instance();
  mux.pin_in_num = 3 * feeders;
  mux.done = 0;
  mux.next_pin = 0;
  for (const std::uint32_t writer : fed.producers)
    ctx.state.fed_mux_instance[writer] = mux.instance;
  return mux;
}

namespace {

std::size_t position_of(const MapContext& ctx, const DataPlace& place) {
  return static_cast<std::size_t>(&place - ctx.design.data_places.items.data());
}

}  // namespace

Cell& append_mux(MapContext& ctx, Cell mux, const DataPlace& fed) {
  const std::size_t place = position_of(ctx, fed);
  if (ctx.mux_of_place.size() <= place) {
    ctx.mux_of_place.resize(std::max(ctx.design.data_places.items.size(), place + 1), 0);
  }
  ctx.mux_of_place[place] = mux.instance;
  ctx.muxes_in_order.emplace_back(mux.instance, place);
  return ctx.netlist.append(std::move(mux));
}

Cell* find_mux(MapContext& ctx, const DataPlace& fed) {
  const std::size_t place = position_of(ctx, fed);
  if (place >= ctx.mux_of_place.size() || ctx.mux_of_place[place] == 0) return nullptr;
  return ctx.netlist.find_cell(ctx.mux_of_place[place]);
}

namespace {

// Places the next pin. A multiplexer's pins are numbered 0, 1, ... in the
// order they are placed and next_pin is their count, so they go at the end:
// no search through hundreds of feeders' pins.
void place_next_pin(Cell& mux, std::string name) {
  mux.pins.emplace_back().name = std::move(name);
  ++mux.next_pin;
}

}  // namespace

void add_mux_input(Cell& mux, const std::string& source, const std::string& select, int width) {
  place_next_pin(mux, bus(source, width));
  place_next_pin(mux, bus_bar(source, width));
  place_next_pin(mux, select);
}

void complete_mux_if_full(MapContext& ctx, Cell& mux, const DataTransition& t,
                          const std::string& fed, int width) {
  if (mux.done == 1 || mux.next_pin < mux.pin_in_num) return;
  const DataArc* ack = first_place_of_kind(t.outputs, ArcKind::control);
  if (ack == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no control output place to complete " + mux.name + " feeding " + fed);
    return;
  }
  place_next_pin(mux, ctx.name(ack->name));
  place_next_pin(mux, bus_bar(fed, width));
  place_next_pin(mux, bus(fed, width));
  mux.done = 1;
}

bool mux_accepts_input(MapContext& ctx, const Cell& mux, const DataTransition& t) {
  if (mux.next_pin < mux.pin_in_num) return true;
  ctx.diag.problem("data transition " + ctx.name(t.name) + ": " + mux.name + " (instance " +
                   i_to_string(mux.instance) + ") already has an input from every feeder");
  return false;
}

}  // namespace syn
