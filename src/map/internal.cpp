#include "map/datapath.hpp"

namespace syn {

void function_part_4(MapContext&, DNT_node&) {}

}  // namespace syn
