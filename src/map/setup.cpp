// Before mapping: clear the working flags, give data places their widths
// from the IO specification and note which other net shares a place's name.
#include <string>
#include <unordered_map>
#include <vector>

#include "map/main_mapping.hpp"

namespace syn {
namespace {

// Width of the first declaration of each name in one IO list.
std::unordered_map<std::string, int> widths_by_name(const std::vector<iando_node>& list) {
  std::unordered_map<std::string, int> widths;
  widths.reserve(list.size());
  for (const iando_node& entry : list) widths.try_emplace(entry.name, entry.data_size);
  return widths;
}

// Registers first, then inputs, then outputs; 0 when none declares the name.
class WidthLookup {
 public:
  explicit WidthLookup(const Design& design)
      : lists_{widths_by_name(design.registers), widths_by_name(design.inputs),
               widths_by_name(design.outputs)} {}
  int width_of(const std::string& name) const {
    for (const auto& list : lists_) {
      auto it = list.find(name);
      if (it != list.end()) return it->second;
    }
    return 0;
  }

 private:
  std::unordered_map<std::string, int> lists_[3];
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
