#include "map/main_mapping.hpp"

namespace syn {

void map_local_control(MapContext&) {}

}  // namespace syn
