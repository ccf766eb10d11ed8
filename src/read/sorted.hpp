// Sorted lists are built by collecting and then sorting once: names compare
// byte by byte as unsigned characters, which is std::string's operator<.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/design.hpp"
#include "model/name_index.hpp"

namespace syn {

inline void sort_unique(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
}

// The first eight bytes of a name as a number that orders as the bytes do
// (missing bytes count as zero): most comparisons of a sort end there.
inline std::uint64_t name_prefix(std::string_view name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const unsigned char byte = i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    prefix = prefix << 8 | byte;
  }
  return prefix;
}

// Records with distinct names, ascending by name. Keys (name prefix and
// position) are sorted in one compact array, and every record is then moved
// once: records are large, and comparing them in place misses the cache.
template <class Node>
void sort_by_name(std::vector<Node>& nodes) {
  std::vector<std::pair<std::uint64_t, std::size_t>> keys(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) keys[i] = {name_prefix(nodes[i].name), i};
  std::sort(keys.begin(), keys.end(), [&nodes](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return nodes[a.second].name < nodes[b.second].name;
  });
  std::vector<Node> sorted;
  sorted.reserve(nodes.size());
  for (const auto& key : keys) sorted.push_back(std::move(nodes[key.second]));
  nodes = std::move(sorted);
}

// Puts a place list in its final order: each place's writer and reader
// lists ascending and unique, the places ascending, then indexed.
template <class Place>
void finish_places(NamedList<Place>& places) {
  for (Place& place : places.items) {
    sort_unique(place.in_link);
    sort_unique(place.out_link);
  }
  sort_by_name(places.items);
  places.reindex();
}

// Finds or appends the record of a name, so that records can be collected
// in file order and sorted once at the end.
template <class Node>
class Collector {
 public:
  explicit Collector(std::vector<Node>& nodes) : nodes_(nodes) {}

  // Index of the record of `name`, appended when new (then `*added` is set).
  std::size_t slot(const std::string& name, bool* added = nullptr) {
    const auto name_of = [this](std::size_t i) -> const std::string& { return nodes_[i].name; };
    const std::size_t found = slot_.insert(name, nodes_.size(), name_of);
    const bool is_new = found == nodes_.size();
    if (is_new) {
      nodes_.emplace_back();
      nodes_.back().name = name;
    }
    if (added != nullptr) *added = is_new;
    return found;
  }
  Node& operator[](const std::string& name) { return nodes_[slot(name)]; }

 private:
  std::vector<Node>& nodes_;
  NameIndex slot_;
};

}  // namespace syn
