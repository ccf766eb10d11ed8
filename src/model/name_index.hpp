// An index from names to positions in a list of records. The table holds only
// positions (and hashes); names are compared against the records themselves,
// so a lookup touches one or two table entries and one record instead of the
// nodes and key copies of a node-based hash map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace syn {

class NameIndex {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  void clear() { slots_.clear(); size_ = 0; }

  // Makes room for `count` names without growing on the way.
  void reserve(std::size_t count) {
    if (capacity_for(count) > slots_.size()) rehash(capacity_for(count));
  }

  // Moves every name to a new position: the name at position p goes to
  // `new_position[p]` (for a list that is reordered after it was indexed).
  void renumber(const std::vector<std::uint32_t>& new_position) {
    for (Slot& slot : slots_) {
      if (slot.position != kEmpty) slot.position = new_position[slot.position];
    }
  }

  static std::uint32_t hash_of(std::string_view name) {
    const std::size_t hash = std::hash<std::string_view>{}(name);
    return static_cast<std::uint32_t>(hash ^ (static_cast<std::uint64_t>(hash) >> 32));
  }

  // Starts loading the slot where a name of this hash is looked for first,
  // so that a lookup a little later does not wait for memory.
  void prefetch(std::uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & mask()]);
  }

  // Position of `name`, or npos; `name_of(position)` gives a record's name.
  template <class NameOf>
  std::size_t find(std::string_view name, const NameOf& name_of) const {
    if (slots_.empty()) return npos;
    const std::uint32_t hash = hash_of(name);
    for (std::size_t i = hash & mask(); slots_[i].position != kEmpty; i = (i + 1) & mask()) {
      if (slots_[i].hash == hash && name_of(slots_[i].position) == name) return slots_[i].position;
    }
    return npos;
  }

  // Enters `name` at `position` unless the name is there already; returns the
  // position that the index holds for it afterwards.
  template <class NameOf>
  std::size_t insert(std::string_view name, std::size_t position, const NameOf& name_of) {
    return insert(name, hash_of(name), position, name_of);
  }
  // The same with the name's hash_of worked out before (on another thread).
  template <class NameOf>
  std::size_t insert(std::string_view name, std::uint32_t hash, std::size_t position,
                     const NameOf& name_of) {
    // The table is empty or a power of two of at least 16 slots: one more
    // name fits when the table stays at most half full.
    if (2 * (size_ + 1) > slots_.size()) rehash(capacity_for(size_ + 1));
    std::size_t i = hash & mask();
    for (; slots_[i].position != kEmpty; i = (i + 1) & mask()) {
      if (slots_[i].hash == hash && name_of(slots_[i].position) == name) return slots_[i].position;
    }
    slots_[i] = {static_cast<std::uint32_t>(position), hash};
    ++size_;
    return position;
  }

 private:
  // Eight bytes a slot, so that more of a large table stays in the cache.
  // Positions are below 2^32 - 1: lists that long do not fit in memory.
  static constexpr std::uint32_t kEmpty = static_cast<std::uint32_t>(-1);
  struct Slot {
    std::uint32_t position = kEmpty;
    std::uint32_t hash = 0;  // also picks the first slot to try
  };

  // At most half full, a power of two.
  static std::size_t capacity_for(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < 2 * count) capacity *= 2;
    return capacity;
  }
  std::size_t mask() const { return slots_.size() - 1; }

  void rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.position == kEmpty) continue;
      std::size_t i = slot.hash & mask();
      while (slots_[i].position != kEmpty) i = (i + 1) & mask();
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace syn
