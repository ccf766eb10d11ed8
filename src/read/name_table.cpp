#include "read/name_table.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace syn {
namespace {

// Eight bytes of a name from `from` on as a number that orders as the bytes
// do (missing bytes count as zero).
std::uint64_t eight_bytes(std::string_view name, std::size_t from) {
  unsigned char bytes[8] = {};
  if (from < name.size())
    std::memcpy(bytes, name.data() + from, std::min<std::size_t>(8, name.size() - from));
  std::uint64_t value = 0;
  for (const unsigned char byte : bytes) value = value << 8 | byte;
  return value;
}

// A name's first sixteen bytes and its id: most comparisons of a sort end
// in the bytes, and the keys sit in one compact array.
struct SortKey {
  std::uint64_t head;
  std::uint64_t next;
  std::uint32_t id;
};

}  // namespace

void NameTable::sort() {
  std::vector<SortKey> keys(size());
  for (std::uint32_t id = 0; id < keys.size(); ++id) {
    keys[id] = {eight_bytes(name(id), 0), eight_bytes(name(id), 8), id};
  }
  std::sort(keys.begin(), keys.end(), [this](const SortKey& a, const SortKey& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    return name(a.id) < name(b.id);
  });
  ascending_.resize(keys.size());
  rank_.resize(keys.size());
  for (std::uint32_t r = 0; r < keys.size(); ++r) {
    ascending_[r] = keys[r].id;
    rank_[keys[r].id] = r;
  }
}

void sort_unique(std::vector<std::uint32_t>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

}  // namespace syn
