// Sorted lists are built by collecting and then sorting once: names compare
// byte by byte as unsigned characters, which is std::string's operator<.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/name_index.hpp"

namespace syn {

inline void sort_unique(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
}

// Records with distinct names, ascending by name. The positions are sorted
// and each record moved once: records are large, swapping them is not cheap.
template <class Node>
void sort_by_name(std::vector<Node>& nodes) {
  std::vector<std::size_t> order(nodes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&nodes](std::size_t a, std::size_t b) { return nodes[a].name < nodes[b].name; });
  std::vector<Node> sorted;
  sorted.reserve(nodes.size());
  for (std::size_t i : order) sorted.push_back(std::move(nodes[i]));
  nodes = std::move(sorted);
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
