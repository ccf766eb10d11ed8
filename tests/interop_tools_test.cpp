// Proof by real tools: the Verilog form of a netlist must parse and
// elaborate in the simulator (iverilog) and in the synthesis tool (yosys),
// and the connections the synthesis tool reports must be the native
// netlist's, pin for pin and net for net, bit by bit.
//
// Besides netlists built here and the netlist files under tests/data, the
// check runs on every design folder (four tables io.txt, global.txt,
// local.txt, data.txt) under examples/ and under each folder named in the
// environment variable SYN_INTEROP_DESIGNS (separated by ':'; a folder of
// design folders counts too), e.g. generated designs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "interop_support.hpp"
#include "netlist/write_netlist.hpp"
#include "netlist/write_verilog.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"iverilog", "yosys"}) {
      if (!have_program(tool)) {
        GTEST_SKIP() << tool << " is not installed: Verilog interoperability not checked "
                     << "(.ci/run installs it; locally: apt-get install iverilog yosys)";
      }
    }
    char pattern[] = "/tmp/syn-interop-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Writes the Verilog form of `netlist` and checks it with both tools.
  std::string check(const Netlist& netlist, const std::string& top = "top",
                    bool allow_warnings = false) {
    VerilogNetlist verilog;
    if (auto error = build_verilog(netlist, top, verilog)) return *error;
    std::ofstream module(dir_ / "netlist.v");
    write_verilog_module(verilog, module);
    module.close();
    std::ofstream cells(dir_ / "cells.v");
    write_verilog_cells(verilog, cells);
    cells.close();
    return check_with_tools(netlist, dir_, "netlist.v", "cells.v", top, allow_warnings);
  }

  fs::path dir_;
};

TEST_F(ToolsTest, TransferNetlist) {
  Netlist netlist;
  netlist.add("c2", {"start", "k", "q"});
  for (int b = 3; b >= 0; --b) {
    const std::string i = "[" + std::to_string(b) + "]";
    netlist.add("dlatch", {"x" + i, "x_bar" + i, "q", "Reset_signal", "y" + i, "y_bar" + i, "y_done" + i});
  }
  netlist.add("done_4", {"y_done[3:0]", "k"});
  EXPECT_EQ(check(netlist, "transfer"), "");
}

TEST_F(ToolsTest, ClashingEscapedAndUnconnectedNames) {
  Netlist netlist;
  netlist.add("c", {"a", "a[2]", "a_1", "u2", "a[07]", "wire"});
  netlist.add("c", {"", "u1", "\xC3\xA9", "a b", "a_2", ""});
  netlist.add("c", {"a[0]", "x\\y", "3x", "p]q[3]", "a[1][2]", "$d"});
  netlist.add("odd-cell", {"a[2:1]", "module"});
  netlist.add("odd-cell", {"b[5:4]", "a"});
  netlist.add("nopins", {});
  EXPECT_EQ(check(netlist, "my-top"), "");
}

// A cell type met with fewer pins or narrower nets than elsewhere: the
// missing ports stay unconnected and must not take any net.
TEST_F(ToolsTest, UnevenUsesOfOneCellType) {
  Netlist netlist;
  netlist.add("mux", {"s[3:0]", "t", "u"});
  netlist.add("mux", {"v", "w"});
  netlist.add("mux", {"s[1:0]"});
  netlist.add("mux", {"", "s[2:1]", "v"});
  EXPECT_EQ(check(netlist, "top", true), "");
}

// Random netlists drawing on a pool of names made to collide: vectors and
// their plain namesakes, keywords, instance-like names, escapes.
Netlist random_netlist(unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::vector<std::string> bases = {"a", "a_bar", "a_done", "b", "r-1", "wire", "u3", "x\\y"};
  const std::vector<std::string> plain = {"a", "a_bar", "b[07]", "Reset_signal", "u1", "u2", "u3_1",
                                          "reg", "7up", "a[0:3]", "k$", "\xC3\xA9t\xC3\xA9", "", "b"};
  struct Type {
    std::string name;
    std::vector<int> widths;
  };
  std::vector<Type> types = {{"dlatch", {1, 1, 1, 1, 1, 1, 1}}, {"done_4", {4, 1}},
                             {"mul2_8", {8, 8, 1, 8, 1}},       {"c-3", {1, 1, 1, 1}},
                             {"buff", {1, 1}}};
  auto net_of_width = [&](int width) -> std::string {
    if (width == 1) {
      if (pick(2) == 0) return plain[static_cast<std::size_t>(pick(static_cast<int>(plain.size())))];
      return bases[static_cast<std::size_t>(pick(static_cast<int>(bases.size())))] + "[" + std::to_string(pick(12)) + "]";
    }
    const int low = pick(3) * width;
    return bases[static_cast<std::size_t>(pick(static_cast<int>(bases.size())))] + "[" +
           std::to_string(low + width - 1) + ":" + std::to_string(low) + "]";
  };
  Netlist netlist;
  const int cells = 20 + pick(30);
  for (int c = 0; c < cells; ++c) {
    const Type& type = types[static_cast<std::size_t>(pick(static_cast<int>(types.size())))];
    std::vector<std::string> nets;
    for (int width : type.widths) nets.push_back(net_of_width(width));
    comp_node& cell = netlist.add(type.name, nets);
    if (pick(8) == 0) cell.instant_num = 3;  // repeated instance numbers
  }
  return netlist;
}

TEST_F(ToolsTest, RandomNetlistsWithCollidingNames) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    EXPECT_EQ(check(random_netlist(seed)), "") << "seed " << seed;
  }
}

// Every netlist file kept as test data (golden netlists) goes through the
// tools too.
TEST_F(ToolsTest, NetlistFilesOfTheTestData) {
  std::vector<fs::path> files;
  if (fs::is_directory(SYN_TEST_DATA)) {
    for (const auto& entry : fs::recursive_directory_iterator(SYN_TEST_DATA)) {
      if (entry.path().extension() == ".net") files.push_back(entry.path());
    }
  }
  if (files.empty()) GTEST_SKIP() << "no netlist files under " << SYN_TEST_DATA;
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    EXPECT_EQ(check(parse_netlist(slurp(file)), "golden"), "");
  }
}

std::vector<fs::path> design_folders() {
  std::vector<fs::path> folders;
  auto add_children = [&folders](const fs::path& root) {
    if (!fs::is_directory(root)) return;
    for (const auto& entry : fs::directory_iterator(root)) {
      if (fs::exists(entry.path() / "data.txt")) folders.push_back(entry.path());
    }
  };
  add_children(SYN_EXAMPLES);
  if (const char* extra = std::getenv("SYN_INTEROP_DESIGNS")) {
    std::stringstream list(extra);
    std::string folder;
    while (std::getline(list, folder, ':')) {
      if (folder.empty()) continue;
      if (fs::exists(fs::path(folder) / "data.txt")) folders.emplace_back(folder);
      else add_children(folder);
    }
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

// Maps each design folder twice, as the native netlist and as Verilog, and
// checks the Verilog against the native file.
TEST_F(ToolsTest, DesignFolders) {
  const std::vector<fs::path> folders = design_folders();
  if (folders.empty()) GTEST_SKIP() << "no design folders found";
  for (const fs::path& folder : folders) {
    SCOPED_TRACE(folder.string());
    std::string tables;
    for (const char* name : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
      tables += " '" + (folder / name).string() + "'";
    }
    std::string log;
    const std::string tool = "cd '" + dir_.string() + "' && '" SYN_TOOL_BINARY "'" + tables;
    const int native_status = run_command(tool + " -o native.net", log);
    ASSERT_TRUE(native_status == 0 || native_status == 3) << log;
    const int verilog_status =
        run_command(tool + " --format verilog --cells cells.v -o design.v", log);
    EXPECT_EQ(verilog_status, native_status) << log;
    const Netlist native = parse_netlist(slurp(dir_ / "native.net"));
    EXPECT_EQ(check_with_tools(native, dir_, "design.v", "cells.v", "design"), "");
  }
}

}  // namespace
}  // namespace syn::test
