// Pin directions where the rule is more than a fixed list: cells with a
// variable number of pins, and names that only look like a cell's.
#include "netlist/cell_library.hpp"

#include <gtest/gtest.h>

#include <string>

namespace syn {
namespace {

std::string directions(const CellShape& shape, std::size_t pins) {
  std::string text;
  for (std::size_t p = 0; p < pins; ++p)
    text += pin_direction(shape, p, pins) == PinDirection::output ? 'o' : 'i';
  return text;
}

TEST(CellLibrary, KindsByName) {
  EXPECT_EQ(cell_kind("c12"), CellKind::join);
  EXPECT_EQ(cell_kind("comp_8"), CellKind::comparator);
  EXPECT_EQ(cell_kind("done_16"), CellKind::done);
  EXPECT_EQ(cell_kind("mul3_8"), CellKind::multiplier);
  EXPECT_EQ(cell_kind("add2_4"), CellKind::adder);
  EXPECT_EQ(cell_kind("mux10_4"), CellKind::multiplexer);
  EXPECT_EQ(cell_kind("DCsetOA211resetAND2_0"), CellKind::global_control);
  for (const char* other : {"c", "cx", "comp_", "done_x", "mul_8", "add2_", "mux2", "DC"})
    EXPECT_EQ(cell_kind(other), CellKind::unknown) << other;
  EXPECT_EQ(multiplexer_feeders("mux10_4"), 10);
}

TEST(CellLibrary, JoinDrivesItsFirstPinWhateverItsInputs) {
  EXPECT_EQ(directions({CellKind::join, 0, 0}, 5), "oiiii");
}

TEST(CellLibrary, GlobalControlDrivesBackwardAndForwardPins) {
  // Backward, three set pins, forward, two reset pins.
  EXPECT_EQ(directions({CellKind::global_control, 4, 0}, 7), "oiiioii");
}

TEST(CellLibrary, MultiplexerDrivesOnlyOnceComplete) {
  const CellShape mux{CellKind::multiplexer, 0, 2};
  EXPECT_EQ(directions(mux, 9), "iiiiiiooo");
  // One feeder placed of two: no done or rails yet.
  EXPECT_EQ(directions(mux, 3), "iii");
}

TEST(CellLibrary, DelayDrivesAcknowledgeAndDelayedRequest) {
  EXPECT_EQ(directions({CellKind::delay, 0, 0}, 4), "iooi");
}

}  // namespace
}  // namespace syn
