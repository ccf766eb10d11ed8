#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "netlist/netlist.hpp"
#include "netlist/write_netlist.hpp"

namespace syn {
namespace {

TEST(AddToPin, NumbersPinsFromOneInSlotOrder) {
  auto pins = add_to_pin({"a", "b", "c"});
  ASSERT_EQ(pins.size(), 3u);
  EXPECT_EQ(pins[1].name, "b");
  EXPECT_TRUE(add_to_pin({}).empty());
}

TEST(Netlist, InstanceNumbersRunInCreationOrderAndCanBeReserved) {
  Netlist netlist;
  const int reserved = netlist.new_instance();
  netlist.add("c2", {"a_b", "a", "b"});
  comp_node mux;
  mux.name = "mux2_8";
  mux.instant_num = reserved;
  netlist.append(mux);
  ASSERT_EQ(netlist.comps().size(), 2u);
  EXPECT_EQ(netlist.comps()[0].instant_num, 2);
  EXPECT_EQ(netlist.comps()[1].instant_num, 1);
  EXPECT_EQ(netlist.look_for_comp(1)->name, "mux2_8");
  EXPECT_EQ(netlist.look_for_comp(7), nullptr);
}

TEST(WriteNetlist, CellLineThenPinLinesWithPositions) {
  Netlist netlist;
  netlist.add("buff", {"a", "b"});
  comp_node odd;
  odd.name = "c2";
  odd.instant_num = netlist.new_instance();
  odd.pin_link = {{""}, {"x"}};
  netlist.append(odd);
  comp_node bare;
  bare.name = "dele";
  bare.instant_num = netlist.new_instance();
  netlist.append(bare);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_EQ(out.str(),
            "buff          1\n"
            "        Pin 1        a\n"
            "        Pin 2        b\n"
            "c2          2\n"
            "        Pin 1        \n"
            "        Pin 2        x\n"
            "dele          3\n");
}

TEST(WriteNetlist, InstanceNumbersPast999AreWrittenInFull) {
  Netlist netlist;
  for (int i = 0; i < 1234; ++i) netlist.new_instance();
  netlist.add("buff", {"a", "b"});
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_EQ(out.str().substr(0, 18), "buff          1235");
}

TEST(WriteNetlist, EmptyNetlistIsAnEmptyText) {
  std::ostringstream out;
  write_netlist(Netlist{}, out);
  EXPECT_EQ(out.str(), "");
}

// Text of one cell as the format gives it, built field by field.
std::string expected_text(const std::string& cell, int instance, const std::vector<std::string>& pins) {
  std::string text = cell + "          " + std::to_string(instance) + "\n";
  for (std::size_t i = 0; i < pins.size(); ++i)
    text += "        Pin " + std::to_string(i + 1) + "        " + pins[i] + "\n";
  return text;
}

// Many megabytes of netlist, with one cell larger than any buffer the writer
// starts with, so that the text is handed on in several pieces.
Netlist large_netlist(std::string& expected) {
  Netlist netlist;
  for (int i = 0; i < 60000; ++i) {
    const std::string a = "net_a_" + std::to_string(i), b = "a_much_longer_net_name_" + std::to_string(i);
    netlist.add("dlatch", {a, b});
    expected += expected_text("dlatch", i + 1, {a, b});
    if (i == 30000) {
      std::vector<std::string> wide;
      for (int k = 0; k < 300000; ++k) wide.push_back("w" + std::to_string(k));
      netlist.add("mux_wide", wide);
      expected += expected_text("mux_wide", i + 2, wide);
      ++i;
    }
  }
  return netlist;
}

TEST(WriteNetlist, LargeNetlistComesOutWholeAndInOrder) {
  std::string expected;
  const Netlist netlist = large_netlist(expected);
  ASSERT_GT(expected.size(), 12u << 20);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_TRUE(out.str() == expected);  // not EXPECT_EQ: a diff of megabytes helps no one

  const auto path = std::filesystem::temp_directory_path() / ("syn-large-" + std::to_string(getpid()));
  ASSERT_EQ(write_netlist_file(netlist, path), "");
  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(written == expected);
  std::filesystem::remove(path);
}

// A write that fails part way (here: the file size limit) is reported with
// the system's reason, and the file that was there stays as it was.
TEST(WriteNetlist, WriteFailingPartWayKeepsTheOldFile) {
  std::string expected;
  const Netlist netlist = large_netlist(expected);
  const auto dir = std::filesystem::temp_directory_path() / ("syn-fsize-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto path = dir / "out.net";
  { std::ofstream(path) << "old netlist\n"; }

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{5u << 20, 5u << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(write_netlist_file(netlist, path) == "File too large" ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "old netlist");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace syn
