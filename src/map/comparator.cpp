#include "map/datapath.hpp"

namespace syn {

void function_part_1(MapContext&, DNT_node&, const std::string&) {}

}  // namespace syn
