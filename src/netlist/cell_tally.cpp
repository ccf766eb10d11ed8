#include "netlist/cell_tally.hpp"

#include <algorithm>
#include <utility>

namespace syn {
namespace {

constexpr std::uint32_t kNoType = static_cast<std::uint32_t>(-1);

// Each port as wide as the widest net on it.
void note_port_widths(const Netlist& netlist, const Cell& cell, std::vector<int>& widths) {
  if (widths.size() < cell.pin_count) widths.resize(cell.pin_count, 1);
  std::size_t p = 0;
  for (const NetId id : netlist.pins(cell)) {
    const Net& net = netlist.net(id);
    const int bits = id == kUnnamedNet ? 0 : net.high - net.low + 1;
    widths[p] = std::max(widths[p], bits);
    ++p;
  }
}

}  // namespace

CellTally::CellTally(PortDetail port_detail) : detail(port_detail) {}

CellTally::CellTally(const Netlist& netlist, PortDetail port_detail) : detail(port_detail) {
  types.cell_type.reserve(netlist.cells().size());
  pins_by_net.resize(netlist.net_count());
  for (const Cell& cell : netlist.cells()) add(netlist, cell);
}

std::uint32_t CellTally::type_of(const Cell& cell) {
  if (cell.type >= type_of_symbol_.size())
    type_of_symbol_.resize(cell.type + std::size_t{1}, kNoType);
  std::uint32_t& type = type_of_symbol_[cell.type];
  if (type == kNoType) {
    type = static_cast<std::uint32_t>(types.types.size());
    types.types.push_back(cell.type);
    types.ports.emplace_back().shape = directions.shape(cell);
  }
  return type;
}

void CellTally::note_instance(int instance) {
  const std::size_t position = cells();
  if (instance < 0) {
    types.unusual_instances.push_back(position);
    return;
  }
  const auto number = static_cast<std::size_t>(instance);
  if (number >= instance_seen_.size())
    instance_seen_.resize(std::max(number + 1, 2 * instance_seen_.size()), 0);
  if (instance_seen_[number] != 0) types.unusual_instances.push_back(position);
  instance_seen_[number] = 1;
}

void CellTally::add(const Netlist& netlist, const Cell& cell) {
  note_instance(cell.instance);
  directions.note(netlist, cell);
  const std::uint32_t type = type_of(cell);
  types.cell_type.push_back(type);
  NetUse::count_pins(netlist, directions, cell, pins_by_net);
  names.add(netlist, cell);
  VerilogCell& of_type = types.ports[type];
  of_type.ports = std::max<std::size_t>(of_type.ports, cell.pin_count);
  if (detail != PortDetail::count) note_port_widths(netlist, cell, of_type.port_widths);
  // The directions of the type's cell with the most pins: a multiplexer
  // left with fewer pins has only inputs.
  std::vector<PinDirection>& sides = of_type.port_directions;
  if (detail == PortDetail::widths_and_directions && sides.size() < cell.pin_count) {
    sides.resize(cell.pin_count);
    for (std::size_t p = 0; p < cell.pin_count; ++p) sides[p] = directions.of(cell, p);
  }
}

CellTallyWhileMapping::CellTallyWhileMapping(const Netlist& netlist, PortDetail detail)
    : netlist_(netlist),
      tally_(detail),
      thread_(netlist, [this](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) tally_.add(netlist_, netlist_.cells()[i]);
      }) {}

CellTally CellTallyWhileMapping::finish() {
  thread_.finish();
  // Without a second thread: every cell now.
  for (std::size_t i = tally_.cells(); i < netlist_.cells().size(); ++i)
    tally_.add(netlist_, netlist_.cells()[i]);
  return std::move(tally_);
}

}  // namespace syn
