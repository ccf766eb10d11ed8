// Sorted lists are built by collecting and then sorting once: names compare
// byte by byte as unsigned characters, which is std::string's operator<.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace syn {

inline void sort_unique(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
}

// Records with distinct names, ascending by name.
template <class Node>
void sort_by_name(std::vector<Node>& nodes) {
  std::sort(nodes.begin(), nodes.end(),
            [](const Node& a, const Node& b) { return a.name < b.name; });
}

// Finds or appends the record of a name, so that records can be collected
// in file order and sorted once at the end.
template <class Node>
class Collector {
 public:
  explicit Collector(std::vector<Node>& nodes) : nodes_(nodes) {}

  // Index of the record of `name`, appended when new (then `*added` is set).
  std::size_t slot(const std::string& name, bool* added = nullptr) {
    auto [it, is_new] = slot_.try_emplace(name, nodes_.size());
    if (is_new) {
      nodes_.emplace_back();
      nodes_.back().name = name;
    }
    if (added != nullptr) *added = is_new;
    return it->second;
  }
  Node& operator[](const std::string& name) { return nodes_[slot(name)]; }

 private:
  std::vector<Node>& nodes_;
  std::unordered_map<std::string, std::size_t> slot_;
};

}  // namespace syn
