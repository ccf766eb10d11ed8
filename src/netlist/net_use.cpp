#include "netlist/net_use.hpp"

#include <algorithm>
#include <utility>

namespace syn {
namespace {

// Adds two counts, still counting up to 2.
std::uint8_t up_to_two(int a, int b) { return static_cast<std::uint8_t>(std::min(2, a + b)); }

}  // namespace

// Each vector gets a signal for every bit up to the highest of its nets;
// the bits no pin reaches stay unused, and vector_signals leaves them out.
std::vector<std::uint32_t> NetUse::number_signals(const Netlist& netlist) {
  const std::vector<std::uint32_t> widths = netlist.vector_widths();
  std::vector<std::uint32_t> start(widths.size() + 1);
  auto next = static_cast<std::uint32_t>(netlist.net_count());
  for (std::size_t v = 0; v < widths.size(); ++v) {
    start[v] = next;
    next += widths[v];
  }
  start[widths.size()] = next;
  return start;
}

// How many bits of each vector some pin reaches: up to its highest used bit.
std::vector<std::uint32_t> NetUse::used_bits() const {
  std::vector<std::uint32_t> used(vector_start_.size() - 1, 0);
  for (std::size_t v = 0; v < used.size(); ++v) {
    for (SignalId s = vector_start_[v + 1]; s > vector_start_[v]; --s) {
      if (counts_[s - 1].drivers > 0 || counts_[s - 1].readers > 0) {
        used[v] = s - vector_start_[v];
        break;
      }
    }
  }
  return used;
}

namespace {

std::vector<NetUse::Counts> pins_by_net(const Netlist& netlist, const PinDirections& directions) {
  std::vector<NetUse::Counts> by_net(netlist.net_count());
  for (const Cell& cell : netlist.cells()) NetUse::count_pins(netlist, directions, cell, by_net);
  return by_net;
}

}  // namespace

NetUse::NetUse(const Netlist& netlist, const PinDirections& directions)
    : NetUse(netlist, pins_by_net(netlist, directions)) {}

// The pins are counted in the slot numbered as the net: a plain net's
// signal, and for a bus net a slot no signal uses, emptied again once its
// counts are spread over its bits. Each pin costs no look-up of its net.
NetUse::NetUse(const Netlist& netlist, std::vector<Counts> pins_by_net)
    : netlist_(netlist), vector_start_(number_signals(netlist)), counts_(std::move(pins_by_net)) {
  // No pin is on a net past the netlist's: slots beyond them, room left
  // by growing, hold no counts and may serve as the bits' signals.
  counts_.resize(vector_start_.back());
  // The unnamed net is no signal.
  counts_[kUnnamedNet] = Counts{};
  spread_bus_counts();
  used_bits_ = used_bits();
}

void NetUse::count_pins(const Netlist& netlist, const PinDirections& directions, const Cell& cell,
                        std::vector<Counts>& by_net) {
  const CellShape& shape = directions.shape(cell);
  const auto pins = netlist.pins(cell);
  for (std::size_t p = 0; p < pins.size(); ++p) {
    if (pins[p] >= by_net.size())
      by_net.resize(std::max<std::size_t>(pins[p] + 1u, 2 * by_net.size()));
    const bool drives = pin_direction(shape, p, pins.size()) == PinDirection::output;
    Counts& counts = by_net[pins[p]];
    if (drives)
      counts.drivers = up_to_two(counts.drivers, 1);
    else
      counts.readers = up_to_two(counts.readers, 1);
  }
}

// Adds each bus net's counts to the bits it covers, still counting up to 2.
// A net that no pin uses is passed over without looking it up.
void NetUse::spread_bus_counts() {
  for (NetId id = 1; id < netlist_.net_count(); ++id) {
    if (counts_[id].drivers == 0 && counts_[id].readers == 0) continue;
    const Net& net = netlist_.net(id);
    if (!net.is_bus()) continue;
    const Counts on_net = std::exchange(counts_[id], Counts{});
    const SignalId first = vector_start_[net.vector()] + net.low;
    const SignalId end = first + (net.high - net.low) + 1u;
    for (SignalId k = first; k < end; ++k) {
      Counts& bit = counts_[k];
      bit.drivers = up_to_two(bit.drivers, on_net.drivers);
      bit.readers = up_to_two(bit.readers, on_net.readers);
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
  return {vector_start_[vector], used_bits_[vector]};
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
