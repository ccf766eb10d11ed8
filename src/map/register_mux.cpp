#include "map/datapath.hpp"

namespace syn {

void function_part_222(MapContext&, DNT_node&) {}

}  // namespace syn
