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

#include "model/symbols.hpp"

namespace syn {

// The names of one column, entered into the run's symbol table as they are
// read (one hash per name) and numbered in order of first appearance (ids),
// and, once `sort` has run, in ascending byte-wise order (ranks), the order
// of the sorted record lists. Views of names stay valid until the next `id`
// call.
class NameTable {
 public:
  explicit NameTable(Symbols& symbols) : symbols_(symbols) {}

  // The id of `name`, which is added when new. A name that repeats the
  // last one (the lines of one transition follow each other) is not hashed
  // again.
  std::uint32_t id(std::string_view name) { return id(name, NameIndex::hash_of(name)); }
  // The same with the name's NameIndex::hash_of worked out before.
  std::uint32_t id(std::string_view name, std::uint32_t hash) {
    if (last_id_ != kNoId && name == symbols_.text(symbol_of_id_[last_id_])) return last_id_;
    last_id_ = new_id(name, hash);
    return last_id_;
  }

  std::size_t size() const { return symbol_of_id_.size(); }
  SymbolId symbol(std::uint32_t id) const { return symbol_of_id_[id]; }
  std::string_view name(std::uint32_t id) const { return symbols_.text(symbol_of_id_[id]); }

  // Numbers the names in ascending order; call once all names are in.
  void sort();
  std::uint32_t rank(std::uint32_t id) const { return rank_[id]; }
  std::uint32_t id_at_rank(std::uint32_t rank) const { return ascending_[rank]; }
  SymbolId symbol_at_rank(std::uint32_t rank) const { return symbol(ascending_[rank]); }

 private:
  static constexpr std::uint32_t kNoId = static_cast<std::uint32_t>(-1);

  std::uint32_t new_id(std::string_view name, std::uint32_t hash) {
    const SymbolId symbol = symbols_.intern(name, hash);
    if (symbol >= id_of_symbol_.size()) id_of_symbol_.resize(symbol + 1, kNoId);
    std::uint32_t& id = id_of_symbol_[symbol];
    if (id == kNoId) {
      id = static_cast<std::uint32_t>(symbol_of_id_.size());
      symbol_of_id_.push_back(symbol);
    }
    return id;
  }

  Symbols& symbols_;
  std::vector<std::uint32_t> id_of_symbol_;  // by symbol id; kNoId for another column's
  std::vector<SymbolId> symbol_of_id_;       // by id
  std::vector<std::uint32_t> ascending_;     // ids by rank
  std::vector<std::uint32_t> rank_;          // ranks by id
  std::uint32_t last_id_ = kNoId;            // of the last name asked for
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
