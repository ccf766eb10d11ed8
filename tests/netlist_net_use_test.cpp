// The signals' use: every bit of a vector is one signal, numbered within the
// vector's own range however its nets reach it (single bits with gaps, a
// first slice, further slices), and the pins on each bit are counted up to
// two, also where a slice and a bit meet on it. A vector numbered too
// narrow runs into the next one's bits; a count that does not stop at two
// wraps round in its two bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/cell_catalogue.hpp"
#include "netlist/net_use.hpp"
#include "netlist/netlist.hpp"

namespace syn {
namespace {

class Buffers {
 public:
  Buffers() : netlist_(symbols_) {}
  // A buffer reading `in` and driving `out`; returns the net it drives.
  NetId drive(const std::string& in, const std::string& out) {
    return netlist_.pins(netlist_.add(buffer_cell(), std::vector<std::string>{in, out}))[1];
  }
  // A buffer reading `in`; returns the net it reads.
  NetId read(const std::string& in, const std::string& out) {
    return netlist_.pins(netlist_.add(buffer_cell(), std::vector<std::string>{in, out}))[0];
  }
  const Netlist& netlist() const { return netlist_; }

 private:
  Symbols symbols_;
  Netlist netlist_;
};

TEST(NetUseSignals, EveryNetOfAVectorStaysInsideItsBits) {
  Buffers b;
  b.drive("a", "x[0]");
  b.drive("b", "x[5]");  // the bits' list now has room up to x[7]
  const NetId low = b.read("x[3:0]", "c");  // the vector's first slice
  const NetId high = b.drive("d", "x[11:8]");  // a further slice, the widest reach
  const NetId nine = b.drive("e", "x[9]");  // the bits' list has room up to x[15]
  const NetId y1 = b.read("y[1]", "f");
  const PinDirections directions(b.netlist());
  const NetUse use(b.netlist(), directions);

  const VectorId x = b.netlist().find_vector("x");
  const VectorId y = b.netlist().find_vector("y");
  EXPECT_EQ(use.vector_signals(x).count, 12u);
  EXPECT_EQ(use.vector_signals(y).count, 2u);
  const NetUse::Signals top = use.signals_of(high);
  EXPECT_EQ(top.count, 4u);
  EXPECT_EQ(use.name(top.first, top.count), "x[11:8]");
  EXPECT_EQ(use.vector_of(top.first + 3), x);
  EXPECT_EQ(use.name(use.signals_of(y1).first), "y[1]");
  EXPECT_EQ(use.drivers(use.signals_of(y1).first), 0);
  EXPECT_EQ(use.readers(use.signals_of(y1).first), 1);

  // x[9] is driven as a bit and within x[11:8]; x[10] by the slice alone.
  EXPECT_EQ(use.drivers(use.signals_of(nine).first), 2);
  EXPECT_EQ(use.drivers(top.first + 2), 1);
  // x[2] is read within x[3:0] and driven by nothing; x[6] is on no pin.
  const SignalId x0 = use.signals_of(low).first;
  EXPECT_EQ(use.readers(x0 + 2), 1);
  EXPECT_EQ(use.drivers(x0 + 2), 0);
  EXPECT_EQ(use.drivers(x0 + 6), 0);
  EXPECT_EQ(use.readers(x0 + 6), 0);
}

TEST(NetUseSignals, CountsStopAtTwo) {
  Buffers b;
  NetId n = kUnnamedNet;
  for (const char* in : {"a", "b", "c", "d"}) n = b.drive(in, "n");
  for (const char* out : {"e", "f", "g"}) b.read("n", out);
  // Three drivers on z[1:0] and a fourth on z[0] alone, spread over the bits.
  NetId pair = kUnnamedNet;
  for (const char* in : {"h", "i", "j"}) pair = b.drive(in, "z[1:0]");
  b.drive("k", "z[0]");
  const PinDirections directions(b.netlist());
  const NetUse use(b.netlist(), directions);

  EXPECT_EQ(use.drivers(use.signals_of(n).first), 2);
  EXPECT_EQ(use.readers(use.signals_of(n).first), 2);
  const SignalId z0 = use.signals_of(pair).first;
  EXPECT_EQ(use.drivers(z0), 2);
  EXPECT_EQ(use.drivers(z0 + 1), 2);
  EXPECT_EQ(use.readers(z0), 0);
}

}  // namespace
}  // namespace syn
