#include "map/main_mapping.hpp"

namespace syn {

void setup_mapping(Design&) {}

}  // namespace syn
