#include "map/names.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace syn {
NetName driven_net(std::string_view t, const SymbolText& p, bool p_is_global) {
  if (!p_is_global) return p;
  std::string net;
  net.reserve(t.size() + 1 + p.text.size());
  net += t;
  net += '_';
  net += p.text;
  return net;
}

NetName data_control_net(const Design& design, const Symbols& symbols, SymbolId t,
                         const DataArc& p) {
  return driven_net(symbols.text(t), SymbolText{p.name, symbols.text(p.name)},
                    design.data_places.items[p.place].net == PlaceNet::global_net);
}

}  // namespace syn
