#include "map/datapath.hpp"
#include "map/place_records.hpp"

namespace syn {

int own_width(const MapContext& ctx, const DataTransition& t) {
  int width = 0;
  auto take = [&](const std::vector<DataArc>& places) {
    for (const DataArc& p : places) {
      if (p.kind != ArcKind::data) continue;
      const DataPlace* record = record_of(ctx.design, p);
      if (record->data_size > width) width = record->data_size;
    }
  };
  take(t.inputs);
  take(t.outputs);
  return width != 0 ? width : ctx.data_size;
}

int place_width(const MapContext& ctx, const DataPlace& place) {
  return place.data_size != 0 ? place.data_size : ctx.data_size;
}

}  // namespace syn
