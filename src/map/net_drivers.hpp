// The first cell driver of each net, to report a net that a second one drives.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/name_index.hpp"

namespace syn {

class NetDrivers {
 public:
  // Makes room for `count` nets, so that the table is not rebuilt on the way.
  void reserve(std::size_t count) {
    nets_.reserve(count);
    index_.reserve(count);
  }

  // Records `driver` (a name that outlives this record) for `net`. Returns
  // the net's earlier driver, or null when the net had none.
  const std::string* drive(const std::string& net, const std::string& driver) {
    const std::size_t found = index_.insert(net, nets_.size(), NameOf{nets_});
    if (found != nets_.size()) return nets_[found].second;
    nets_.emplace_back(net, &driver);
    return nullptr;
  }

 private:
  using Entry = std::pair<std::string, const std::string*>;
  struct NameOf {
    const std::vector<Entry>& nets;
    const std::string& operator()(std::size_t i) const { return nets[i].first; }
  };
  std::vector<Entry> nets_;
  NameIndex index_;
};

}  // namespace syn
