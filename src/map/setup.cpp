// Before mapping: give data places their widths from the IO specification
// and note which other net shares a place's name.
#include <string>
#include <vector>

#include "map/main_mapping.hpp"
#include "model/name_index.hpp"

namespace syn {
namespace {

// The width of each declared name: registers first, then inputs, then
// outputs, the first declaration of a name winning. One index over the three
// lists, so that a place costs one search whatever list declares it.
class WidthLookup {
 public:
  explicit WidthLookup(const Design& design) {
    declared_.reserve(design.registers.size() + design.inputs.size() + design.outputs.size());
    for (const auto* list : {&design.registers, &design.inputs, &design.outputs}) {
      for (const IoDeclaration& node : *list) declared_.push_back(&node);
    }
    index_.reserve(declared_.size());
    for (std::size_t i = 0; i < declared_.size(); ++i) {
      index_.insert(declared_[i]->name, i, NameOf{declared_});
    }
  }
  // The width, or 0 when no list declares the name.
  int width_of(const std::string& name) const {
    const std::size_t i = index_.find(name, NameOf{declared_});
    return i == NameIndex::npos ? 0 : declared_[i]->data_size;
  }

 private:
  struct NameOf {
    const std::vector<const IoDeclaration*>& declared;
    const std::string& operator()(std::size_t i) const { return declared[i]->name; }
  };
  std::vector<const IoDeclaration*> declared_;  // registers, inputs, outputs
  NameIndex index_;
};

// Whether each name of `list` is also a name of `other`. The readers leave
// both lists in ascending order, so one walk along both answers.
template <class Node, class Other>
std::vector<bool> shared_names(const NamedList<Node>& list, const NamedList<Other>& other) {
  std::vector<bool> shared(list.items.size(), false);
  auto next = other.items.begin();
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    const std::string& name = list.items[i].name;
    while (next != other.items.end() && next->name < name) ++next;
    shared[i] = next != other.items.end() && next->name == name;
  }
  return shared;
}

}  // namespace

void setup_mapping(Design& design) {
  const WidthLookup widths(design);
  for (DataPlace& place : design.data_places.items) {
    place.data_size = widths.width_of(place.name);
  }
  // The global net wins over the local one.
  const auto data_global = shared_names(design.data_places, design.global_places);
  const auto data_local = shared_names(design.data_places, design.local_places);
  for (std::size_t i = 0; i < design.data_places.items.size(); ++i) {
    design.data_places.items[i].net = data_global[i]  ? PlaceNet::global_net
                                      : data_local[i] ? PlaceNet::local_net
                                                      : PlaceNet::data_net;
  }
}

}  // namespace syn
