// Transfers loading an operand place from several sources: the multiplexer,
// the join of the step's start places and the delay of a write-back step.
#include <gtest/gtest.h>

#include "datapath_expect.hpp"

namespace syn::test {
namespace {

// Operand x of mul1 loaded by t1 (from `first`) and t2 (from `second`), both
// finishing into kx; mul1 finishes into kf and its result s goes on to
// register `result_dest` through t3, started by q3.
DatapathBuilder two_loads(const std::string& first = "a", const std::string& first_term = "R",
                          const std::string& second = "b", const std::string& second_term = "R",
                          int second_value = 0) {
  DatapathBuilder b;
  b.arc("t1", first, 'i', 'd', first_term)
      .arc("t1", "q1", 'i', 'c')
      .arc("t1", "x", 'o', 'd')
      .arc("t1", "kx", 'o', 'c')
      .arc("t2", second, 'i', 'd', second_term, second_value)
      .arc("t2", "q2", 'i', 'c')
      .arc("t2", "x", 'o', 'd')
      .arc("t2", "kx", 'o', 'c')
      .arc("mul1", "x", 'i', 'd')
      .arc("mul1", "y", 'i', 'd', "R")
      .arc("mul1", "kx", 'i', 'c')
      .arc("mul1", "s", 'o', 'd')
      .arc("mul1", "kf", 'o', 'c')
      .function("mul1")
      .width("x", 2);
  return b;
}

void add_result_move(DatapathBuilder& b, const std::string& dest) {
  b.arc("t3", "s", 'i', 'd')
      .arc("t3", "q3", 'i', 'c')
      .arc("t3", dest, 'o', 'd', "R")
      .arc("t3", "k3", 'o', 'c');
}

const std::vector<std::string> x_outputs = {"kx", "x_bar[1:0]", "x[1:0]"};

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(DatapathOperandMux, TwoLoadsOfOneStep) {
  Bench b(two_loads().local("L", {"go"}, {"q1", "q2"}).build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), cell("c2", 2, {"q1q2", "q1", "q2"}) +
                          cell("mux2_2", 1, {"a[1:0]", "a_bar[1:0]", "q1q2"}));
  EXPECT_EQ(b.p("q1").new_name, "q1q2");
  EXPECT_EQ(b.p("q2").new_name, "q1q2");
  EXPECT_EQ(b.t("t1").instant_num, 1);
  EXPECT_EQ(b.t("t2").instant_num, 1);
  EXPECT_EQ(b.netlist.comps().back().done, 0);

  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(),
            cell("c2", 2, {"q1q2", "q1", "q2"}) +
                cell("mux2_2", 1,
                     concat({"a[1:0]", "a_bar[1:0]", "q1q2", "b[1:0]", "b_bar[1:0]", "q1q2"},
                            x_outputs)));
  const comp_node& mux = b.netlist.comps().back();
  EXPECT_EQ(mux.done, 1);
  EXPECT_EQ(mux.pin_in_num, 6);
  EXPECT_EQ(b.ctx.data_size, 2);
  // The transfers themselves are left unmarked.
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathOperandMux, StepWritingBackToASourceRegisterIsDelayed) {
  DatapathBuilder d = two_loads().local("L", {"go"}, {"q1", "q2", "q3"});
  add_result_move(d, "a");
  Bench b(d.build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), cell("c2", 2, {"q1q2", "q1", "q2"}) +
                          cell("dele", 3, {"q1q2", "mul1_dele_ack", "mul1_dele_req", "kf"}) +
                          cell("mux2_2", 1, {"a[1:0]", "a_bar[1:0]", "mul1_dele_req"}));
  EXPECT_EQ(b.p("q1").new_name, "mul1_dele_req");
  EXPECT_EQ(b.p("q2").new_name, "mul1_dele_req");
  EXPECT_EQ(b.p("q3").new_name, "mul1_dele_ack");
  EXPECT_EQ(b.t("t3").mod_flag, 1);

  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.netlist.comps().back().pin_link.at(5).name, "mul1_dele_req");
  EXPECT_EQ(b.netlist.comps().back().done, 1);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathOperandMux, WithoutWriteBackTheResultReaderIsMarkedAnyway) {
  DatapathBuilder d = two_loads().local("L", {"go"}, {"q1", "q2", "q3"});
  add_result_move(d, "c");
  Bench b(d.build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), cell("c2", 2, {"q1q2", "q1", "q2"}) +
                          cell("mux2_2", 1, {"a[1:0]", "a_bar[1:0]", "q1q2"}));
  EXPECT_EQ(b.p("q3").new_name, "");
  EXPECT_EQ(b.t("t3").mod_flag, 1);
}

TEST(DatapathOperandMux, LoadsOfSeparateStepsNeedNoJoinCell) {
  Bench b(two_loads().local("L1", {"go"}, {"q1"}).local("L2", {"go2"}, {"q2"}).build());
  function_part_2(b.ctx, b.t("t1"));
  function_part_2(b.ctx, b.t("t2"));
  // One start place per step: its own net selects, no one-input join.
  EXPECT_EQ(b.text(),
            cell("mux2_2", 1,
                 concat({"a[1:0]", "a_bar[1:0]", "q1", "b[1:0]", "b_bar[1:0]", "q2"}, x_outputs)));
  EXPECT_EQ(b.p("q1").new_name, "q1");
  EXPECT_EQ(b.p("q2").new_name, "q2");
}

TEST(DatapathOperandMux, JoinedStepWithoutMultiplexerCreatesIt) {
  Bench b(two_loads().local("L", {"go"}, {"q1", "q2"}).build());
  // The step was joined by an earlier transfer (into another operand).
  b.p("q2").new_name = "q1q2";
  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), cell("mux2_2", 1, {"b[1:0]", "b_bar[1:0]", "q1q2"}));
  EXPECT_EQ(b.t("t1").instant_num, 1);
}

TEST(DatapathOperandMux, ConstantSourceOfALaterFeederDrivesFirst) {
  Bench b(two_loads("a", "R", "k3", "C", 2).local("L", {"go"}, {"q1", "q2"}).build());
  function_part_2(b.ctx, b.t("t1"));
  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(),
            cell("c2", 2, {"q1q2", "q1", "q2"}) +
                cell("mux2_2", 1,
                     concat({"a[1:0]", "a_bar[1:0]", "q1q2", "k3[1:0]", "k3_bar[1:0]", "q1q2"},
                            x_outputs)) +
                constant_drivers(3, "k3", "10"));
}

TEST(DatapathOperandMux, ConstantAndInputPortSourcesOfTheFirstFeeder) {
  Bench b(two_loads("k1", "C", "in1", "I").local("L", {"go"}, {"q1", "q2"}).build());
  b.p("k1").initial_value = 3;
  function_part_2(b.ctx, b.t("t1"));
  function_part_2(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(),
            constant_drivers(2, "k1", "11") + cell("c2", 6, {"q1q2", "q1", "q2"}) +
                cell("mux2_2", 1,
                     concat({"k1[1:0]", "k1_bar[1:0]", "q1q2", "in1[1:0]", "in1_bar[1:0]", "q1q2"},
                            x_outputs)));
}

TEST(DatapathOperandMux, OtherSourcesAreReportedByTransition) {
  // t1's source is the result of another operation.
  DatapathBuilder d = two_loads("m", "").local("L", {"go"}, {"q1", "q2"});
  d.arc("mul0", "y", 'i', 'd', "R").arc("mul0", "m", 'o', 'd').function("mul0");
  Bench b(d.build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition t1: multiplexer input comes from neither a register, a "
            "constant nor an input port\n");
  EXPECT_EQ(b.t("t1").instant_num, 0);
}

TEST(DatapathOperandMux, SingleFeederIsReportedNotMapped) {
  DatapathBuilder d;
  d.local("L", {"go"}, {"q1"})
      .arc("t1", "a", 'i', 'd', "R")
      .arc("t1", "q1", 'i', 'c')
      .arc("t1", "x", 'o', 'd')
      .arc("t1", "kx", 'o', 'c')
      .arc("mul1", "x", 'i', 'd')
      .arc("mul1", "s", 'o', 'd')
      .function("mul1")
      .width("x", 2);
  Bench b(d.build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition t1: only transfer into place x, no multiplexer needed; not "
            "mapped\n");
}

TEST(DatapathOperandMux, OperandWithoutWidthIsRefused) {
  Bench b(two_loads().width("x", 0).local("L", {"go"}, {"q1", "q2"}).build());
  function_part_2(b.ctx, b.t("t1"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(), "syn-tool: data transition t1: no width known for place x\n");
}

TEST(DatapathOperandMux, IncompleteMultiplexerIsReported) {
  Bench b(two_loads().local("L", {"go"}, {"q1", "q2"}).build());
  function_part_2(b.ctx, b.t("t1"));
  report_incomplete_muxes(b.ctx);
  EXPECT_EQ(b.problems(),
            "syn-tool: data place x: mux2_2 (instance 1) has inputs from 1 of its 2 feeders and "
            "no outputs\n");
}

}  // namespace
}  // namespace syn::test
