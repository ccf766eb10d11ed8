// Global control net mapping on designs built in memory; every expected
// netlist below is worked out by hand from the cell, pin and net rules.
#include <gtest/gtest.h>

#include <array>

#include "control_builder.hpp"

namespace syn::test {
namespace {

// A ring A -> {B, C} -> D -> A with OA, AND and plain shapes; A feeds C
// through two places (p1 and p2), and the set pins come from global, local
// and data producers.
ControlDesign ring() {
  ControlDesign d;
  d.global("A", "p5", 'i', 'G').global("A", "s5", 'i', 'L')
      .global("A", "p1", 'o', 'G').global("A", "p2", 'o', 'G').global("A", "s1", 'o', 'L');
  d.global("B", "p1", 'i', 'G').global("B", "s1", 'i', 'L')
      .global("B", "p3", 'o', 'G').global("B", "s3", 'o', 'L');
  d.global("C", "p1", 'i', 'G').global("C", "p2", 'i', 'G').global("C", "s1", 'i', 'L')
      .global("C", "x", 'i', 'L').global("C", "p3", 'o', 'G').global("C", "p4", 'o', 'G')
      .global("C", "s3", 'o', 'L');
  d.global("D", "p3", 'i', 'G').global("D", "p4", 'i', 'G').global("D", "y", 'i', 'L')
      .global("D", "s3", 'i', 'L').global("D", "p5", 'o', 'G').global("D", "s5", 'o', 'L');
  d.local("L1", "x0", 'i').local("L1", "x", 'o');
  d.data_place("y", {"t9"});
  return d;
}

TEST(GlobalControl, RingOfShapesGetsCellsBackwardSetAndForwardNets) {
  ControlDesign d = ring();
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.console, "GGGGL");
  const std::string d_bk = "I4bk_I2r11_I3r21_I3r11";
  const std::string c_bk = "I3bk_I1r12_I1r21";
  EXPECT_EQ(run.netlist,
            cell("DCsetresetOA21_0", 1, {"I1bk_I4r11", "D", "A", "I2bk_I1r11", c_bk, c_bk}) +
                cell("DCsetreset_0", 2, {"I2bk_I1r11", "A", "B", d_bk}) +
                cell("DCsetAND2resetAND2_0", 3, {c_bk, "L1_x", "A", "C", d_bk, d_bk}) +
                cell("DCsetOA21reset_0", 4, {d_bk, "B", "C", "t9_y", "D", "I1bk_I4r11"}) +
                cell("buff", 5, {"x0", "L1_x"}));
}

// P feeds T through two places a and b: each backward entry of T takes P's
// reset entry of its own arc, so both reset pins of P are named.
TEST(GlobalControl, ForkAndJoinNamesBothResetPinsOfTheProducer) {
  ControlDesign d;
  d.global("P", "c", 'i', 'G').global("P", "h", 'i', 'L')
      .global("P", "a", 'o', 'G').global("P", "b", 'o', 'G').global("P", "f", 'o', 'L');
  d.global("T", "a", 'i', 'G').global("T", "b", 'i', 'G').global("T", "f", 'i', 'L')
      .global("T", "c", 'o', 'G').global("T", "h", 'o', 'L');
  d.local("L7", "e", 'i').local("L7", "f", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  const std::string t_bk = "I2bk_I1r21_I1r11";
  EXPECT_EQ(run.netlist,
            cell("DCsetresetAND2_0", 1, {"I1bk_I2r11", "T", "P", t_bk, t_bk}) +
                cell("DCsetAND2reset_0", 2, {t_bk, "P", "L7_f", "T", "I1bk_I2r11"}) +
                cell("buff", 3, {"e", "L7_f"}));
}

// OR shapes on both sides; an output place read only by the local net names
// the forward pin after itself, and the local transition reads that net.
TEST(GlobalControl, OrShapesAndForwardNetNamedAfterALocalPlace) {
  ControlDesign d;
  d.global("X", "q2", 'i', 'G').global("X", "v", 'i', 'L')
      .global("X", "q1", 'o', 'G').global("X", "u", 'o', 'L');
  d.global("Y", "q1", 'i', 'G').global("Y", "u", 'i', 'L')
      .global("Y", "q2", 'o', 'G').global("Y", "w", 'o', 'L');
  d.global("Z", "q1", 'i', 'G').global("Z", "u", 'i', 'L')
      .global("Z", "q2", 'o', 'G').global("Z", "v", 'o', 'L');
  d.local("M", "w", 'i').local("M", "v", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  // X: set q2 has producers Y, Z; v has producers Z (global) and M (local).
  EXPECT_EQ(run.netlist,
            cell("DCsetOR2resetOR2_0", 1, {"I1bk_I2r11_I3r11", "Z", "M_v", "X", "I2bk_I1r11",
                                           "I3bk_I1r12"}) +
                cell("DCsetreset_0", 2, {"I2bk_I1r11", "X", "w", "I1bk_I2r11_I3r11"}) +
                cell("DCsetreset_0", 3, {"I3bk_I1r12", "X", "Z", "I1bk_I2r11_I3r11"}) +
                cell("buff", 4, {"w", "M_v"}));
}

TEST(GlobalControl, EqualCountsPutTheLaterPlaceFirst) {
  // T's output places a, b, c each have one consumer: the reset list is
  // c, b, a, so U (consumer of a) has group r31 on T's third reset pin.
  ControlDesign d;
  d.global("T", "z", 'i', 'G').global("T", "l1", 'i', 'L')
      .global("T", "a", 'o', 'G').global("T", "b", 'o', 'G').global("T", "c", 'o', 'G');
  d.global("U", "a", 'i', 'G').global("U", "b", 'i', 'G').global("U", "c", 'i', 'G')
      .global("U", "l2", 'i', 'L').global("U", "z", 'o', 'G').global("U", "l1", 'o', 'L');
  d.local("K", "k", 'i').local("K", "l2", 'o');
  d.data_place("l2", {"d1", "d2"});
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  const std::string u_bk = "I2bk_I1r31_I1r21_I1r11";
  EXPECT_EQ(run.netlist,
            cell("DCsetresetAND3_0", 1, {"I1bk_I2r11", "U", "T", u_bk, u_bk, u_bk}) +
                cell("DCsetAND3reset_0", 2, {u_bk, "K_l2", "d1_l2", "d2_l2", "U", "I1bk_I2r11"}) +
                cell("buff", 3, {"k", "K_l2"}));
}

// ---- forward pins of transitions with other than one local output ---------

TEST(GlobalControl, ForwardPinWithoutLocalOutputCarriesTheTransitionName) {
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "a", 'o', 'G').global("P", "n", 'i', 'L');
  d.global("Q", "a", 'i', 'G').global("Q", "a", 'i', 'L').global("Q", "b", 'o', 'G')
      .global("Q", "n", 'o', 'L');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  // Q reads a under both tags: its set pin names a's producer P, which is
  // the net on P's forward pin.
  EXPECT_EQ(run.netlist, cell("DCsetreset_0", 1, {"I1bk_I2r11", "Q", "P", "I2bk_I1r11"}) +
                             cell("DCsetreset_0", 2, {"I2bk_I1r11", "P", "Q", "I1bk_I2r11"}));
}

TEST(GlobalControl, ForwardPinDrivingSeveralGloballyReadPlacesCarriesTheTransitionName) {
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "c", 'i', 'G').global("P", "n", 'i', 'L')
      .global("P", "m", 'i', 'L').global("P", "a", 'o', 'G').global("P", "d", 'o', 'G')
      .global("P", "f", 'o', 'L').global("P", "g", 'o', 'L');
  d.global("Q", "a", 'i', 'G').global("Q", "f", 'i', 'L').global("Q", "b", 'o', 'G')
      .global("Q", "n", 'o', 'L');
  d.global("R", "d", 'i', 'G').global("R", "g", 'i', 'L').global("R", "c", 'o', 'G')
      .global("R", "m", 'o', 'L');
  ControlRun run = map_control(d.finish());
  EXPECT_EQ(run.errors, "");
  const std::string p_bk = "I1bk_I2r11_I3r11";
  EXPECT_EQ(run.netlist,
            cell("DCsetAND2resetAND2_0", 1, {p_bk, "R", "Q", "P", "I3bk_I1r11", "I2bk_I1r21"}) +
                cell("DCsetreset_0", 2, {"I2bk_I1r21", "P", "Q", p_bk}) +
                cell("DCsetreset_0", 3, {"I3bk_I1r11", "P", "R", p_bk}));
}

// A two-transition ring whose set pins come from local transitions K1 and
// K2; `extra` adds lines to P.
ControlDesign local_started_pair(const std::vector<std::array<std::string, 3>>& extra) {
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "n", 'i', 'L').global("P", "a", 'o', 'G');
  for (const auto& line : extra) d.global("P", line[0], line[1][0], line[2][0]);
  d.global("Q", "a", 'i', 'G').global("Q", "m", 'i', 'L').global("Q", "b", 'o', 'G')
      .global("Q", "f", 'o', 'L');
  d.local("K1", "k1", 'i').local("K1", "n", 'o').local("K2", "k2", 'i').local("K2", "m", 'o');
  return d;
}

TEST(GlobalControl, ForwardPinCannotServeAPlaceReadOnlyLocallyBesideAnother) {
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "n", 'i', 'L').global("P", "a", 'o', 'G')
      .global("P", "c", 'o', 'G').global("P", "f", 'o', 'L').global("P", "g", 'o', 'L');
  d.global("Q", "a", 'i', 'G').global("Q", "c", 'i', 'G').global("Q", "m", 'i', 'L')
      .global("Q", "f", 'i', 'L').global("Q", "b", 'o', 'G');
  d.local("K1", "k1", 'i').local("K1", "n", 'o').local("K2", "k2", 'i').local("K2", "m", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors,
            "syn-tool: global transition P: its one forward pin cannot drive 2 local output "
            "places, and place g has no consumer in the global net to share the transition's "
            "name\n");
}

TEST(GlobalControl, TwoForwardPinsOnOnePlaceGetAWarning) {
  // P and Q both put their forward signal on place f, which only the local
  // net reads: both pins drive net f.
  ControlDesign d = local_started_pair({{{"f", "o", "L"}}});
  ControlRun run = map_control(d.finish());
  EXPECT_FALSE(run.has_errors);
  EXPECT_FALSE(run.has_problems);
  EXPECT_EQ(run.errors,
            "syn-tool: warning: global transition Q: its forward net f is already driven by global "
            "transition P\n");
  EXPECT_EQ(run.netlist, cell("DCsetreset_0", 1, {"I1bk_I2r11", "K1_n", "f", "I2bk_I1r11"}) +
                             cell("DCsetreset_0", 2, {"I2bk_I1r11", "K2_m", "f", "I1bk_I2r11"}) +
                             cell("buff", 3, {"k1", "K1_n"}) + cell("buff", 4, {"k2", "K2_m"}));
}

// ---- shapes refused before any cell is built ------------------------------

void expect_refused(ControlDesign& d, const std::string& errors) {
  ControlRun run = map_control(d.finish());
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors, errors);
  EXPECT_EQ(run.console.find('G'), std::string::npos);
  EXPECT_EQ(run.netlist.find("DC"), std::string::npos);
}

TEST(GlobalControl, TransitionWithoutGlobalInputAndSplitTransitionAreRefused) {
  ControlDesign d = local_started_pair({});
  d.global("R", "n", 'i', 'L').global("R", "r", 'o', 'G');
  d.global("Q", "r", 'i', 'G');
  expect_refused(d,
                 "syn-tool: global transition R: no input place of the global net; its control "
                 "cell needs at least one\n"
                 "syn-tool: global transition Q: its lines stand in two separate groups (lines 6 "
                 "and 12); the lines of one transition must follow each other\n");
}

TEST(GlobalControl, TransitionWithoutGlobalOutputIsRefused) {
  ControlDesign d = local_started_pair({});
  d.global("R", "a", 'i', 'G').global("R", "m", 'o', 'L');
  expect_refused(d,
                 "syn-tool: global transition R: no output place of the global net; its control "
                 "cell needs at least one\n");
}

TEST(GlobalControl, GlobalPlacesWithoutProducerOrConsumerAreRefused) {
  ControlDesign d = local_started_pair({{{"e", "i", "G"}}, {{"o", "o", "G"}}});
  expect_refused(d,
                 "syn-tool: global transition P: global input place e has no producer in the "
                 "global net\n"
                 "syn-tool: global transition P: global output place o has no consumer in the "
                 "global net\n");
}

TEST(GlobalControl, PlaceListedTwiceIsRefused) {
  ControlDesign d = local_started_pair({{{"a", "o", "G"}}, {{"n", "i", "L"}}});
  expect_refused(d,
                 "syn-tool: global transition P: place n is listed twice as a local input place\n"
                 "syn-tool: global transition P: place a is listed twice as a global output "
                 "place\n");
}

// ---- nets whose pins cannot all be named once ----------------------------

TEST(GlobalControl, ProducerWithoutTheGlobalOutputArcIsRefused) {
  // Q reads a as a global place, P writes it as a local one: Q's backward
  // net has no reset pin of P to join.
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "n", 'i', 'L').global("P", "a", 'o', 'L')
      .global("P", "c", 'o', 'G');
  d.global("Q", "a", 'i', 'G').global("Q", "c", 'i', 'G').global("Q", "m", 'i', 'L')
      .global("Q", "m2", 'i', 'L').global("Q", "b", 'o', 'G');
  d.local("K1", "k1", 'i').local("K1", "n", 'o').local("K2", "k2", 'i').local("K2", "m", 'o')
      .local("K2", "m2", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors,
            "syn-tool: global transition Q: global input place a comes from P, which does not "
            "list a as a global output place\n");
}

TEST(GlobalControl, ConsumerWithoutTheGlobalInputArcIsRefused) {
  // P writes a as a global place, Q reads it only as a local one: P's reset
  // pin for Q would stay unconnected.
  ControlDesign d;
  d.global("P", "b", 'i', 'G').global("P", "n", 'i', 'L').global("P", "a", 'o', 'G')
      .global("P", "c", 'o', 'G');
  d.global("Q", "c", 'i', 'G').global("Q", "a", 'i', 'L').global("Q", "b", 'o', 'G');
  d.local("K1", "k1", 'i').local("K1", "n", 'o');
  ControlRun run = map_control(d.finish());
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors,
            "syn-tool: global transition P: global output place a goes to Q, which does not list "
            "a as a global input place\n");
}

TEST(GlobalControl, SetSignalsMustMatchTheSetPins) {
  // Too few: P has one set pin and no local input place.
  ControlDesign few;
  few.global("P", "b", 'i', 'G').global("P", "a", 'o', 'G');
  few.global("Q", "a", 'i', 'G').global("Q", "m", 'i', 'L').global("Q", "b", 'o', 'G');
  few.local("K2", "k2", 'i').local("K2", "m", 'o');
  ControlRun run = map_control(few.finish());
  EXPECT_EQ(run.errors,
            "syn-tool: global transition P: its local input places have 0 producers, but its "
            "cell has 1 set pins (one per producer of its global input places)\n");

  // Too many: Q's local input m has two local producers for one set pin;
  // naming on would overwrite the forward pin.
  ControlDesign many = local_started_pair({});
  many.local("K3", "k3", 'i').local("K3", "m", 'o');
  run = map_control(many.finish());
  EXPECT_EQ(run.errors,
            "syn-tool: global transition Q: its local input places have 2 producers, but its "
            "cell has 1 set pins (one per producer of its global input places)\n");
}

}  // namespace
}  // namespace syn::test
