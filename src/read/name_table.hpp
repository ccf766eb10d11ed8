// The distinct names of one column of a table, numbered once, so that the
// readers hash each name of a line once and then work with small numbers;
// and the grouping of lines by such a number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/name_index.hpp"

namespace syn {

// Names numbered in order of first appearance (ids), and, once `sort` has
// run, in ascending byte-wise order (ranks), the order of the sorted record
// lists. The names are copied, one after the other, into one compact text:
// later lookups then read a few megabytes that stay in the cache instead of
// the whole table text. Views of names stay valid until the next `id` call.
class NameTable {
 public:
  // The id of `name`, which is added when new.
  std::uint32_t id(std::string_view name) {
    const auto name_of = [this](std::size_t i) {
      return this->name(static_cast<std::uint32_t>(i));
    };
    const std::size_t found = index_.insert(name, spans_.size(), name_of);
    if (found == spans_.size()) {
      spans_.push_back({chars_.size(), name.size()});
      chars_.append(name);
    }
    return static_cast<std::uint32_t>(found);
  }

  std::size_t size() const { return spans_.size(); }
  std::string_view name(std::uint32_t id) const {
    return std::string_view(chars_).substr(spans_[id].start, spans_[id].size);
  }

  // Numbers the names in ascending order; call once all names are in.
  void sort();
  std::uint32_t rank(std::uint32_t id) const { return rank_[id]; }
  std::uint32_t id_at_rank(std::uint32_t rank) const { return ascending_[rank]; }
  std::string_view name_at_rank(std::uint32_t rank) const { return name(ascending_[rank]); }

  // The index of the names at their ranks, for a record list built in rank
  // order (the table keeps its own).
  NameIndex index_by_rank() const {
    NameIndex index = index_;
    index.renumber(rank_);
    return index;
  }

  // The names of `ranks`, ascending and each once (`ranks` is reordered).
  std::vector<std::string> sorted_names(std::vector<std::uint32_t>& ranks) const;

 private:
  struct Span {
    std::size_t start;
    std::size_t size;
  };
  std::string chars_;        // the names, in id order
  std::vector<Span> spans_;  // by id
  NameIndex index_;
  std::vector<std::uint32_t> ascending_;  // ids by rank
  std::vector<std::uint32_t> rank_;       // ranks by id
};

// Puts ranks (or ids) in ascending order, each once.
void sort_unique(std::vector<std::uint32_t>& numbers);

// What a list's items 0 .. count-1 say, grouped by a key below `keys`, each
// group in list order: two flat arrays instead of a vector per group. A
// group keeps copies of small values (`value_of(i)`), so that walking the
// groups reads one array from start to end.
template <class Value>
class Groups {
 public:
  // `key_of(i)` gives item i's key.
  template <class KeyOf, class ValueOf>
  Groups(std::size_t count, std::size_t keys, const KeyOf& key_of, const ValueOf& value_of)
      : start_(keys + 1, 0) {
    for (std::size_t i = 0; i < count; ++i) ++start_[key_of(i) + 1];
    for (std::size_t k = 0; k < keys; ++k) start_[k + 1] += start_[k];
    values_.resize(count);
    std::vector<std::uint32_t> next(start_.begin(), start_.end() - 1);
    for (std::size_t i = 0; i < count; ++i) values_[next[key_of(i)]++] = value_of(i);
  }

  std::span<const Value> operator[](std::size_t key) const {
    return std::span<const Value>(values_).subspan(start_[key], start_[key + 1] - start_[key]);
  }

 private:
  std::vector<std::uint32_t> start_;  // group k is values_[start_[k] .. start_[k + 1])
  std::vector<Value> values_;
};

// The positions of a list's items, grouped by key.
template <class KeyOf>
Groups<std::uint32_t> group_positions(std::size_t count, std::size_t keys, const KeyOf& key_of) {
  return Groups<std::uint32_t>(count, keys, key_of,
                               [](std::size_t i) { return static_cast<std::uint32_t>(i); });
}

}  // namespace syn
