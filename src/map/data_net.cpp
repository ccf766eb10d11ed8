#include "map/main_mapping.hpp"

namespace syn {

void map_data_net(MapContext&) {}

}  // namespace syn
