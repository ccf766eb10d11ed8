// Whole designs through the readers and every mapper, with the netlist
// written by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "datapath_expect.hpp"
#include "datapath_nets.hpp"
#include "support.hpp"

namespace syn::test {
namespace {

std::string read(const std::string& design, const std::string& file) {
  std::ifstream in(std::string(SYN_TEST_DATA) + "/datapath/" + design + "/" + file,
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

RunResult run_design(const std::string& design) {
  return run_tables({read(design, "io.txt"), read(design, "global.txt"), read(design, "local.txt"),
                     read(design, "data.txt")});
}

TEST(DatapathGolden, RegisterWrittenByTwoTransfers) {
  const RunResult r = run_design("register_mux");
  ASSERT_TRUE(r.read_ok) << r.errors;
  EXPECT_EQ(r.netlist, cell("buff", 1, {"s1", "q1"}) + cell("buff", 2, {"s2", "q2"}) +
                           cell("mux2_2", 3,
                                {"a[1:0]", "a_bar[1:0]", "q1", "in1[1:0]", "in1_bar[1:0]", "q2",
                                 "k", "r_bar[1:0]", "r[1:0]"}));
  EXPECT_EQ(r.errors, "");
  EXPECT_FALSE(r.has_problems);
}

TEST(DatapathGolden, OperandLoadedByTwoTransfersOfOneStep) {
  const RunResult r = run_design("operand_mux");
  ASSERT_TRUE(r.read_ok) << r.errors;
  EXPECT_EQ(r.netlist,
            cell("buff", 1, {"s", "q1"}) + cell("buff", 2, {"s", "q2"}) +
                cell("add2_2", 3,
                     {"x[1:0]", "x_bar[1:0]", "y[1:0]", "y_bar[1:0]", "kx", "U3_add2_2[1:0]",
                      "U3_add2_2_bar[1:0]", "U3_add2_2_done"}) +
                latch_stage(4, "U3_add2_2", "U3_add2_2_done", "z", 2, "kz") +
                cell("c2", 8, {"q1q2", "q1", "q2"}) +
                cell("mux2_2", 7,
                     {"a[1:0]", "a_bar[1:0]", "q1q2", "b[1:0]", "b_bar[1:0]", "q1q2", "kx",
                      "x_bar[1:0]", "x[1:0]"}));
  EXPECT_EQ(r.errors, "");
  // Nothing in this small design reads the registers' sources, the
  // completion kz or the result z: they are its loose ends.
  std::vector<std::string> expected = {"kz"};
  for (const char* x : {"a", "a_bar", "b", "b_bar", "y", "y_bar", "z", "z_bar"})
    for (int b = 0; b < 2; ++b) expected.push_back(std::string(x) + "[" + std::to_string(b) + "]");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(single_pin_nets(r.netlist), expected);
}

}  // namespace
}  // namespace syn::test
