// The cell catalogue: each kind's pins, roles, directions and widths where
// the rule is more than a fixed list (cells with a variable number of pins,
// a multiplexer not yet complete, an operation given fewer operands than its
// name says), and the type names the mappers' cells take from it.
#include "netlist/cell_catalogue.hpp"

#include <gtest/gtest.h>

#include <string>

namespace syn {
namespace {

// "name:direction:width" of every pin, space-separated.
std::string pins(const CellShape& shape, std::size_t count) {
  std::string text;
  for (std::size_t p = 0; p < count; ++p) {
    const PinRole role = pin_role(shape, p, count);
    EXPECT_EQ(role.direction, pin_direction(shape, p, count)) << role.name;
    text +=
        (p == 0 ? "" : " ") + role.name + (role.direction == PinDirection::output ? ":o" : ":i");
    if (role.width != 1) text += ":" + std::to_string(role.width);
  }
  return text;
}

TEST(CellCatalogue, TypeNamesCarryTheCounts) {
  EXPECT_EQ(type_name(join_cell(12)), "c12");
  EXPECT_EQ(type_name(buffer_cell()), "buff");
  EXPECT_EQ(type_name(or_cell()), "OR2");
  EXPECT_EQ(type_name(comparator_cell(8)), "comp_8");
  EXPECT_EQ(type_name(latch_cell()), "dlatch");
  EXPECT_EQ(type_name(done_cell(16)), "done_16");
  EXPECT_EQ(type_name(delay_cell()), "dele");
  EXPECT_EQ(type_name(multiplier_cell(3, 8)), "mul3_8");
  EXPECT_EQ(type_name(adder_cell(2, 4)), "add2_4");
  EXPECT_EQ(type_name(multiplexer_cell(10, 4)), "mux10_4");
  EXPECT_EQ(type_name(global_control_cell(3, 0)), "");  // named by its mapper
}

TEST(CellCatalogue, FixedPinLists) {
  EXPECT_EQ(pins(buffer_cell(), 2), "in:i out:o");
  EXPECT_EQ(pins(or_cell(), 3), "a:i b:i out:o");
  EXPECT_EQ(pins(latch_cell(), 7), "d:i d_bar:i req:i reset:i q:o q_bar:o done:o");
  EXPECT_EQ(pins(delay_cell(), 4), "req:i ack:o delayed_req:o done:i");
  EXPECT_EQ(pins(comparator_cell(8), 8),
            "a:i:8 a_bar:i:8 b:i:8 b_bar:i:8 req:i great:o equal:o less:o");
  EXPECT_EQ(pins(done_cell(4), 2), "done:i:4 out:o");
}

TEST(CellCatalogue, JoinDrivesItsFirstPinWhateverItsInputs) {
  EXPECT_EQ(pins(join_cell(4), 5), "out:o in1:i in2:i in3:i in4:i");
}

TEST(CellCatalogue, GlobalControlDrivesBackwardAndForwardPins) {
  // Backward, three set pins, forward, two reset pins.
  EXPECT_EQ(pins(global_control_cell(3, 0), 7),
            "bk:o set1:i set2:i set3:i fw:o reset1:i reset2:i");
}

TEST(CellCatalogue, OperationsEndInResultAndDoneWhateverTheirOperands) {
  EXPECT_EQ(pins(multiplier_cell(2, 4), 8),
            "a1:i:4 a1_bar:i:4 a2:i:4 a2_bar:i:4 req:i out:o:4 out_bar:o:4 done:o");
  // Named for three operands, given one.
  EXPECT_EQ(pins(adder_cell(3, 4), 6), "a1:i:4 a1_bar:i:4 req:i out:o:4 out_bar:o:4 done:o");
}

TEST(CellCatalogue, MultiplexerDrivesOnlyOnceComplete) {
  const CellShape mux = multiplexer_cell(2, 4);
  EXPECT_EQ(pins(mux, 9),
            "in1:i:4 in1_bar:i:4 sel1:i in2:i:4 in2_bar:i:4 sel2:i done:o out_bar:o:4 out:o:4");
  // One feeder placed of two: no done or rails yet.
  EXPECT_EQ(pins(mux, 3), "in1:i:4 in1_bar:i:4 sel1:i");
}

}  // namespace
}  // namespace syn
