// How the cells use each one-bit signal of a netlist: how many pins drive it
// and how many read it. A plain net is one signal; a bus net is the bits of
// its vector that it covers, so that x[7:0] on one cell and x[3] on another
// meet on bit 3, as they do in the Verilog module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "netlist/pin_directions.hpp"
#include "netlist/netlist.hpp"

namespace syn {

using SignalId = std::uint32_t;

class NetUse {
 public:
  // A signal's two counts side by side: a pin or a bit touches one place.
  // Each up to 2 in two bits: a signal takes one byte.
  struct Counts {
    std::uint8_t drivers : 2 = 0;
    std::uint8_t readers : 2 = 0;
  };

  NetUse(const Netlist& netlist, const PinDirections& directions);
  // From the pins counted on each net beforehand (count_pins), by NetId.
  NetUse(const Netlist& netlist, std::vector<Counts> pins_by_net);

  // Counts the pins of `cell` on their nets, by NetId, growing `by_net` to
  // hold the nets met. Reads nothing of the netlist but the cell's pins, so
  // that it may run on the cells that have settled while mapping goes on.
  static void count_pins(const Netlist& netlist, const PinDirections& directions, const Cell& cell,
                         std::vector<Counts>& by_net);

  // The signals of a net: [first, first + count). The signals numbered
  // below the net count are the nets' own: a plain net's one signal, and
  // for a bus net a number that no pin uses, its bits' signals lying above.
  struct Signals {
    SignalId first = 0;
    std::uint32_t count = 0;
  };
  Signals signals_of(NetId id) const;
  // The signals of a vector's bits up to its highest on a pin (none when it
  // is on no pin).
  Signals vector_signals(VectorId vector) const;
  std::size_t signal_count() const { return counts_.size(); }

  // Pins driving and reading a signal, counted up to 2.
  int drivers(SignalId s) const { return counts_[s].drivers; }
  int readers(SignalId s) const { return counts_[s].readers; }

  // The vector a signal is a bit of, or kNoVector for a plain net.
  VectorId vector_of(SignalId s) const;
  // The name of `count` signals from `s` on: a plain net's name, vector[bit]
  // or, for several bits of one vector, vector[high:low].
  std::string name(SignalId s, std::uint32_t count = 1) const;

 private:
  static std::vector<std::uint32_t> number_signals(const Netlist& netlist);
  std::vector<std::uint32_t> used_bits() const;
  void spread_bus_counts();

  const Netlist& netlist_;
  std::vector<std::uint32_t> vector_start_;  // by VectorId, then one past the last
  std::vector<std::uint32_t> used_bits_;     // by VectorId: bits up to the highest on a pin
  std::vector<Counts> counts_;  // by signal
};

}  // namespace syn
