#include "read/name_table.hpp"

#include <algorithm>
#include <utility>

namespace syn {
namespace {

// The first eight bytes of a name as a number that orders as the bytes do
// (missing bytes count as zero): most comparisons of a sort end there.
std::uint64_t name_prefix(std::string_view name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const unsigned char byte = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    prefix = prefix << 8 | byte;
  }
  return prefix;
}

}  // namespace

void NameTable::sort() {
  // Keys (name prefix, id) sort in one compact array; only keys with equal
  // prefixes compare the names themselves.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> keys(names_.size());
  for (std::size_t i = 0; i < names_.size(); ++i) {
    keys[i] = {name_prefix(names_[i]), static_cast<std::uint32_t>(i)};
  }
  std::sort(keys.begin(), keys.end(), [this](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return names_[a.second] < names_[b.second];
  });
  ascending_.resize(names_.size());
  rank_.resize(names_.size());
  for (std::size_t r = 0; r < keys.size(); ++r) {
    ascending_[r] = keys[r].second;
    rank_[keys[r].second] = static_cast<std::uint32_t>(r);
  }
}

void sort_unique(std::vector<std::uint32_t>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

std::vector<std::string> NameTable::sorted_names(std::vector<std::uint32_t>& ranks) const {
  sort_unique(ranks);
  std::vector<std::string> names;
  names.reserve(ranks.size());
  for (const std::uint32_t r : ranks) names.emplace_back(name_at_rank(r));
  return names;
}

}  // namespace syn
