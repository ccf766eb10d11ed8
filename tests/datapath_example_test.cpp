// The complete multiply-accumulate example: every kind of cell, every
// multiplexer complete, and names that meet.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "datapath_expect.hpp"
#include "datapath_nets.hpp"
#include "support.hpp"

namespace syn::test {
namespace {

std::string read_example(const std::string& name) {
  std::ifstream in(std::string(SYN_EXAMPLES) + "/mac/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

RunResult run_example() {
  return run_tables({read_example("io.txt"), read_example("global.txt"), read_example("local.txt"),
                     read_example("data.txt")});
}

std::vector<std::string> bits(const std::string& x) {
  return {x + "[0]", x + "[1]", x + "[2]", x + "[3]"};
}

TEST(DatapathExample, MapsCleanlyAndEveryNetMeets) {
  const RunResult run = run_example();
  ASSERT_TRUE(run.read_ok) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_FALSE(run.has_problems);

  // Reviewed by hand: the primary inputs and outputs (bit by bit) and the
  // two constant sources that only the single one bit of `one` uses.
  std::vector<std::string> expected = {"DCasyncvalue0", "DCasyncvalue1"};
  for (const char* x : {"bin", "bin_bar", "din", "din_bar", "dout", "dout_bar"})
    for (const std::string& b : bits(x)) expected.push_back(b);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(single_pin_nets(run.netlist), expected);
}

TEST(DatapathExample, UsesEveryKindOfCell) {
  const RunResult run = run_example();
  for (const char* name : {"DCsetreset_0", "c2", "buff", "dlatch", "done_4", "comp_4", "OR2",
                           "mul2_4", "dele", "add2_4", "mux2_4"})
    EXPECT_NE(run.netlist.find(std::string(name) + "          "), std::string::npos) << name;
}

}  // namespace
}  // namespace syn::test
