#include "netlist/netlist.hpp"

#include <limits>
#include <utility>

namespace syn {

namespace {
constexpr std::size_t kNoPosition = std::numeric_limits<std::size_t>::max();
}  // namespace

std::vector<Pin> pins_from(std::vector<std::string> names) {
  std::vector<Pin> pins;
  pins.reserve(names.size());
  for (std::string& name : names) pins.emplace_back().name = std::move(name);
  return pins;
}

void Netlist::remember_position(int instance, std::size_t position) {
  if (instance < 0 || instance > last_instance_) return;
  const auto number = static_cast<std::size_t>(instance);
  if (number >= position_of_instance_.size()) {
    position_of_instance_.resize(static_cast<std::size_t>(last_instance_) + 1, kNoPosition);
  }
  if (position_of_instance_[number] == kNoPosition) position_of_instance_[number] = position;
}

Cell& Netlist::append(Cell cell) {
  remember_position(cell.instance, comps_.size());
  comps_.push_back(std::move(cell));
  return comps_.back();
}

Cell& Netlist::start_cell(std::string cell_name) {
  // The cell is built in its place at the end of the list: a million cells
  // are not each built aside and moved.
  const int instance = new_instance();
  remember_position(instance, comps_.size());
  Cell& cell = comps_.emplace_back();
  cell.name = std::move(cell_name);
  cell.instance = instance;
  return cell;
}

Cell& Netlist::add(std::string cell_name, std::vector<std::string> nets) {
  Cell& cell = start_cell(std::move(cell_name));
  cell.pins = pins_from(std::move(nets));
  return cell;
}

Cell* Netlist::find_cell(int instance) {
  const auto number = static_cast<std::size_t>(instance);
  if (instance < 0 || number >= position_of_instance_.size()) return nullptr;
  const std::size_t position = position_of_instance_[number];
  return position == kNoPosition ? nullptr : &comps_[position];
}

}  // namespace syn
