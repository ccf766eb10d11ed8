#include "read/name_table.hpp"

#include <algorithm>

#include "text/name_order.hpp"

namespace syn {

void NameTable::sort() {
  std::vector<NamedId> names;
  names.reserve(size());
  for (std::uint32_t id = 0; id < size(); ++id) names.push_back(named(id, name(id)));
  sort_by_text(names);
  ascending_.resize(names.size());
  rank_.resize(names.size());
  for (std::uint32_t r = 0; r < names.size(); ++r) {
    ascending_[r] = names[r].id;
    rank_[names[r].id] = r;
  }
}

void sort_unique(std::vector<std::uint32_t>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

}  // namespace syn
