// Transitions started and finished inside the data net: additions, and
// transfers that add a late input to a multiplexer.
#include <gtest/gtest.h>

#include "datapath_expect.hpp"

namespace syn::test {
namespace {

DatapathBuilder adder(const std::vector<std::string>& controls) {
  DatapathBuilder b;
  b.arc("add1", "a", 'i', 'd', "R").arc("add1", "b", 'i', 'd', "R");
  for (const std::string& c : controls) b.arc("add1", c, 'i', 'c');
  b.arc("add1", "s", 'o', 'd').arc("add1", "k", 'o', 'c').function("add1").width("s", 2);
  return b;
}

const std::vector<std::string> operands = {"a[1:0]", "a_bar[1:0]", "b[1:0]", "b_bar[1:0]"};

std::vector<std::string> adder_pins(const std::string& request, int instance) {
  const std::string u = "U" + std::to_string(instance) + "_add2_2";
  std::vector<std::string> pins = operands;
  pins.insert(pins.end(), {request, u + "[1:0]", u + "_bar[1:0]", u + "_done"});
  return pins;
}

TEST(DatapathInternal, AdderWithTwoDataNetControlInputs) {
  Bench b(adder({"p", "q"}).build());
  for (int i = 0; i < 10; ++i) b.netlist.new_instance();
  function_part_4(b.ctx, b.t("add1"));
  EXPECT_EQ(b.text(), cell("c2", 11, {"pq", "p", "q"}) + cell("add2_2", 12, adder_pins("pq", 12)) +
                          latch_stage(13, "U12_add2_2", "U12_add2_2_done", "s", 2, "k"));
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathInternal, AdderWithOneControlInputNeedsNoJoin) {
  Bench b(adder({"p"}).build());
  function_part_4(b.ctx, b.t("add1"));
  EXPECT_EQ(b.text(), cell("add2_2", 1, adder_pins("p", 1)) +
                          latch_stage(2, "U1_add2_2", "U1_add2_2_done", "s", 2, "k"));
}

TEST(DatapathInternal, AdderWidthFromItsResultPlace) {
  Bench b(adder({"p"}).width("a", 8).width("s", 3).build());
  function_part_4(b.ctx, b.t("add1"));
  EXPECT_EQ(b.netlist.comps().front().name, "add2_3");
  EXPECT_EQ(b.ctx.data_size, 3);
}

TEST(DatapathInternal, AdderWithoutWidthIsRefused) {
  Bench b(adder({"p"}).width("s", 0).build());
  function_part_4(b.ctx, b.t("add1"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(), "syn-tool: data transition add1: no width known for place s\n");
}

TEST(DatapathInternal, OperationsThatAreNotAdditionsStartedInTheDataNetAreReported) {
  Bench other(DatapathBuilder()
                  .arc("mul1", "a", 'i', 'd', "R")
                  .arc("mul1", "p", 'i', 'c')
                  .arc("mul1", "s", 'o', 'd')
                  .arc("mul1", "k", 'o', 'c')
                  .function("mul1")
                  .build());
  function_part_4(other.ctx, other.t("mul1"));
  Bench controlled(adder({"p", "go"}).local("L", {"x"}, {"go"}).build());
  function_part_4(controlled.ctx, controlled.t("add1"));
  for (Bench* b : {&other, &controlled}) EXPECT_EQ(b->text(), "");
  EXPECT_EQ(other.problems(),
            "syn-tool: data transition mul1: operation started inside the data net is not an "
            "addition started only there; not mapped\n");
  EXPECT_EQ(controlled.problems(),
            "syn-tool: data transition add1: operation started inside the data net is not an "
            "addition started only there; not mapped\n");
}

// Register r written by t1 (from a, started by q1) and by t2, a transfer of
// the result s started by the data net's own places.
DatapathBuilder late_input(const std::vector<std::string>& controls) {
  DatapathBuilder b;
  b.local("L1", {"go"}, {"q1"})
      .arc("t1", "a", 'i', 'd', "R")
      .arc("t1", "q1", 'i', 'c')
      .arc("t1", "r", 'o', 'd', "R")
      .arc("t1", "k1", 'o', 'c')
      .arc("t2", "s", 'i', 'd');
  for (const std::string& c : controls) b.arc("t2", c, 'i', 'c');
  b.arc("t2", "r", 'o', 'd', "R").arc("t2", "k2", 'o', 'c').width("r", 4);
  return b;
}

TEST(DatapathInternal, LateInputTakesTheNewNameOfItsStartPlace) {
  Bench b(late_input({"c"}).build());
  function_part_2(b.ctx, b.t("t1"));
  b.t("t2").mod_flag = 1;
  b.p("c").new_name = "x";
  EXPECT_EQ(b.t("t2").instant_num, 1);
  function_part_4(b.ctx, b.t("t2"));
  const comp_node& mux = b.netlist.comps().front();
  EXPECT_EQ(b.text(), cell("mux2_4", 1,
                           {"a[3:0]", "a_bar[3:0]", "q1", "s[3:0]", "s_bar[3:0]", "x", "k2",
                            "r_bar[3:0]", "r[3:0]"}));
  EXPECT_EQ(mux.next_pin, 9);
  EXPECT_EQ(mux.done, 1);
  EXPECT_EQ(b.problems(), "");
}

TEST(DatapathInternal, LateInputWithTwoStartPlacesJoinsThem) {
  Bench b(late_input({"c", "d"}).build());
  function_part_2(b.ctx, b.t("t1"));
  b.t("t2").mod_flag = 1;
  function_part_4(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), cell("mux2_4", 1,
                           {"a[3:0]", "a_bar[3:0]", "q1", "s[3:0]", "s_bar[3:0]", "cd", "k2",
                            "r_bar[3:0]", "r[3:0]"}) +
                          cell("c2", 2, {"cd", "c", "d"}));
}

TEST(DatapathInternal, TransferNotMarkedAsLateInputIsReported) {
  Bench unmarked(late_input({"c"}).build());
  function_part_2(unmarked.ctx, unmarked.t("t1"));
  function_part_4(unmarked.ctx, unmarked.t("t2"));  // mod_flag 0

  Bench unnumbered(late_input({"c"}).build());
  unnumbered.t("t2").mod_flag = 1;  // instant_num still 0
  function_part_4(unnumbered.ctx, unnumbered.t("t2"));

  EXPECT_EQ(unmarked.text(), cell("mux2_4", 1, {"a[3:0]", "a_bar[3:0]", "q1"}));
  EXPECT_EQ(unnumbered.text(), "");
  const std::string message =
      "syn-tool: data transition t2: transfer started inside the data net is not marked as a "
      "late multiplexer input; not mapped\n";
  EXPECT_EQ(unmarked.problems(), message);
  EXPECT_EQ(unnumbered.problems(), message);
}

TEST(DatapathInternal, LateInputWithoutMultiplexerForItsPlaceIsReported) {
  Bench b(late_input({"c"}).build());
  b.t("t2").mod_flag = 1;
  b.t("t2").instant_num = 7;  // a number left by some other multiplexer
  function_part_4(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), "");
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition t2: marked as a late multiplexer input, but no multiplexer "
            "feeds place r\n");
}

TEST(DatapathInternal, LateInputIntoACompleteMultiplexerIsRefused) {
  Bench b(late_input({"c"}).build());
  function_part_2(b.ctx, b.t("t1"));
  b.t("t2").mod_flag = 1;
  function_part_4(b.ctx, b.t("t2"));
  const std::string before = b.text();
  function_part_4(b.ctx, b.t("t2"));
  EXPECT_EQ(b.text(), before);
  EXPECT_EQ(b.problems(),
            "syn-tool: data transition t2: mux2_4 (instance 1) already has an input from every "
            "feeder\n");
}

}  // namespace
}  // namespace syn::test
