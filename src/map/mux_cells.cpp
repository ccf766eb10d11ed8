#include "map/mux_cells.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "map/cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {

const DataArc* first_place_of_kind(DataArcs places, ArcKind kind) {
  for (const DataArc& p : places)
    if (p.kind == kind) return &p;
  return nullptr;
}

std::vector<const DataArc*> places_of_kind(DataArcs places, ArcKind kind, int limit) {
  std::vector<const DataArc*> found;
  for (const DataArc& p : places) {
    if (static_cast<int>(found.size()) == limit) break;
    if (p.kind == kind) found.push_back(&p);
  }
  return found;
}

const DataPlace* data_output_record(MapContext& ctx, const DataTransition& t) {
  const DataArc* out = first_place_of_kind(ctx.design.outputs_of(t), ArcKind::data);
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

namespace {

// Three input pins per feeder of `fed`.
int feeder_pins_of(const DataPlace& fed) { return 3 * fed.writer_lines; }

}  // namespace

Cell reserve_mux(MapContext& ctx, const DataPlace& fed, int width) {
  const int feeders = fed.writer_lines;
  const Cell mux = ctx.netlist.reserve_cell(
      multiplexer_cell(feeders, width), ctx.netlist.new_instance(),
      static_cast<std::size_t>(std::max(feeder_pins_of(fed), 0)) + 3);
  for (const std::uint32_t writer : ctx.design.producers_of(fed))
    ctx.state.fed_mux_instance[writer] = mux.instance;
  return mux;
}

namespace {

std::size_t position_of(const MapContext& ctx, const DataPlace& place) {
  return static_cast<std::size_t>(&place - ctx.design.data_places.items.data());
}

}  // namespace

MuxId append_mux(MapContext& ctx, const Cell& mux, const DataPlace& fed) {
  const std::size_t place = position_of(ctx, fed);
  if (ctx.state.mux_of_place.size() <= place) {
    ctx.state.mux_of_place.resize(std::max(ctx.design.data_places.items.size(), place + 1), 0);
  }
  const MuxId id = ctx.state.muxes.size();
  ctx.state.mux_of_place[place] = id + 1;
  ctx.state.muxes.push_back(
      {mux.instance, ctx.netlist.cells().size(), place, feeder_pins_of(fed), false});
  ctx.netlist.append(mux);
  return id;
}

bool mux_may_grow(const MappingState& state, MuxId mux) {
  return !state.muxes[mux].done && state.mux_of_place[state.muxes[mux].place] == mux + 1;
}

MuxId find_mux(const MapContext& ctx, const DataPlace& fed) {
  const std::size_t place = position_of(ctx, fed);
  if (place >= ctx.state.mux_of_place.size() || ctx.state.mux_of_place[place] == 0) return kNoMux;
  return ctx.state.mux_of_place[place] - 1;
}

namespace {

Cell& mux_cell(MapContext& ctx, MuxId mux) {
  return ctx.netlist.cell_at(ctx.state.muxes[mux].cell);
}

std::string mux_type(MapContext& ctx, MuxId mux) {
  return std::string(ctx.netlist.type_name(mux_cell(ctx, mux)));
}

int placed_pins(MapContext& ctx, MuxId mux) {
  return static_cast<int>(mux_cell(ctx, mux).pin_count);
}

// Places the next three pins, after those already placed: no search
// through hundreds of feeders' pins.
template <class First, class Second, class Third>
void place_pins(MapContext& ctx, MuxId mux, const First& first, const Second& second,
                const Third& third) {
  Cell& cell = mux_cell(ctx, mux);
  if (static_cast<int>(cell.pin_count) + 3 > ctx.state.muxes[mux].feeder_pins + 3) {
    throw std::logic_error("multiplexer grown past the pins reserved for it");
  }
  ctx.netlist.place_pin(cell, pin_net(first));
  ctx.netlist.place_pin(cell, pin_net(second));
  ctx.netlist.place_pin(cell, pin_net(third));
}

}  // namespace

void add_mux_input(MapContext& ctx, MuxId mux, const SymbolText& source, const NetName& select,
                   int width) {
  place_pins(ctx, mux, bus(source, width), bus_bar(source, width), select);
}

void complete_mux_if_full(MapContext& ctx, MuxId mux, const DataTransition& t,
                          const SymbolText& fed, int width) {
  GrowingMux& growth = ctx.state.muxes[mux];
  if (growth.done || placed_pins(ctx, mux) < growth.feeder_pins) return;
  const DataArc* ack = first_place_of_kind(ctx.design.outputs_of(t), ArcKind::control);
  if (ack == nullptr) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no control output place to complete " + mux_type(ctx, mux) + " feeding " +
                     std::string(fed.text));
    return;
  }
  place_pins(ctx, mux, ctx.text(ack->name), bus_bar(fed, width), bus(fed, width));
  growth.done = true;
}

bool mux_accepts_input(MapContext& ctx, MuxId mux, const DataTransition& t) {
  if (placed_pins(ctx, mux) < ctx.state.muxes[mux].feeder_pins) return true;
  ctx.diag.problem("data transition " + ctx.name(t.name) + ": " + mux_type(ctx, mux) +
                   " (instance " + decimal(ctx.state.muxes[mux].instance) +
                   ") already has an input from every feeder");
  return false;
}

}  // namespace syn
