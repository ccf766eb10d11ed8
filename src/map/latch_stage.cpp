#include "map/datapath.hpp"

namespace syn {

bool latch_followed_function_part(MapContext&, const DNT_node&, const std::string&, const std::string&,
                                  const std::string&, int) {
  return false;
}

}  // namespace syn
