// Constant drivers, join cells, request nets and the latch stage.
#include <gtest/gtest.h>

#include "datanet_builder.hpp"
#include "map/datapath.hpp"

namespace syn::test {
namespace {

struct Bench {
  Design design;
  Diagnostics diag;
  Netlist netlist;
  std::ostringstream console;
  MapContext ctx{design, netlist, diag, console, 0, {}};

  std::string text() const {
    std::ostringstream out;
    write_netlist(netlist, out);
    return out.str();
  }
};

TEST(DatanetWiring, ComparatorConstantUsesUpperCaseNetsAndReturnsItsBuses) {
  Bench b;
  auto buses = convert_constant_to_comps(b.ctx, "n", 4, 5);
  EXPECT_EQ(buses.first, "n[3:0]");
  EXPECT_EQ(buses.second, "n_bar[3:0]");
  EXPECT_EQ(b.text(), cell("buff", 1, {"DCasyncValue0", "n[3]"}) +
                          cell("buff", 2, {"DCasyncValue1", "n_bar[3]"}) +
                          cell("buff", 3, {"DCasyncValue1", "n[2]"}) +
                          cell("buff", 4, {"DCasyncValue0", "n_bar[2]"}) +
                          cell("buff", 5, {"DCasyncValue0", "n[1]"}) +
                          cell("buff", 6, {"DCasyncValue1", "n_bar[1]"}) +
                          cell("buff", 7, {"DCasyncValue1", "n[0]"}) +
                          cell("buff", 8, {"DCasyncValue0", "n_bar[0]"}));
}

TEST(DatanetWiring, DatapathConstantSpellsTheOneDigitLowerCase) {
  Bench b;
  DNP_node place;
  place.name = "n";
  place.initial_value = 5;
  constant_part(b.ctx, place, 4);
  EXPECT_EQ(b.text(), cell("buff", 1, {"DCasyncValue0", "n[3]"}) +
                          cell("buff", 2, {"DCasyncValue1", "n_bar[3]"}) +
                          cell("buff", 3, {"DCasyncvalue1", "n[2]"}) +
                          cell("buff", 4, {"DCasyncvalue0", "n_bar[2]"}) +
                          cell("buff", 5, {"DCasyncValue0", "n[1]"}) +
                          cell("buff", 6, {"DCasyncValue1", "n_bar[1]"}) +
                          cell("buff", 7, {"DCasyncvalue1", "n[0]"}) +
                          cell("buff", 8, {"DCasyncvalue0", "n_bar[0]"}));
}

TEST(DatanetWiring, ConstantWiderThanItsPlaceKeepsItsLowDigits) {
  Bench b;
  emit_constant_drivers(b.ctx, "v", 6, 2, ConstantNets::datapath);  // 110 -> 10
  EXPECT_EQ(b.text(), cell("buff", 1, {"DCasyncvalue1", "v[1]"}) +
                          cell("buff", 2, {"DCasyncvalue0", "v_bar[1]"}) +
                          cell("buff", 3, {"DCasyncValue0", "v[0]"}) +
                          cell("buff", 4, {"DCasyncValue1", "v_bar[0]"}));
}

TEST(DatanetWiring, JoinNamesItsOutputAfterItsInputs) {
  Bench b;
  EXPECT_EQ(emit_join(b.ctx, {"p", "q", "r"}, "_"), "p_q_r");
  EXPECT_EQ(emit_join(b.ctx, {"s", "t"}, ""), "st");
  EXPECT_EQ(emit_join(b.ctx, {"only"}, "_"), "only");
  EXPECT_EQ(b.text(), cell("c3", 1, {"p_q_r", "p", "q", "r"}) + cell("c2", 2, {"st", "s", "t"}));
}

DNT_node transition_with_controls(std::initializer_list<const char*> controls) {
  DNT_node t;
  t.name = "t";
  DN_place_node data;
  data.name = "a";
  data.type_c_d = "d";
  t.in_link.push_back(data);
  for (const char* c : controls) {
    DN_place_node p;
    p.name = c;
    p.type_c_d = "c";
    t.in_link.push_back(p);
    ++t.control_num_in;
  }
  return t;
}

TEST(DatanetWiring, ControlPartGivesTheRequestNet) {
  Bench one;
  EXPECT_EQ(control_part(one.ctx, transition_with_controls({"p"})), "p");
  EXPECT_EQ(one.text(), "");

  Bench two;
  EXPECT_EQ(control_part(two.ctx, transition_with_controls({"p", "q"})), "p_q");
  EXPECT_EQ(two.text(), cell("c2", 1, {"p_q", "p", "q"}));

  Bench none;
  EXPECT_EQ(control_part(none.ctx, transition_with_controls({})), std::nullopt);
  EXPECT_EQ(none.text(), "");
  ASSERT_TRUE(none.diag.has_problems());
  EXPECT_EQ(
      none.diag.all().front().text,
      "syn-tool: data transition t: no control input place from the control nets to start it");
}

// A transition writing r (data) and k (control), for the latch stage.
Design latch_design(bool global_k) {
  DataNetBuilder b;
  (global_k ? b.global_places : b.local_places) = {"k"};
  b.widths = {{"r", 8}};
  b.line("t", "a", 'i', 'd').line("t", "r", 'o', 'd').line("t", "k", 'o', 'c');
  return b.build();
}

TEST(DatanetWiring, LatchStageLatchesEveryBitThenReportsDone) {
  Bench b;
  b.design = latch_design(false);
  EXPECT_TRUE(latch_followed_function_part(b.ctx, *b.design.DNT.find("t"), "t_DC_mul2_8",
                                           "t_DC_mul2_8_bar", "t_DC_mul2_8_done", 8));
  std::string expected;
  for (int k = 7, n = 1; k >= 0; --k, ++n) {
    const std::string i = "[" + std::to_string(k) + "]";
    expected += cell("dlatch", n,
                     {"t_DC_mul2_8" + i, "t_DC_mul2_8_bar" + i, "t_DC_mul2_8_done", "Reset_signal",
                      "r" + i, "r_bar" + i, "r_done" + i});
  }
  expected += cell("done_8", 9, {"r_done[7:0]", "k"});
  EXPECT_EQ(b.text(), expected);
}

TEST(DatanetWiring, LatchStageNamesAGlobalOutputAfterTheTransition) {
  Bench b;
  b.design = latch_design(true);
  EXPECT_TRUE(
      latch_followed_function_part(b.ctx, *b.design.DNT.find("t"), "s", "s_bar", "s_done", 1));
  EXPECT_EQ(b.text(),
            cell("dlatch", 1,
                 {"s[0]", "s_bar[0]", "s_done", "Reset_signal", "r[0]", "r_bar[0]", "r_done[0]"}) +
                cell("done_1", 2, {"r_done[0:0]", "t_k"}));
}

TEST(DatanetWiring, LatchStageRefusesWhatItCannotWire) {
  DataNetBuilder without_control;
  without_control.line("t", "r", 'o', 'd');
  Bench a;
  a.design = without_control.build();
  EXPECT_FALSE(latch_followed_function_part(a.ctx, *a.design.DNT.find("t"), "s", "s_bar", "d", 4));
  EXPECT_EQ(a.text(), "");
  EXPECT_TRUE(a.diag.has_problems());

  Bench zero;
  zero.design = latch_design(false);
  EXPECT_FALSE(
      latch_followed_function_part(zero.ctx, *zero.design.DNT.find("t"), "s", "s_bar", "d", 0));
  EXPECT_EQ(zero.text(), "");
  EXPECT_TRUE(zero.diag.has_problems());
}

}  // namespace
}  // namespace syn::test
