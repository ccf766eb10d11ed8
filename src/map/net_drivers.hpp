// The first cell driver of each net, to report a net that a second one drives.
#pragma once

#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"

namespace syn {

class NetDrivers {
 public:
  // Records `driver` for `net`. Returns the net's earlier driver, or
  // kNoSymbol when the net had none.
  SymbolId drive(NetId net, SymbolId driver) {
    if (net >= first_driver_.size()) first_driver_.resize(net + std::size_t{1}, kNoSymbol);
    SymbolId& first = first_driver_[net];
    if (first != kNoSymbol) return first;
    first = driver;
    return kNoSymbol;
  }

 private:
  std::vector<SymbolId> first_driver_;  // by net
};

}  // namespace syn
