// Registers and outputs written by several transfers: one multiplexer each,
// grown by every feeder and completed by the last one.
#include <gtest/gtest.h>

#include "datapath_expect.hpp"

namespace syn::test {
namespace {

// Register r written by t1 (from a, started by q1) and t2 (from `second`,
// started by q2), each finishing into its own place; u reads r.
DatapathBuilder register_fed_twice(const std::string& second = "b",
                                   const std::string& second_term = "R") {
  DatapathBuilder b;
  b.local("L1", {"go1"}, {"q1"})
      .local("L2", {"go2"}, {"q2"})
      .arc("t1", "a", 'i', 'd', "R")
      .arc("t1", "q1", 'i', 'c')
      .arc("t1", "r", 'o', 'd', "R")
      .arc("t1", "k1", 'o', 'c')
      .arc("t2", second, 'i', 'd', second_term, 1)
      .arc("t2", "q2", 'i', 'c')
      .arc("t2", "r", 'o', 'd', "R")
      .arc("t2", "k2", 'o', 'c')
      .arc("u", "r", 'i', 'd', "R")
      .arc("u", "c", 'o', 'd', "R")
      .width("r", 2);
  return b;
}

TEST(DatapathRegisterMux, RegisterFedByTwoTransfers) {
  Bench b(register_fed_twice().build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), cell("mux2_2", 1, {"a[1:0]", "a_bar[1:0]", "q1"}));
  EXPECT_EQ(b.t("t1").instant_num, 1);
  EXPECT_EQ(b.t("t2").instant_num, 1);
  EXPECT_EQ(b.t("u").instant_num, 1);  // the reader of r carries it too
  EXPECT_EQ(b.netlist.comps().front().next_pin, 3);
  EXPECT_EQ(b.netlist.comps().front().done, 0);

  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), cell("mux2_2", 1,
                           {"a[1:0]", "a_bar[1:0]", "q1", "b[1:0]", "b_bar[1:0]", "q2", "k2",
                            "r_bar[1:0]", "r[1:0]"}));
  EXPECT_EQ(b.netlist.comps().front().done, 1);
  EXPECT_EQ(b.ctx.data_size, 2);
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathRegisterMux, InputPortAndConstantSources) {
  Bench port(register_fed_twice("in1", "I").build());
  function_part_2(port.ctx, port.t("t2"));
  EXPECT_EQ(port.text(), cell("mux2_2", 1, {"in1[1:0]", "in1_bar[1:0]", "q2"}));

  Bench constant(register_fed_twice("one", "C").build());
  function_part_2(constant.ctx, constant.t("t1"));
  function_part_2(constant.ctx, constant.t("t2"));
  EXPECT_EQ(constant.text(),
            cell("mux2_2", 1,
                 {"a[1:0]", "a_bar[1:0]", "q1", "one[1:0]", "one_bar[1:0]", "q2", "k2",
                  "r_bar[1:0]", "r[1:0]"}) +
                constant_drivers(2, "one", "01"));
}

TEST(DatapathRegisterMux, FirstFeederWithAConstantDrivesBeforeTheMultiplexerIsListed) {
  Bench b(register_fed_twice("one", "C").build());
  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), constant_drivers(2, "one", "01") +
                          cell("mux2_2", 1, {"one[1:0]", "one_bar[1:0]", "q2"}));
}

TEST(DatapathRegisterMux, SingleFeederIsReportedNotMapped) {
  Bench b(DatapathBuilder()
              .arc("t1", "a", 'i', 'd', "R")
              .arc("t1", "q1", 'i', 'c')
              .arc("t1", "r", 'o', 'd', "R")
              .arc("t1", "k1", 'o', 'c')
              .width("r", 2)
              .build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition t1: only transfer into place r, no multiplexer needed; not "
            "mapped\n");
}

TEST(DatapathRegisterMux, ThreeFeedersCompleteOnTheThird) {
  DatapathBuilder d = register_fed_twice();
  d.arc("t0", "z", 'i', 'd', "R").arc("t0", "q0", 'i', 'c').arc("t0", "r", 'o', 'd', "R");
  d.arc("t0", "k0", 'o', 'c');
  Bench b(d.build());
  function_part_2(b.ctx, b.t("t2"));
  function_part_2(b.ctx, b.t("t0"));
  EXPECT_EQ(b.netlist.comps().front().done, 0);
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(),
            "syn-tool: data place r: mux3_2 (instance 1) has inputs from 2 of its 3 feeders and no "
            "outputs\n");
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), cell("mux3_2", 1,
                           {"b[1:0]", "b_bar[1:0]", "q2", "z[1:0]", "z_bar[1:0]", "q0", "a[1:0]",
                            "a_bar[1:0]", "q1", "k1", "r_bar[1:0]", "r[1:0]"}));
}

// Incomplete multiplexers are reported in the order they stand in the
// netlist (not by place name), and a completed one between them is not.
TEST(DatapathRegisterMux, IncompleteMultiplexersReportedInNetlistOrder) {
  DatapathBuilder d = register_fed_twice();
  d.arc("v1", "a", 'i', 'd', "R").arc("v1", "q3", 'i', 'c');
  d.arc("v1", "s", 'o', 'd', "R").arc("v1", "k3", 'o', 'c');
  d.arc("v2", "b", 'i', 'd', "R").arc("v2", "q4", 'i', 'c');
  d.arc("v2", "s", 'o', 'd', "R").arc("v2", "k4", 'o', 'c');
  d.arc("x1", "a", 'i', 'd', "R").arc("x1", "q5", 'i', 'c');
  d.arc("x1", "o", 'o', 'd', "O").arc("x1", "k5", 'o', 'c');
  d.arc("x2", "b", 'i', 'd', "R").arc("x2", "q6", 'i', 'c');
  d.arc("x2", "o", 'o', 'd', "O").arc("x2", "k6", 'o', 'c');
  d.width("s", 2).width("o", 2);
  Bench b(d.build());
  function_part_2(b.ctx, b.t("v1"));  // s: instance 1
  function_part_2(b.ctx, b.t("x1"));  // o: instance 2, completed below
  function_part_2(b.ctx, b.t("t2"));  // r: instance 3
  function_part_2(b.ctx, b.t("x2"));
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(),
            "syn-tool: data place s: mux2_2 (instance 1) has inputs from 1 of its 2 feeders and no "
            "outputs\n"
            "syn-tool: data place r: mux2_2 (instance 3) has inputs from 1 of its 2 feeders and no "
            "outputs\n");
}

// The reader of a multiplexed register is itself a late input of an operand
// multiplexer: it carries the register multiplexer's number, and still adds
// its input to the multiplexer of the place it feeds.
TEST(DatapathRegisterMux, ReaderOfTheRegisterFeedsItsOwnMultiplexer) {
  DatapathBuilder d;
  d.local("L1", {"go1"}, {"p1"})
      .local("L2", {"go2"}, {"p2"})
      .local("L3", {"go3"}, {"q1"})
      .arc("w1", "c", 'i', 'd', "R")
      .arc("w1", "p1", 'i', 'c')
      .arc("w1", "r", 'o', 'd', "R")
      .arc("w1", "kr", 'o', 'c')
      .arc("w2", "d", 'i', 'd', "R")
      .arc("w2", "p2", 'i', 'c')
      .arc("w2", "r", 'o', 'd', "R")
      .arc("w2", "kr", 'o', 'c')
      .arc("t1", "a", 'i', 'd', "R")
      .arc("t1", "q1", 'i', 'c')
      .arc("t1", "x", 'o', 'd')
      .arc("t1", "kx", 'o', 'c')
      .arc("t2", "r", 'i', 'd', "R")
      .arc("t2", "kr", 'i', 'c')
      .arc("t2", "x", 'o', 'd')
      .arc("t2", "kx", 'o', 'c')
      .arc("mul1", "x", 'i', 'd')
      .arc("mul1", "kx", 'i', 'c')
      .arc("mul1", "s", 'o', 'd')
      .arc("mul1", "kf", 'o', 'c')
      .function("mul1")
      .width("r", 2)
      .width("x", 2);
  Bench b(d.build());
  b.t("t2").mod_flag = 1;  // as an earlier delay cell would have left it
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.t("t2").instant_num, 1);
  function_part_2(b.ctx, b.t("w1"));
  EXPECT_EQ(b.t("t2").instant_num, 2);  // overwritten by r's multiplexer
  function_part_4(b.ctx, b.t("t2"));
  function_part_2(b.ctx, b.t("w2"));
  EXPECT_EQ(b.text(),
            cell("mux2_2", 1,
                 {"a[1:0]", "a_bar[1:0]", "q1", "r[1:0]", "r_bar[1:0]", "kr", "kx", "x_bar[1:0]",
                  "x[1:0]"}) +
                cell("mux2_2", 2,
                     {"c[1:0]", "c_bar[1:0]", "p1", "d[1:0]", "d_bar[1:0]", "p2", "kr",
                      "r_bar[1:0]", "r[1:0]"}));
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(), "");
}

}  // namespace
}  // namespace syn::test
