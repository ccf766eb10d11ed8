// Multiplications finished inside the data net, and the dispatch of transfers
// by where their data chain leads.
#include <gtest/gtest.h>

#include "datapath_expect.hpp"

namespace syn::test {
namespace {

// mul1 = a * b into s, started by local place r, finishing into k; t3 moves
// s on into register `dest`.
DatapathBuilder multiply_into(const std::string& dest) {
  DatapathBuilder b;
  b.local("L0", {"go"}, {"r"})
      .arc("mul1", "a", 'i', 'd', "R")
      .arc("mul1", "b", 'i', 'd', "R")
      .arc("mul1", "r", 'i', 'c')
      .arc("mul1", "s", 'o', 'd')
      .arc("mul1", "k", 'o', 'c')
      .function("mul1")
      .arc("t3", "s", 'i', 'd')
      .arc("t3", "k", 'i', 'c')
      .arc("t3", dest, 'o', 'd', "R")
      .arc("t3", "kk", 'o', 'c')
      .width("a", 2)
      .width("b", 2)
      .width("c", 2)
      .width("s", 2);
  return b;
}

const std::vector<std::string> result_pins = {"mul1_DC_mul2_2[1:0]", "mul1_DC_mul2_2_bar[1:0]",
                                              "mul1_DC_mul2_2_done"};

TEST(DatapathMultiplier, TwoRegisterOperands) {
  Bench b(multiply_into("c").build());
  function_part_2(b.ctx, b.t("mul1"));
  std::vector<std::string> pins = {"a[1:0]", "a_bar[1:0]", "b[1:0]", "b_bar[1:0]", "r"};
  pins.insert(pins.end(), result_pins.begin(), result_pins.end());
  EXPECT_EQ(b.text(), cell("mul2_2", 1, pins) +
                          latch_stage(2, "mul1_DC_mul2_2", "mul1_DC_mul2_2_done", "s", 2, "k"));
  EXPECT_EQ(b.ctx.data_size, 2);
  EXPECT_EQ(b.p("k").new_name, "");
  EXPECT_EQ(b.t("t3").mod_flag, 0);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathMultiplier, ResultWrittenBackToAnOperandDelaysTheRequest) {
  Bench b(multiply_into("a").build());
  function_part_2(b.ctx, b.t("mul1"));
  std::vector<std::string> pins = {"a[1:0]", "a_bar[1:0]", "b[1:0]", "b_bar[1:0]", "mul1_dele_req"};
  pins.insert(pins.end(), result_pins.begin(), result_pins.end());
  EXPECT_EQ(b.text(), cell("dele", 1, {"r", "mul1_dele_ack", "mul1_dele_req", "k"}) +
                          cell("mul2_2", 2, pins) +
                          latch_stage(3, "mul1_DC_mul2_2", "mul1_DC_mul2_2_done", "s", 2, "k"));
  EXPECT_EQ(b.p("k").new_name, "mul1_dele_ack");
  EXPECT_EQ(b.t("t3").mod_flag, 1);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathMultiplier, ConstantOperandDriversComeFirst) {
  DatapathBuilder d;
  d.local("L0", {"go"}, {"r"})
      .arc("mul1", "a", 'i', 'd', "R")
      .arc("mul1", "k5", 'i', 'd', "C", 1)
      .arc("mul1", "r", 'i', 'c')
      .arc("mul1", "s", 'o', 'd')
      .arc("mul1", "k", 'o', 'c')
      .function("mul1")
      .width("a", 2)
      .width("s", 2);
  Bench b(d.build());
  function_part_2(b.ctx, b.t("mul1"));
  std::vector<std::string> pins = {"a[1:0]", "a_bar[1:0]", "k5[1:0]", "k5_bar[1:0]", "r"};
  pins.insert(pins.end(), result_pins.begin(), result_pins.end());
  EXPECT_EQ(b.text(), constant_drivers(1, "k5", "01") + cell("mul2_2", 5, pins) +
                          latch_stage(6, "mul1_DC_mul2_2", "mul1_DC_mul2_2_done", "s", 2, "k"));
}

TEST(DatapathMultiplier, WidthIsTheResultPlaceWidth) {
  Bench b(multiply_into("c").width("a", 4).width("b", 4).width("s", 3).build());
  function_part_2(b.ctx, b.t("mul1"));
  EXPECT_EQ(b.netlist.comps().front().name, "mul2_3");
  EXPECT_EQ(b.netlist.comps().front().pin_link.front().name, "a[2:0]");
  EXPECT_EQ(b.ctx.data_size, 3);
}

TEST(DatapathMultiplier, ResultWithoutWidthFallsBackThenRefuses) {
  Bench fallback(multiply_into("c").width("s", 0).build());
  fallback.ctx.data_size = 5;
  function_part_2(fallback.ctx, fallback.t("mul1"));
  ASSERT_FALSE(fallback.netlist.comps().empty());
  EXPECT_EQ(fallback.netlist.comps().front().name, "mul2_5");

  Bench none(multiply_into("c").width("s", 0).build());
  function_part_2(none.ctx, none.t("mul1"));
  EXPECT_EQ(none.text(), "");
  EXPECT_EQ(none.problems(), "syn-tool: data transition mul1: no width known for place s\n");
}

TEST(DatapathMultiplier, OtherOperationsAreReportedNotMapped) {
  DatapathBuilder d;
  d.arc("add3", "a", 'i', 'd', "R")
      .arc("add3", "r", 'i', 'c')
      .arc("add3", "s", 'o', 'd')
      .arc("add3", "k", 'o', 'c')
      .function("add3")
      .width("a", 2)
      .width("s", 2);
  Bench b(d.build());
  function_part_2(b.ctx, b.t("add3"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition add3: operation finished inside the data net is not a "
            "multiplication; not mapped\n");
}

}  // namespace
}  // namespace syn::test
