#include "map/names.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace syn {
std::string driven_net(std::string_view t, std::string_view p, bool p_is_global) {
  if (!p_is_global) return std::string(p);
  std::string net;
  net.reserve(t.size() + 1 + p.size());
  net += t;
  net += '_';
  net += p;
  return net;
}

std::string data_control_net(const Design& design, const Symbols& symbols, SymbolId t,
                             const DataArc& p) {
  return driven_net(symbols.text(t), symbols.text(p.name),
                    design.data_places.items[p.place].net == PlaceNet::global_net);
}

}  // namespace syn
