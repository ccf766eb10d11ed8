#include "map/datapath.hpp"

namespace syn {

void function_part_2(MapContext&, DNT_node&) {}

}  // namespace syn
