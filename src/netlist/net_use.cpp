#include "netlist/net_use.hpp"

#include <algorithm>

namespace syn {
namespace {

void count_up(std::uint8_t& count) {
  if (count < 2) ++count;
}

}  // namespace

NetUse::NetUse(const Netlist& netlist, const PinDirections& directions) : netlist_(netlist) {
  // Each vector gets as many signals as its highest bit on a pin asks for.
  std::vector<std::uint32_t> bits(netlist.vectors().size(), 0);
  for (const Cell& cell : netlist.cells()) {
    for (const NetId id : netlist.pins(cell)) {
      const Net& net = netlist.net(id);
      if (net.is_bus())
        bits[net.vector()] = std::max<std::uint32_t>(bits[net.vector()], net.high + 1u);
    }
  }
  vector_start_.resize(bits.size() + 1);
  auto next = static_cast<std::uint32_t>(netlist.net_count());
  for (std::size_t v = 0; v < bits.size(); ++v) {
    vector_start_[v] = next;
    next += bits[v];
  }
  vector_start_[bits.size()] = next;
  drivers_.assign(next, 0);
  readers_.assign(next, 0);
  for (const Cell& cell : netlist.cells()) {
    const CellShape& shape = directions.shape(cell);
    const auto pins = netlist.pins(cell);
    for (std::size_t p = 0; p < pins.size(); ++p) {
      if (pins[p] == kUnnamedNet) continue;
      const bool drives = pin_direction(shape, p, pins.size()) == PinDirection::output;
      auto& counts = drives ? drivers_ : readers_;
      const Signals s = signals_of(pins[p]);
      for (SignalId k = s.first; k < s.first + s.count; ++k) count_up(counts[k]);
    }
  }
}

NetUse::Signals NetUse::signals_of(NetId id) const {
  const Net& net = netlist_.net(id);
  if (!net.is_bus()) return {id, 1};
  return {vector_start_[net.vector()] + net.low,
          static_cast<std::uint32_t>(net.high - net.low) + 1};
}

NetUse::Signals NetUse::vector_signals(VectorId vector) const {
  return {vector_start_[vector], vector_start_[vector + 1] - vector_start_[vector]};
}

VectorId NetUse::vector_of(SignalId s) const {
  if (s < netlist_.net_count()) return kNoVector;
  const auto after = std::upper_bound(vector_start_.begin(), vector_start_.end(), s);
  return static_cast<VectorId>(after - vector_start_.begin() - 1);
}

std::string NetUse::name(SignalId s, std::uint32_t count) const {
  const VectorId vector = vector_of(s);
  if (vector == kNoVector) return std::string(netlist_.plain_name(s));
  const std::uint32_t low = s - vector_start_[vector];
  std::string text = std::string(netlist_.text(netlist_.vectors()[vector])) + "[" +
                     std::to_string(low + count - 1);
  if (count > 1) text += ":" + std::to_string(low);
  return text + "]";
}

}  // namespace syn
