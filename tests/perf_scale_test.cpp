// Large shapes finish and come out right: long chains of transfers, places
// with thousands of readers or writers, a multiplexer with hundreds of
// feeders, cells with thousands of pins, and the benchmark's generated
// designs. These check results only; how long they take is the benchmark's
// business.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "datapath_builder.hpp"
#include "map/datapath.hpp"
#include "support.hpp"

namespace syn::test {
namespace {

// One table line with each field at the start of its ten-character column.
std::string row(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].empty()) continue;
    line.resize(10 * i, ' ');
    line += fields[i];
  }
  return line + "\n";
}

struct Shape {
  std::string io = "IO\nspecification\n----\n";
  std::string global = "global net\n" + row({"trans", "place", "io", "x", "net"});
  std::string local = "local net\n" + row({"trans", "place", "io"});
  std::string data = "data net\n" + row({"trans", "place", "io", "dc", "ty", "val", "rel"});

  // A place of the local net that no cell drives: a local transition that
  // only reads it.
  void local_place(const std::string& p) { local += row({"L_" + p, p, "i"}); }
  Tables tables() const { return {io, global, local, data}; }
};

// The messages without the warnings about control inputs that nothing
// produces: these shapes start their transfers from local places that no
// transition drives.
std::string without_undriven_warnings(const std::string& errors) {
  std::string kept;
  std::istringstream in(errors);
  for (std::string line; std::getline(in, line);) {
    if (line.find("is produced by no transition of any net") == std::string::npos) {
      kept += line + "\n";
    }
  }
  return kept;
}

struct Cell {
  std::string name;
  std::vector<std::string> pins;
};

std::vector<Cell> cells_of(const std::string& netlist) {
  std::vector<Cell> cells;
  std::istringstream in(netlist);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("        Pin ", 0) == 0) {
      // "        Pin " number "        " net
      cells.back().pins.push_back(line.substr(line.find("        ", 12) + 8));
    } else {
      cells.push_back({line.substr(0, line.find(' ')), {}});
    }
  }
  return cells;
}

std::map<std::string, int> count_by_name(const std::vector<Cell>& cells) {
  std::map<std::string, int> counts;
  for (const Cell& c : cells) ++counts[c.name];
  return counts;
}

std::string number(int i, int digits) {
  std::string text = std::to_string(i);
  return std::string(static_cast<std::size_t>(digits) - text.size(), '0') + text;
}

// A chain of plain transfers x -> p... -> y whose place names fall along the
// data flow, so that the widths (declared for x only) travel against the
// order of the place list, one place per sweep if it were swept.
TEST(PerfShapes, LongChainTakesItsWidthAgainstListOrder) {
  const int n = 3000;
  Shape d;
  d.io += "reg [5] x\n";
  auto place = [&](int i) {  // the place after transfer i
    return i == n - 1 ? std::string("y") : "p" + number(n - i, 5);
  };
  for (int i = 0; i < n; ++i) {
    const std::string t = "t" + number(i, 5);
    d.local_place("c" + number(i, 5));
    d.local_place("k" + number(i, 5));
    d.data += row({t, i == 0 ? "x" : place(i - 1), "i", "d", i == 0 ? "V" : ""});
    d.data += row({t, "c" + number(i, 5), "i", "c"});
    d.data += row({t, place(i), "o", "d", i == n - 1 ? "V" : ""});
    d.data += row({t, "k" + number(i, 5), "o", "c"});
  }
  // Only x has a width; every place takes it, and every transfer is 5 bits
  // wide.
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  EXPECT_EQ(without_undriven_warnings(r.errors), "");
  const std::vector<Cell> cells = cells_of(r.netlist);
  const auto counts = count_by_name(cells);
  EXPECT_EQ(counts.at("dlatch"), 5 * n);
  EXPECT_EQ(counts.at("done_5"), n);
  EXPECT_EQ(counts.size(), 2u);
  // The first transfer latches x[4] into the first inner place.
  ASSERT_GE(cells.size(), 1u);
  EXPECT_EQ(cells[0].pins[0], "x[4]");
  EXPECT_EQ(cells[0].pins[4], place(0) + "[4]");
}

// Transfers whose completion goes to a control place of the data net walk
// the data chain below them; along one long chain each of them ends in its
// own inner place, which nothing else writes, and is refused.
TEST(PerfShapes, EveryTransferOfALongChainIsJudgedOnItsOwn) {
  const int n = 3000;
  Shape d;
  d.io += "reg [8] x\nreg [8] y\n";
  for (int i = 0; i < n; ++i) {
    const std::string t = "t" + number(i, 5);
    d.local_place("c" + number(i, 5));
    d.data += row({t, i == 0 ? "x" : "p" + number(i - 1, 5), "i", "d", i == 0 ? "V" : ""});
    d.data += row({t, "c" + number(i, 5), "i", "c"});
    d.data += row({t, i == n - 1 ? "y" : "p" + number(i, 5), "o", "d", i == n - 1 ? "V" : ""});
    d.data += row({t, "k" + number(i, 5), "o", "c"});
  }
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  std::string expected;
  for (int i = 0; i < n; ++i) {
    const std::string fed = i == n - 1 ? "y" : "p" + number(i, 5);
    expected += "syn-tool: data transition t" + number(i, 5) + ": only transfer into place " + fed +
                ", no multiplexer needed; not mapped\n";
  }
  EXPECT_EQ(without_undriven_warnings(r.errors), expected);
  EXPECT_EQ(r.netlist, "");
}

// One register written by 300 transfers: one multiplexer with three input
// pins per feeder, in mapping order, then the last feeder's completion and
// the register's rails.
TEST(PerfShapes, MultiplexerWithHundredsOfFeeders) {
  const int n = 300;
  Shape d;
  d.io += "reg [8] y\n";
  for (int i = 0; i < n; ++i) {
    const std::string f = "f" + number(i, 3);
    d.io += "reg [8] s" + number(i, 3) + "\n";
    d.local_place("c" + number(i, 3));
    d.data += row({f, "s" + number(i, 3), "i", "d", "V"});
    d.data += row({f, "c" + number(i, 3), "i", "c"});
    d.data += row({f, "y", "o", "d", "V"});
    d.data += row({f, "k" + number(i, 3), "o", "c"});
  }
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  EXPECT_EQ(without_undriven_warnings(r.errors), "");
  const std::vector<Cell> cells = cells_of(r.netlist);
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].name, "mux300_8");
  ASSERT_EQ(cells[0].pins.size(), static_cast<std::size_t>(3 * n + 3));
  for (int i = 0; i < n; ++i) {
    const std::string s = "s" + number(i, 3);
    EXPECT_EQ(cells[0].pins[3 * i], s + "[7:0]");
    EXPECT_EQ(cells[0].pins[3 * i + 1], s + "_bar[7:0]");
    EXPECT_EQ(cells[0].pins[3 * i + 2], "c" + number(i, 3));
  }
  EXPECT_EQ(cells[0].pins[3 * n], "k299");
  EXPECT_EQ(cells[0].pins[3 * n + 1], "y_bar[7:0]");
  EXPECT_EQ(cells[0].pins[3 * n + 2], "y[7:0]");
}

// One register read by 3000 plain transfers, each into its own register.
TEST(PerfShapes, RegisterWithThousandsOfReaders) {
  const int n = 3000;
  Shape d;
  d.io += "reg [4] x\n";
  for (int i = 0; i < n; ++i) {
    const std::string t = "t" + number(i, 4);
    d.io += "reg [4] y" + number(i, 4) + "\n";
    d.local_place("c" + number(i, 4));
    d.local_place("k" + number(i, 4));
    d.data += row({t, "x", "i", "d", "V"});
    d.data += row({t, "c" + number(i, 4), "i", "c"});
    d.data += row({t, "y" + number(i, 4), "o", "d", "V"});
    d.data += row({t, "k" + number(i, 4), "o", "c"});
  }
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  EXPECT_EQ(without_undriven_warnings(r.errors), "");
  const std::vector<Cell> cells = cells_of(r.netlist);
  ASSERT_EQ(cells.size(), static_cast<std::size_t>(5 * n));
  const Cell& last_done = cells.back();
  EXPECT_EQ(last_done.name, "done_4");
  EXPECT_EQ(last_done.pins, (std::vector<std::string>{"y2999_done[3:0]", "k2999"}));
  const Cell& last_latch = cells[cells.size() - 2];
  EXPECT_EQ(last_latch.pins, (std::vector<std::string>{"x[0]", "x_bar[0]", "c2999", "Reset_signal",
                                                       "y2999[0]", "y2999_bar[0]", "y2999_done[0]"}));
}

// A local transition joining 2000 places and a transfer started by 2000
// control places: two join cells with 2001 pins each.
TEST(PerfShapes, CellsWithThousandsOfPins) {
  const int n = 2000;
  Shape d;
  d.io += "reg [2] x\nreg [2] y\n";
  std::string joined;
  for (int i = 0; i < n; ++i) {
    const std::string a = "a" + number(i, 4);
    const std::string c = "c" + number(i, 4);
    d.local += row({"J", a, "i"});
    d.local_place(a);
    d.local_place(c);
    d.data += row({"t", c, "i", "c"});
    joined += (i == 0 ? "" : "_") + c;
  }
  d.local += row({"J", "z", "o"});
  d.local_place("k");
  d.data += row({"t", "x", "i", "d", "V"}) + row({"t", "y", "o", "d", "V"}) + row({"t", "k", "o", "c"});
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  EXPECT_EQ(without_undriven_warnings(r.errors), "");
  const std::vector<Cell> cells = cells_of(r.netlist);
  ASSERT_EQ(cells.size(), 5u);  // c2000 (local), c2000 (data), 2 dlatch, done_2
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(cells[k].name, "c2000");
    ASSERT_EQ(cells[k].pins.size(), static_cast<std::size_t>(n + 1));
    EXPECT_EQ(cells[k].pins[n], (k == 0 ? "a" : "c") + number(n - 1, 4));
  }
  EXPECT_EQ(cells[0].pins[0], "z");
  EXPECT_EQ(cells[1].pins[0], joined);
  EXPECT_EQ(cells[2].pins[2], joined);
}

// A global transition G0 whose 300 global input places come from 300
// producers G1..G300, each of which waits for G0's one output place h. The
// join of the local net reports to G0 through the shared place r0.
TEST(PerfShapes, GlobalTransitionWithHundredsOfProducers) {
  const int n = 300;
  Shape d;
  for (int i = 0; i < n; ++i) d.global += row({"G0", "g" + std::to_string(i), "i", "", "G"});
  d.global += row({"G0", "r0", "i", "", "L"}) + row({"G0", "h", "o", "", "G"}) +
              row({"G0", "w", "o", "", "L"});
  for (int i = 0; i < n; ++i) {
    const std::string g = "G" + std::to_string(i + 1), k = std::to_string(i);
    d.global += row({g, "h", "i", "", "G"}) + row({g, "s" + k, "i", "", "L"}) +
                row({g, "g" + k, "o", "", "G"}) + row({g, "q" + k, "o", "", "L"});
    d.local += row({"l" + k, "q" + k, "i"}) + row({"l" + k, "r0", "o"}) +
               row({"m" + k, "w", "i"}) + row({"m" + k, "s" + k, "o"});
  }
  const RunResult r = run_tables(d.tables());
  ASSERT_TRUE(r.read_ok);
  EXPECT_EQ(without_undriven_warnings(r.errors), "");
  const std::vector<Cell> cells = cells_of(r.netlist);
  ASSERT_EQ(cells.size(), static_cast<std::size_t>(n + 1 + 2 * n));  // control cells, buffers
  const Cell& g0 = cells[0];
  EXPECT_EQ(g0.name, "DCsetAND300resetOR300_0");
  ASSERT_EQ(g0.pins.size(), static_cast<std::size_t>(2 * n + 2));
  // Backward net: G0 is instance 1; the producer of g<i> is G<i+1>, instance
  // i + 2, whose reset list holds one place with one consumer.
  std::string backward = "I1bk";
  for (int i = 0; i < n; ++i) backward += "_I" + std::to_string(i + 2) + "r11";
  EXPECT_EQ(g0.pins[0], backward);
  // Set pins: the local producers of r0, ascending by name, as "t_r0".
  std::vector<std::string> producers;
  for (int i = 0; i < n; ++i) producers.push_back("l" + std::to_string(i));
  std::sort(producers.begin(), producers.end());
  for (int i = 0; i < n; ++i) EXPECT_EQ(g0.pins[1 + i], producers[i] + "_r0");
  EXPECT_EQ(g0.pins[n + 1], "w");
  // Reset pins: h's consumers ascending by name; the j-th of them gets its
  // own backward net, which names G0's group r1j.
  std::vector<std::string> consumers;
  for (int i = 1; i <= n; ++i) consumers.push_back("G" + std::to_string(i));
  std::sort(consumers.begin(), consumers.end());
  for (int j = 0; j < n; ++j) {
    const int instance = std::stoi(consumers[j].substr(1)) + 1;
    EXPECT_EQ(g0.pins[n + 2 + j],
              "I" + std::to_string(instance) + "bk_I1r1" + std::to_string(j + 1));
  }
  // A producer's reset pin carries G0's backward net.
  EXPECT_EQ(cells[1].pins.back(), backward);
}

// Walks that share their answers give every transition the answer of a
// fresh walk, whatever the order in which the transitions are asked: chains
// into a register, into an operation, into a cycle, and through a merge.
TEST(PerfShapes, SharedWalkAnswersEqualFreshOnes) {
  DatapathBuilder b;
  b.arc("a1", "r", 'i', 'd', "R").arc("a1", "m1", 'o', 'd');
  b.arc("a2", "m1", 'i', 'd').arc("a2", "m2", 'o', 'd');
  b.arc("a3", "m2", 'i', 'd').arc("a3", "s", 'o', 'd', "R");
  b.arc("b1", "k", 'i', 'd', "C").arc("b1", "n1", 'o', 'd');
  b.arc("b2", "n1", 'i', 'd').arc("b2", "n2", 'o', 'd');
  b.arc("mul", "n2", 'i', 'd').arc("mul", "r", 'i', 'd', "R").arc("mul", "s", 'o', 'd', "R");
  b.function("mul");
  b.arc("c1", "q1", 'i', 'd').arc("c1", "q2", 'o', 'd');
  b.arc("c2", "q2", 'i', 'd').arc("c2", "q3", 'o', 'd');
  b.arc("c3", "q3", 'i', 'd').arc("c3", "q1", 'o', 'd');
  b.arc("d0", "e", 'i', 'd', "I").arc("d0", "q2", 'o', 'd');
  const syn::Design d = b.build();
  std::vector<std::string> names;
  for (const DNT_node& t : d.DNT.items) names.push_back(t.name);
  for (bool reversed : {false, true}) {
    if (reversed) std::reverse(names.begin(), names.end());
    TraceMemo memo;
    for (const std::string& name : names) {
      const DNT_node& t = *d.DNT.find(name);
      const TraceResult down = trace_down(d, t), shared_down = trace_down(d, t, &memo);
      const TraceResult up = trace_up(d, t), shared_up = trace_up(d, t, &memo);
      EXPECT_EQ(shared_down.code, down.code) << name;
      EXPECT_EQ(shared_down.end, down.end) << name;
      EXPECT_EQ(shared_up.code, up.code) << name;
      EXPECT_EQ(shared_up.end, up.end) << name;
      for (const char* place : {"r", "s"})
        EXPECT_EQ(DNT_terminated_at_same(d, t, place, &memo), DNT_terminated_at_same(d, t, place))
            << name << " " << place;
    }
  }
  // Spot checks of the fresh answers themselves.
  EXPECT_EQ(trace_down(d, *d.DNT.find("a1")).end, "s");
  EXPECT_EQ(trace_down(d, *d.DNT.find("b1")).end, "mul");
  EXPECT_EQ(trace_down(d, *d.DNT.find("c1")).code, 0);
}

// ---- the benchmark's design generator ---------------------------------

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Generates a design of `blocks` blocks; false when the generator cannot run.
bool generate(int blocks, const std::filesystem::path& dir, const std::string& options) {
  const std::string command = "python3 '" SYN_BENCH "/gen_design.py' " + std::to_string(blocks) +
                              " '" + dir.string() + "' " + options + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

RunResult map_generated(const std::filesystem::path& dir) {
  return run_tables({read_file(dir / "io.txt"), read_file(dir / "global.txt"),
                     read_file(dir / "local.txt"), read_file(dir / "data.txt")});
}

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("syn-gen-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(Generator, EverySeedMapsWithoutAnyMessage) {
  for (int seed : {1, 2, 3}) {
    const auto dir = dir_ / std::to_string(seed);
    if (!generate(5, dir, "--seed " + std::to_string(seed))) GTEST_SKIP() << "python3 not available";
    const RunResult r = map_generated(dir);
    EXPECT_TRUE(r.read_ok) << "seed " << seed;
    EXPECT_EQ(r.errors, "") << "seed " << seed;
    EXPECT_FALSE(r.netlist.empty());
    // One progress letter per transition: 2 global, 6 local and 9 data per block.
    EXPECT_NE(r.console.find(std::string(10, 'G') + std::string(30, 'L')), std::string::npos);
  }
}

TEST_F(Generator, NetlistGrowsLinearlyWithTheBlocks) {
  if (!generate(2, dir_ / "two", "--width 6") || !generate(4, dir_ / "four", "--width 6"))
    GTEST_SKIP() << "python3 not available";
  const RunResult two = map_generated(dir_ / "two");
  const RunResult four = map_generated(dir_ / "four");
  ASSERT_EQ(two.errors + four.errors, "");
  const auto two_cells = count_by_name(cells_of(two.netlist));
  const auto four_cells = count_by_name(cells_of(four.netlist));
  ASSERT_EQ(two_cells.size(), four_cells.size());
  for (const auto& [name, count] : two_cells) EXPECT_EQ(four_cells.at(name), 2 * count) << name;
  // Every kind of data mapper is exercised.
  for (const char* cell : {"mul2_6", "add2_6", "comp_6", "mux2_6", "dele", "dlatch", "OR2", "buff"})
    EXPECT_EQ(two_cells.count(cell), 1u) << cell;
}

// A design of several megabytes makes the tool fault its heap in on a second
// thread while it maps; the netlist it writes is the one mapping in this
// process (which never does that) gives, byte for byte.
TEST_F(Generator, LargeDesignWrittenByTheToolEqualsTheNetlistMappedHere) {
  if (!generate(1800, dir_, "")) GTEST_SKIP() << "python3 not available";
  const RunResult here = map_generated(dir_);
  ASSERT_EQ(here.errors, "");
  const std::string command = "cd '" + dir_.string() + "' && '" SYN_TOOL_BINARY
                              "' -o out.net io.txt global.txt local.txt data.txt >/dev/null 2>err.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(read_file(dir_ / "err.txt"), "");
  const std::string written = read_file(dir_ / "out.net");
  EXPECT_GT(written.size(), std::size_t{30} << 20);
  EXPECT_TRUE(written == here.netlist);  // not EXPECT_EQ: no diff of megabytes
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer reserves more memory than any limit below
#else
constexpr bool kSanitized = false;
#endif

// Under a memory limit a run either writes the right netlist (also when no
// second thread can be had for writing or warming) or says it ran out of
// memory and exits 1 leaving no file at all: never an abort, never a
// half-written temporary file.
TEST_F(Generator, RunOutOfMemoryIsAnErrorThatLeavesNoFile) {
  if (kSanitized) GTEST_SKIP() << "memory limits do not apply under the address sanitizer";
  if (!generate(1800, dir_, "")) GTEST_SKIP() << "python3 not available";
  const RunResult here = map_generated(dir_);
  ASSERT_EQ(here.errors, "");
  int failed = 0;
  int written = 0;
  for (int limit_mib : {40, 80, 120, 135, 150, 200, 400}) {
    const std::string command = "cd '" + dir_.string() + "' && ulimit -v " +
                                std::to_string(limit_mib * 1024) + " && '" SYN_TOOL_BINARY
                                "' -o out.net io.txt global.txt local.txt data.txt >/dev/null "
                                "2>err.txt";
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      if (entry.path().filename().string().rfind("out.net", 0) == 0)
        files.push_back(entry.path().filename().string());
    if (status == 1) {
      ++failed;
      EXPECT_EQ(read_file(dir_ / "err.txt"), "syn-tool: out of memory; no netlist written\n");
      EXPECT_TRUE(files.empty()) << limit_mib << " MiB: " << files.front();
    } else {
      ++written;
      ASSERT_EQ(status, 0) << limit_mib << " MiB: " << read_file(dir_ / "err.txt");
      EXPECT_EQ(files, std::vector<std::string>{"out.net"}) << limit_mib << " MiB";
      EXPECT_TRUE(read_file(dir_ / "out.net") == here.netlist) << limit_mib << " MiB";
      std::filesystem::remove(dir_ / "out.net");
    }
  }
  EXPECT_GT(failed, 0);
  EXPECT_GT(written, 0);
}

}  // namespace
}  // namespace syn::test
