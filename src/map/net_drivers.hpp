// The first cell driver of each net, to report a net that a second one drives.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/name_index.hpp"
#include "model/symbols.hpp"

namespace syn {

class NetDrivers {
 public:
  // Makes room for `count` nets, so that the table is not rebuilt on the way.
  void reserve(std::size_t count) {
    nets_.reserve(count);
    index_.reserve(count);
  }

  // Records `driver` for `net`. Returns the net's earlier driver, or
  // kNoSymbol when the net had none.
  SymbolId drive(const std::string& net, SymbolId driver) {
    const std::size_t found = index_.insert(net, nets_.size(), NameOf{nets_});
    if (found != nets_.size()) return nets_[found].second;
    nets_.emplace_back(net, driver);
    return kNoSymbol;
  }

 private:
  using Entry = std::pair<std::string, SymbolId>;
  struct NameOf {
    const std::vector<Entry>& nets;
    const std::string& operator()(std::size_t i) const { return nets[i].first; }
  };
  std::vector<Entry> nets_;
  NameIndex index_;
};

}  // namespace syn
