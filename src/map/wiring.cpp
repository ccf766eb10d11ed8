#include "map/datapath.hpp"

namespace syn {

void emit_constant_drivers(MapContext&, const std::string&, int, int, ConstantNets) {}
void constant_part(MapContext&, const DNP_node&, int) {}
std::pair<std::string, std::string> convert_constant_to_comps(MapContext&, const std::string&, int, int) {
  return {};
}
std::string emit_join(MapContext&, const std::vector<std::string>&, const std::string&, int) { return {}; }
std::optional<std::string> control_part(MapContext&, const DNT_node&) { return {}; }

}  // namespace syn
