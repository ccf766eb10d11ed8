// Before mapping: clear the working flags, give data places their widths
// from the IO specification and note which other net shares a place's name.
#include <optional>
#include <string>
#include <vector>

#include "map/main_mapping.hpp"
#include "model/name_index.hpp"

namespace syn {
namespace {

// Width of the first declaration of each name in one IO list.
class ListWidths {
 public:
  explicit ListWidths(const std::vector<iando_node>& list) : list_(list) {
    index_.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) index_.insert(list[i].name, i, NameOf{list_});
  }
  // The width, or nothing when the list does not declare the name.
  std::optional<int> width_of(const std::string& name) const {
    const std::size_t i = index_.find(name, NameOf{list_});
    if (i == NameIndex::npos) return std::nullopt;
    return list_[i].data_size;
  }

 private:
  struct NameOf {
    const std::vector<iando_node>& list;
    const std::string& operator()(std::size_t i) const { return list[i].name; }
  };
  const std::vector<iando_node>& list_;
  NameIndex index_;
};

// Registers first, then inputs, then outputs; 0 when none declares the name.
class WidthLookup {
 public:
  explicit WidthLookup(const Design& design)
      : lists_{ListWidths(design.registers), ListWidths(design.inputs), ListWidths(design.outputs)} {}
  int width_of(const std::string& name) const {
    for (const ListWidths& list : lists_) {
      if (const std::optional<int> width = list.width_of(name)) return *width;
    }
    return 0;
  }

 private:
  ListWidths lists_[3];
};

void clear_flags(Design& design) {
  for (GNT_node& t : design.GNT.items) t.served = t.done = t.instant_num = 0;
  for (LNT_node& t : design.LNT.items) t.served = t.done = t.instant_num = 0;
  for (DNT_node& t : design.DNT.items) t.served = t.done = t.instant_num = t.mod_flag = 0;
}

}  // namespace

void setup_mapping(Design& design) {
  clear_flags(design);
  const WidthLookup widths(design);
  for (DNP_node& place : design.DNP.items) {
    place.checked = 0;
    place.data_size = widths.width_of(place.name);
  }
  // A local place is compared with the data places, a data place with the
  // local places; the global net wins in both.
  for (LNP_node& place : design.LNP.items) {
    place.from_to_inter = design.GNP.contains(place.name)   ? "GNP"
                          : design.DNP.contains(place.name) ? "DNP"
                                                            : "LNP";
  }
  for (DNP_node& place : design.DNP.items) {
    place.from_to_inter = design.GNP.contains(place.name)   ? "GNP"
                          : design.LNP.contains(place.name) ? "LNP"
                                                            : "DNP";
  }
}

}  // namespace syn
