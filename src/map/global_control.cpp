#include "map/main_mapping.hpp"

namespace syn {

void map_global_control(MapContext&) {}

}  // namespace syn
