// Plain transfers of the data net pass: latches, done cell, constant input,
// joined control inputs, the width left behind, and the refusals.
#include <gtest/gtest.h>

#include "datanet_builder.hpp"

namespace syn::test {
namespace {

std::string latch(int instance, const std::string& x, const std::string& c, const std::string& y,
                  int k) {
  const std::string b = "[" + std::to_string(k) + "]";
  return cell("dlatch", instance,
              {x + b, x + "_bar" + b, c, "Reset_signal", y + b, y + "_bar" + b, y + "_done" + b});
}

TEST(DatanetTransfer, OneRegisterTransferOfWidthEight) {
  DataNetBuilder b;
  b.local_places = {"q", "k"};
  b.widths = {{"x", 8}, {"y", 8}};
  b.line("t1", "x", 'i', 'd', "R").line("t1", "y", 'o', 'd', "R");
  b.line("t1", "q", 'i', 'c').line("t1", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  std::string expected;
  for (int k = 7, n = 1; k >= 0; --k, ++n) expected += latch(n, "x", "q", "y", k);
  expected += cell("done_8", 9, {"y_done[7:0]", "k"});
  EXPECT_EQ(m.netlist, expected);
  EXPECT_EQ(m.console, "D");
  EXPECT_EQ(m.diagnostics, "syn-tool: warning: data transition t1: control input place q is produced by no transition of any net, so its request never comes\n");
  EXPECT_EQ(m.data_size, 8);
}

TEST(DatanetTransfer, LargerSideGivesTheWidthAndGlobalOutputIsPrefixed) {
  DataNetBuilder b;
  b.local_places = {"c"};
  b.global_places = {"g"};
  b.widths = {{"a", 2}, {"b", 4}};
  b.line("t", "a", 'i', 'd')
      .line("t", "b", 'o', 'd')
      .line("t", "c", 'i', 'c')
      .line("t", "g", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  std::string expected;
  for (int k = 3, n = 1; k >= 0; --k, ++n) expected += latch(n, "a", "c", "b", k);
  expected += cell("done_4", 5, {"b_done[3:0]", "t_g"});
  EXPECT_EQ(m.netlist, expected);
}

TEST(DatanetTransfer, ConstantInputGetsItsDriversBeforeTheLatches) {
  DataNetBuilder b;
  b.local_places = {"c", "k"};
  b.widths = {{"b", 4}};
  b.line("t", "a", 'i', 'd', "C", 5).line("t", "b", 'o', 'd', "R");
  b.line("t", "c", 'i', 'c').line("t", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  // 5 in four digits is 0101; a's width 4 comes from b in the first sweep.
  std::string expected =
      cell("buff", 1, {"DCasyncValue0", "a[3]"}) + cell("buff", 2, {"DCasyncValue1", "a_bar[3]"}) +
      cell("buff", 3, {"DCasyncvalue1", "a[2]"}) + cell("buff", 4, {"DCasyncvalue0", "a_bar[2]"}) +
      cell("buff", 5, {"DCasyncValue0", "a[1]"}) + cell("buff", 6, {"DCasyncValue1", "a_bar[1]"}) +
      cell("buff", 7, {"DCasyncvalue1", "a[0]"}) + cell("buff", 8, {"DCasyncvalue0", "a_bar[0]"});
  for (int k = 3, n = 9; k >= 0; --k, ++n) expected += latch(n, "a", "c", "b", k);
  expected += cell("done_4", 13, {"b_done[3:0]", "k"});
  EXPECT_EQ(m.netlist, expected);
}

TEST(DatanetTransfer, TwoControlInputsAreJoined) {
  DataNetBuilder b;
  b.local_places = {"p", "q", "k"};
  b.widths = {{"a", 1}, {"b", 1}};
  b.line("t", "q", 'i', 'c').line("t", "a", 'i', 'd').line("t", "p", 'i', 'c');
  b.line("t", "b", 'o', 'd').line("t", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, cell("c2", 1, {"p_q", "p", "q"}) + latch(2, "a", "p_q", "b", 0) +
                           cell("done_1", 3, {"b_done[0:0]", "k"}));
}

TEST(DatanetTransfer, TransitionsInListOrderEachWithItsD) {
  DataNetBuilder b;
  b.local_places = {"c1", "c2", "k1", "k2"};
  b.widths = {{"a", 1}, {"b", 1}};
  b.line("u2", "b", 'i', 'd')
      .line("u2", "a", 'o', 'd')
      .line("u2", "c2", 'i', 'c')
      .line("u2", "k2", 'o', 'c');
  b.line("u1", "a", 'i', 'd')
      .line("u1", "b", 'o', 'd')
      .line("u1", "c1", 'i', 'c')
      .line("u1", "k1", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.console, "DD");
  EXPECT_EQ(m.netlist, latch(1, "a", "c1", "b", 0) + cell("done_1", 2, {"b_done[0:0]", "k1"}) +
                           latch(3, "b", "c2", "a", 0) + cell("done_1", 4, {"a_done[0:0]", "k2"}));
}

TEST(DatanetTransfer, WidthLeftBehindServesPlacesWithoutOne) {
  DataNetBuilder b;
  b.local_places = {"c", "k"};
  b.line("t", "a", 'i', 'd')
      .line("t", "b", 'o', 'd')
      .line("t", "c", 'i', 'c')
      .line("t", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d, 2);
  std::string expected = latch(1, "a", "c", "b", 1) + latch(2, "a", "c", "b", 0) +
                         cell("done_2", 3, {"b_done[1:0]", "k"});
  EXPECT_EQ(m.netlist, expected);
  EXPECT_FALSE(m.problems);
}

void expect_refused(const DataNetBuilder& b, const std::string& message) {
  Design d = b.build();
  Mapped m = map_data(d, 4);
  EXPECT_EQ(m.netlist, "");
  EXPECT_EQ(m.console, "D");
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find(message), std::string::npos) << m.diagnostics;
}

TEST(DatanetTransfer, RefusedWithoutWhatATransferNeeds) {
  DataNetBuilder no_data_in;
  no_data_in.local_places = {"c", "k"};
  no_data_in.line("t", "b", 'o', 'd').line("t", "c", 'i', 'c').line("t", "k", 'o', 'c');
  expect_refused(no_data_in,
                 "syn-tool: data transition t: a transfer needs a data input place and has none; "
                 "nothing mapped");

  DataNetBuilder no_data_out;
  no_data_out.local_places = {"c", "k"};
  no_data_out.line("t", "a", 'i', 'd').line("t", "c", 'i', 'c').line("t", "k", 'o', 'c');
  expect_refused(no_data_out, "data transition t: a transfer needs a data output place");

  DataNetBuilder no_control_in;
  no_control_in.local_places = {"k"};
  no_control_in.line("t", "a", 'i', 'd').line("t", "b", 'o', 'd').line("t", "k", 'o', 'c');
  expect_refused(no_control_in, "data transition t: a transfer needs a control input place");

  DataNetBuilder no_control_out;
  no_control_out.local_places = {"c"};
  no_control_out.line("t", "a", 'i', 'd').line("t", "b", 'o', 'd').line("t", "c", 'i', 'c');
  expect_refused(no_control_out, "data transition t: a transfer needs a control output place");
}

TEST(DatanetTransfer, RefusedWithoutAnyWidthAndNoJoinIsLeftBehind) {
  DataNetBuilder b;
  b.local_places = {"p", "q", "k"};
  b.line("t", "a", 'i', 'd').line("t", "b", 'o', 'd');
  b.line("t", "p", 'i', 'c').line("t", "q", 'i', 'c').line("t", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d, 0);
  EXPECT_EQ(m.netlist, "");
  EXPECT_TRUE(m.problems);
  EXPECT_NE(
      m.diagnostics.find("data transition t: no width known for its data places; nothing mapped"),
      std::string::npos);
  EXPECT_EQ(m.netlist.find("[-1:0]"), std::string::npos);
}

TEST(DatanetTransfer, StartedInsideTheDataNetButFinishingOutsideIsAMappingProblem) {
  DataNetBuilder b;
  b.local_places = {"k"};
  b.widths = {{"a", 1}, {"b", 1}};
  b.line("t", "a", 'i', 'd')
      .line("t", "b", 'o', 'd')
      .line("t", "inner", 'i', 'c')
      .line("t", "k", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.console, "D");
  EXPECT_EQ(m.netlist, "");
  EXPECT_TRUE(m.problems);
  EXPECT_EQ(m.diagnostics,
            "syn-tool: warning: data transition t: control input place inner is produced by no transition of any net, so its request never comes\n"
            "syn-tool: data transition t: control input place(s) inner of the data net but no "
            "control output place of the data net; no mapping takes such a transition, nothing "
            "mapped\n");
}

}  // namespace
}  // namespace syn::test
