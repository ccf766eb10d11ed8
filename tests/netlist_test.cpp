// The netlist writer on netlists larger than any case: every byte in order
// through its chunked writing, and a write failing part way.
// The text of small netlists is in every case of tests/cases.
#include "netlist/netlist.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "netlist/write_file.hpp"
#include "netlist/write_netlist.hpp"
#include "test_files.hpp"

namespace syn {
namespace {

using test::read_file;
using test::TempDir;

// Text of one cell as the format gives it, built field by field.
std::string expected_text(const std::string& cell, int instance, const std::vector<std::string>& pins) {
  std::string text = cell + "          " + std::to_string(instance) + "\n";
  for (std::size_t i = 0; i < pins.size(); ++i)
    text += "        Pin " + std::to_string(i + 1) + "        " + pins[i] + "\n";
  return text;
}

// Many megabytes of netlist, with cells larger than any buffer the writer
// starts with, so that the text is handed on in several pieces.
Netlist large_netlist(Symbols& symbols, std::string& expected) {
  Netlist netlist(symbols);
  for (int i = 0; i < 60000; ++i) {
    const std::string a = "net_a_" + std::to_string(i), b = "a_much_longer_net_name_" + std::to_string(i);
    netlist.add(latch_cell(), std::vector<std::string>{a, b});
    expected += expected_text("dlatch", i + 1, {a, b});
    // Cells of more pins than are kept in one block, and cells that do not
    // fit in what is left of a block.
    if (i == 20000 || i == 30000 || i == 30002) {
      std::vector<std::string> wide;
      const int pins = i == 30000 ? 1200000 : 700000;
      for (int k = 0; k < pins; ++k) wide.push_back("w" + std::to_string(k));
      netlist.add(join_cell(pins - 1), wide);
      expected += expected_text("c" + std::to_string(pins - 1), i + 2, wide);
      ++i;
    }
  }
  return netlist;
}

// A pin past a cell's last is refused whichever way its net is named, so a
// mapper's miscount cannot write into the next cell's pins.
TEST(Netlist, NamingAPinPastTheLastIsRefused) {
  Symbols symbols;
  Netlist netlist(symbols);
  const SymbolText design_name{symbols.intern("p"), "p"};
  const Cell& cell = netlist.start_cell(buffer_cell(), 2);
  netlist.name_pin(cell, 1, FixedName{"Reset_signal", 1});
  EXPECT_THROW(netlist.name_pin(cell, 2, std::string_view("n")), std::out_of_range);
  EXPECT_THROW(netlist.name_pin(cell, 2, design_name), std::out_of_range);
  EXPECT_THROW(netlist.name_pin(cell, 2, NetName(design_name)), std::out_of_range);
  EXPECT_THROW(netlist.name_pin(cell, 2, FixedName{"Reset_signal", 1}), std::out_of_range);
  EXPECT_THROW(netlist.name_pin(cell, 2, BusNet{"x", Rail::true_rail, 0, 0, false}),
               std::out_of_range);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_EQ(out.str(),
            "buff          1\n        Pin 1        \n        Pin 2        Reset_signal\n");
}

TEST(WriteNetlist, LargeNetlistComesOutWholeAndInOrder) {
  std::string expected;
  Symbols symbols;
  const Netlist netlist = large_netlist(symbols, expected);
  ASSERT_GT(expected.size(), 12u << 20);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_TRUE(out.str() == expected);  // not EXPECT_EQ: a diff of megabytes helps no one

  const TempDir dir;
  ReplacingFile file(dir.path() / "out.net");
  ASSERT_EQ(write_netlist(netlist, file), "");
  EXPECT_TRUE(read_file(dir.path() / "out.net") == expected);
}

// A write that fails part way (here: the file size limit) is reported with
// the system's reason, and the file that was there stays as it was; also
// when the file is written on a second thread as the cells settle.
TEST(WriteNetlist, WriteFailingPartWayKeepsTheOldFile) {
  std::string expected;
  Symbols symbols;
  Netlist netlist = large_netlist(symbols, expected);
  netlist.settle_all();
  for (const bool while_mapping : {false, true}) {
    SCOPED_TRACE(while_mapping ? "written as the cells settle" : "written at once");
    const TempDir dir;
    const auto path = dir.path() / "out.net";
    test::write_file(path, "old netlist\n");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{5u << 20, 5u << 20};
      setrlimit(RLIMIT_FSIZE, &limit);
      const std::string failure = [&] {
        ReplacingFile file(path);  // gone before _exit, with its temporary
        return while_mapping ? NetlistFileWriter(netlist, file).finish()
                             : write_netlist(netlist, file);
      }();
      _exit(failure == "File too large" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(read_file(path), "old netlist\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

}  // namespace
}  // namespace syn
