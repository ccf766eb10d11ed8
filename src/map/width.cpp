#include "map/datapath.hpp"
#include "map/place_records.hpp"

namespace syn {

int own_width(const MapContext& ctx, const DNT_node& t) {
  int width = 0;
  auto take = [&](const std::vector<DN_place_node>& places) {
    for (const DN_place_node& p : places) {
      if (p.type_c_d != "d") continue;
      const DNP_node* record = record_of(ctx.design, p);
      if (record->data_size > width) width = record->data_size;
    }
  };
  take(t.in_link);
  take(t.out_link);
  return width != 0 ? width : ctx.data_size;
}

int place_width(const MapContext& ctx, const DNP_node& place) {
  return place.data_size != 0 ? place.data_size : ctx.data_size;
}

}  // namespace syn
