#include "map/datapath.hpp"

namespace syn {

int own_width(const MapContext& ctx, const DataTransition& t) {
  int width = 0;
  auto take = [&](DataArcs places) {
    for (const DataArc& p : places) {
      if (p.kind != ArcKind::data) continue;
      const int place = ctx.state.place_widths[p.place];
      if (place > width) width = place;
    }
  };
  take(ctx.design.inputs_of(t));
  take(ctx.design.outputs_of(t));
  return width != 0 ? width : ctx.state.last_width;
}

int place_width(const MapContext& ctx, std::uint32_t place) {
  const int width = ctx.state.place_widths[place];
  return width != 0 ? width : ctx.state.last_width;
}

std::uint32_t position_of(const MapContext& ctx, const DataTransition& t) {
  return static_cast<std::uint32_t>(&t - ctx.design.data_transitions.items.data());
}

std::uint32_t place_position(const MapContext& ctx, const DataPlace& place) {
  return static_cast<std::uint32_t>(&place - ctx.design.data_places.items.data());
}

}  // namespace syn
