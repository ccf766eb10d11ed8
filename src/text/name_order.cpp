#include "text/name_order.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>

namespace syn {
namespace {

// A name's sort key at some depth: eight of its bytes from there on, how
// many bytes it has from there on (9 standing for more than eight: a name
// that ends within the eight bytes is a prefix of every other name with
// the same bytes, the shorter the earlier), and the name's position.
struct SortKey {
  std::uint64_t bytes = 0;
  std::uint32_t at = 0;
  std::uint32_t rest = 0;
};

constexpr std::uint32_t kMore = 9;

std::uint32_t rest_from(std::string_view text, std::size_t depth) {
  return static_cast<std::uint32_t>(std::min<std::size_t>(text.size() - depth, kMore));
}

// Sorts the keys by their bytes, one byte at a time from the last, each
// pass keeping the order of the one before; a byte all keys share costs
// no pass.
void radix_sort_bytes(std::vector<SortKey>& keys) {
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const SortKey& key : keys) {
    for (std::size_t b = 0; b < 8; ++b) ++counts[b][(key.bytes >> (8 * b)) & 0xff];
  }
  std::vector<SortKey> other(keys.size());
  for (std::size_t b = 0; b < 8; ++b) {
    std::array<std::size_t, 256>& count = counts[b];
    if (std::count(count.begin(), count.end(), keys.size()) == 1) continue;
    std::size_t start = 0;
    for (std::size_t& c : count) start += std::exchange(c, start);
    for (const SortKey& key : keys) other[count[(key.bytes >> (8 * b)) & 0xff]++] = key;
    keys.swap(other);
  }
}

bool bytes_before(const SortKey& a, const SortKey& b) { return a.bytes < b.bytes; }
bool rest_before(const SortKey& a, const SortKey& b) { return a.rest < b.rest; }

// `keys` are in order of their bytes at `depth`, all alike before it; puts
// each run of equal bytes in order of the texts.
void order_runs(std::span<SortKey> keys, const std::vector<NamedId>& names, std::size_t depth) {
  for (std::size_t first = 0; first < keys.size();) {
    std::size_t end = first + 1;
    while (end < keys.size() && keys[end].bytes == keys[first].bytes) ++end;
    if (end - first > 1) {
      const std::span<SortKey> run = keys.subspan(first, end - first);
      std::sort(run.begin(), run.end(), rest_before);
      // The names that go on past these bytes: ordered by the next eight.
      const auto longer = std::partition_point(run.begin(), run.end(),
                                               [](const SortKey& key) { return key.rest < kMore; });
      if (run.end() - longer > 1) {
        for (auto key = longer; key != run.end(); ++key) {
          const std::string_view text = names[key->at].text;
          key->bytes = eight_bytes_at(text, depth + 8);
          key->rest = rest_from(text, depth + 8);
        }
        std::sort(longer, run.end(), bytes_before);
        order_runs(std::span<SortKey>(longer, run.end()), names, depth + 8);
      }
    }
    first = end;
  }
}

// The names in the keys' order. Each name is fetched independently of the
// one before, so the fetches overlap instead of waiting for each other, as
// they would going round the cycles of the order in place.
void put_in_order(std::vector<NamedId>& names, const std::vector<SortKey>& keys) {
  std::vector<NamedId> sorted;
  sorted.reserve(names.size());
  for (const SortKey& key : keys) sorted.push_back(names[key.at]);
  names.swap(sorted);
}

}  // namespace

void sort_by_text(std::vector<NamedId>& names) {
  std::vector<SortKey> keys(names.size());
  for (std::size_t k = 0; k < names.size(); ++k)
    keys[k] = {names[k].lead, static_cast<std::uint32_t>(k), rest_from(names[k].text, 0)};
  radix_sort_bytes(keys);
  order_runs(keys, names, 0);
  put_in_order(names, keys);
}

}  // namespace syn
