// Whole designs through the readers and the mapper: tables under
// tests/data/control, expected cells and nets worked out by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "cli/run.hpp"
#include "control_builder.hpp"
#include "support.hpp"

namespace syn::test {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Tables design_tables(const std::string& name) {
  const std::string dir = std::string(SYN_TEST_DATA) + "/control/" + name + "/";
  return {read_file(dir + "io.txt"), read_file(dir + "gn.txt"), read_file(dir + "ln.txt"),
          read_file(dir + "dn.txt")};
}

TEST(ControlGolden, TwoRingsWithSharedPlacesAndLocalJoins) {
  const RunResult run = run_tables(design_tables("ring"));
  ASSERT_TRUE(run.read_ok) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.console, "Initializing......\nGGGGGGGLLLLL");

  const std::string c_bk = "I3bk_I1r12_I1r21";
  const std::string d_bk = "I4bk_I2r11_I3r21_I3r11";
  const std::string x_bk = "I5bk_I6r11_I7r11";
  const std::string ring =
      cell("DCsetresetOA21_0", 1, {"I1bk_I4r11", "D", "A", "I2bk_I1r11", c_bk, c_bk}) +
      cell("DCsetreset_0", 2, {"I2bk_I1r11", "A", "B", d_bk}) +
      cell("DCsetAND2resetAND2_0", 3, {c_bk, "L1_x", "A", "C", d_bk, d_bk}) +
      cell("DCsetOA21reset_0", 4, {d_bk, "B", "C", "L2_y", "D", "I1bk_I4r11"});
  const std::string or_ring =
      cell("DCsetOR2resetOR2_0", 5, {x_bk, "Z", "M_v", "X", "I6bk_I5r11", "I7bk_I5r12"}) +
      cell("DCsetreset_0", 6, {"I6bk_I5r11", "X", "w", x_bk}) +
      cell("DCsetreset_0", 7, {"I7bk_I5r12", "X", "Z", x_bk});
  const std::string local =
      cell("buff", 8, {"x0", "L1_x"}) +                            // L1
      cell("c2", 9, {"L2_y", "a", "b"}) +                          // L2
      cell("buff", 10, {"w", "m1"}) + cell("buff", 11, {"w", "M_v"}) +  // M
      cell("c2", 12, {"c_m1", "c", "m1"}) + cell("buff", 13, {"c_m1", "a"}) +
      cell("buff", 14, {"c_m1", "b"}) + cell("buff", 15, {"c_m1", "x0"});  // N
  EXPECT_EQ(run.netlist, ring + or_ring + local);
}

TEST(ControlGolden, ForkAndJoinNamesEachResetPinOnce) {
  const RunResult run = run_tables(design_tables("fork_join"));
  ASSERT_TRUE(run.read_ok) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.console, "Initializing......\nGGL");
  const std::string t_bk = "I2bk_I1r21_I1r11";
  EXPECT_EQ(run.netlist, cell("DCsetresetAND2_0", 1, {"I1bk_I2r11", "T", "P", t_bk, t_bk}) +
                             cell("DCsetAND2reset_0", 2, {t_bk, "P", "L7_f", "T", "I1bk_I2r11"}) +
                             cell("buff", 3, {"e", "L7_f"}));
}

// A transition whose lines are split by another's is refused, with the line
// numbers of both groups, and so is a local transition without inputs.
TEST(ControlGolden, SplitGlobalTransitionAndInputlessLocalTransitionAreRefused) {
  Tables tables = design_tables("fork_join");
  tables.global_net += "P         g         i         0         L\n";
  tables.local_net += "L8        f2        o\n";
  const RunResult run = run_tables(tables);
  ASSERT_TRUE(run.read_ok) << run.errors;
  EXPECT_TRUE(run.has_errors);
  EXPECT_EQ(run.errors,
            "syn-tool: global transition P: its lines stand in two separate groups (lines 3 and "
            "13); the lines of one transition must follow each other\n"
            "syn-tool: local transition L8: no input place; a join cell without inputs has "
            "nothing to wait for\n");
}

// Through the command line: a refused design ends with status 1, its
// message on standard error and no netlist file.
TEST(ControlGolden, RefusedDesignWritesNoNetlist) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("control_refused_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  Tables tables = design_tables("fork_join");
  tables.global_net += "U         b         i         0         G\n";  // no global output
  const std::string texts[4] = {tables.io_spec, tables.global_net, tables.local_net, tables.data_net};
  const char* files[4] = {"io.txt", "gn.txt", "ln.txt", "dn.txt"};
  std::vector<std::string> args{"syn-tool"};
  for (int i = 0; i < 4; ++i) {
    std::ofstream(dir / files[i], std::ios::binary) << texts[i];
    args.push_back((dir / files[i]).string());
  }
  const fs::path netlist = dir / "out.net";
  args.push_back("-o");
  args.push_back(netlist.string());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());

  std::istringstream in;
  std::ostringstream out, err;
  const int status = run_tool(static_cast<int>(argv.size()), argv.data(), in, out, err);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err.str(),
            "syn-tool: global transition U: no output place of the global net; its control cell "
            "needs at least one\n"
            "syn-tool: no netlist written\n");
  EXPECT_FALSE(fs::exists(netlist));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace syn::test
