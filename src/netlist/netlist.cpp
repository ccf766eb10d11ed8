#include "netlist/netlist.hpp"

#include <algorithm>
#include <utility>

namespace syn {

std::vector<pin_node> add_to_pin(const std::vector<std::string>& names) {
  std::vector<pin_node> pins;
  pins.reserve(names.size());
  int number = 0;
  for (const std::string& name : names) pins.push_back({name, {}, ++number, 0});
  return pins;
}

comp_node& Netlist::append(comp_node cell) {
  registry_.insert(cell.name);
  by_instance_.try_emplace(cell.instant_num, comps_.size());
  comps_.push_back(std::move(cell));
  return comps_.back();
}

comp_node& Netlist::add(const std::string& cell_name, const std::vector<std::string>& nets,
                        int pin_in_num, int pin_out_num, int done, int served) {
  comp_node cell;
  cell.name = cell_name;
  cell.instant_num = new_instance();
  cell.pin_num = static_cast<int>(nets.size());
  cell.pin_in_num = pin_in_num;
  cell.pin_out_num = pin_out_num;
  cell.done = done;
  cell.served = served;
  cell.pin_link = add_to_pin(nets);
  return append(std::move(cell));
}

comp_node* Netlist::look_for_comp(int instance) {
  auto it = by_instance_.find(instance);
  return it == by_instance_.end() ? nullptr : &comps_[it->second];
}

void Netlist::add_to_pin_part(comp_node& cell, int start, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::vector<pin_node> block;
  block.reserve(names.size());
  int number = start;
  for (const std::string& name : names) block.push_back({name, {}, number++, 0});

  std::vector<pin_node>& pins = cell.pin_link;
  auto before = std::find_if(pins.begin(), pins.end(),
                             [start](const pin_node& p) { return p.pin_num >= start; });
  pins.insert(before, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
}

}  // namespace syn
