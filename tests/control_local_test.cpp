// Local control net mapping on designs built in memory; expected netlists
// are worked out by hand from the join and buffer rules.
#include <gtest/gtest.h>

#include "control_builder.hpp"

namespace syn::test {
namespace {

TEST(LocalControl, OneInputDrivesEachOutputThroughABuffer) {
  ControlDesign d;
  d.local("T1", "p", 'i').local("T1", "q", 'o');
  d.local("T2", "q", 'i').local("T2", "r1", 'o').local("T2", "r3", 'o').local("T2", "r2", 'o');
  d.local("T3", "r3", 'i');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.console, "LLL");
  EXPECT_EQ(run.netlist, cell("buff", 1, {"p", "q"}) + cell("buff", 2, {"q", "r1"}) +
                             cell("buff", 3, {"q", "r2"}) + cell("buff", 4, {"q", "r3"}));
}

TEST(LocalControl, SeveralInputsMeetInAJoinCell) {
  ControlDesign d;
  d.local("J1", "b", 'i').local("J1", "a", 'i').local("J1", "q", 'o');
  d.local("J2", "c", 'i').local("J2", "a", 'i').local("J2", "b", 'i').local("J2", "s", 'o')
      .local("J2", "r", 'o');
  d.local("J3", "x", 'i').local("J3", "y", 'i');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.netlist, cell("c2", 1, {"q", "a", "b"}) + cell("c3", 2, {"a_b_c", "a", "b", "c"}) +
                             cell("buff", 3, {"a_b_c", "r"}) + cell("buff", 4, {"a_b_c", "s"}) +
                             cell("c2", 5, {"x_y", "x", "y"}));
}

TEST(LocalControl, PlacesSharedWithTheGlobalNetAreDrivenAsTransitionAndPlace) {
  // g1 and g2 are global places, q is not: T's outputs are T_g1 and q, and
  // J's single output g2 is J_g2 straight on the join cell.
  ControlDesign d;
  d.global("G", "z1", 'i', 'G').global("G", "z2", 'i', 'G').global("G", "g1", 'i', 'L')
      .global("G", "g2", 'i', 'L').global("G", "z1", 'o', 'G').global("G", "z2", 'o', 'G');
  d.local("T", "p", 'i').local("T", "g1", 'o').local("T", "q", 'o');
  d.local("J", "a", 'i').local("J", "q", 'i').local("J", "g2", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.console, "GLL");
  const std::string bk = "I1bk_I1r21_I1r11";
  EXPECT_EQ(run.netlist, cell("DCsetAND2resetAND2_0", 1, {bk, "J_g2", "T_g1", "G", bk, bk}) +
                             cell("c2", 2, {"J_g2", "a", "q"}) + cell("buff", 3, {"p", "T_g1"}) +
                             cell("buff", 4, {"p", "q"}));
}

TEST(LocalControl, TransitionWithoutInputPlaceIsRefused) {
  ControlDesign d;
  d.local("S", "q", 'o');
  d.local("T", "q", 'i').local("T", "r", 'o');
  d.local("U", "x", 'x');
  ControlRun run = map_control(d.finish());
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors,
            "syn-tool: local transition S: no input place; a join cell without inputs has nothing "
            "to wait for\n"
            "syn-tool: local transition U: no input place; a join cell without inputs has nothing "
            "to wait for\n");
  EXPECT_EQ(run.console, "LLL");
}

TEST(LocalControl, NetDrivenByTwoTransitionsGetsAWarning) {
  ControlDesign d;
  d.local("T1", "a", 'i').local("T1", "q", 'o');
  d.local("T2", "b", 'i').local("T2", "q", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_FALSE(run.has_errors);
  EXPECT_FALSE(run.has_problems);
  EXPECT_EQ(run.errors,
            "syn-tool: warning: local transition T2: net q is already driven by local transition T1\n");
  EXPECT_EQ(run.netlist, cell("buff", 1, {"a", "q"}) + cell("buff", 2, {"b", "q"}));
}

}  // namespace
}  // namespace syn::test
