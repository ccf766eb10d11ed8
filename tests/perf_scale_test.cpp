// What no small case shows: the shapes of the cases in tests/cases/datapath
// at a size where a search per element would break down, the benchmark
// generator's designs, and runs under a memory limit. Results only; how long
// a run takes is the benchmark's business.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../fuzz/run_input.hpp"
#include "one_thread.hpp"
#include "test_files.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

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

// Chains of 3000 transfers whose widths flow against the place list, 3000
// readers of one register, a register written by 300 transfers, joins of
// 2000 and 6001 places and a global transition with 300 producers: no
// message, and every cell named from its counts as in the small cases. Every
// register is declared, with the width its neighbours would give it.
TEST(LargeShapes, MapWithoutAnyMessage) {
  const int n = 3000, m = 300, joined = 2000;
  struct {
    std::string io, global_net, local_net, data_net;
  } t{"IO\n\n\nreg [4] x\nreg [4] y\n", "global\n" + row({"trans", "place", "io", "x", "net"}),
      "local\n" + row({"trans", "place", "io"}),
      "data\n" + row({"trans", "place", "io", "dc", "type", "value", "rel"})};
  // A transition's lines follow each other: these gather the lines of the
  // hub G0, the local fork S and join E, and the transfer j.
  std::string hub, fork = row({"S", "go", "i"}), join = row({"E", "kj", "i"}), start;
  auto transfer = [&](const std::string& name, const std::string& from, const std::string& control,
                      const std::string& to, const std::string& done) {
    const auto type = [](const std::string& p) { return p[0] == 'p' ? "" : "V"; };
    t.data_net += row({name, from, "i", "d", type(from)}) + row({name, control, "i", "c"}) +
                  row({name, to, "o", "d", type(to)}) + row({name, done, "o", "c"});
  };
  auto place = [&](int i) { return i == n ? "z" : "p" + std::to_string(100000 + n - i); };
  for (int i = 0; i < n; ++i) {
    const std::string k = std::to_string(i);
    fork += row({"S", "c" + k, "o"});
    join += row({"E", "k" + k, "i"}) + row({"E", "kr" + k, "i"});
    transfer("t" + k, i == 0 ? "x" : place(i), "c" + k, place(i + 1), "k" + k);
    transfer("r" + k, "x", "c" + k, "o" + k, "kr" + k);
    t.io += "reg [4] o" + k + "\n";
    if (i < m) transfer("f" + k, "u" + k, "c" + k, "y", "kf" + k);
    if (i < m) t.io += "reg [4] u" + k + "\n";
    if (i < joined) start += row({"j", "c" + k, "i", "c"});
    if (i >= m) continue;
    hub += row({"G0", "g" + k, "i", "", "G"});
    t.global_net += row({"P" + k, "h", "i", "", "G"}) + row({"P" + k, "s" + k, "i", "", "L"}) +
                    row({"P" + k, "g" + k, "o", "", "G"}) + row({"P" + k, "q" + k, "o", "", "L"});
    t.local_net += row({"l" + k, "q" + k, "i"}) + row({"l" + k, "r0", "o"}) +
                   row({"m" + k, "w", "i"}) + row({"m" + k, "s" + k, "o"});
  }
  t.global_net += hub + row({"G0", "r0", "i", "", "L"}) + row({"G0", "h", "o", "", "G"}) +
                  row({"G0", "w", "o", "", "L"});
  t.local_net += fork + join;
  t.io += "reg [4] z\nreg [4] v\n";
  t.data_net += start + row({"j", "x", "i", "d", "V"}) + row({"j", "v", "o", "d", "V"}) +
                row({"j", "kj", "o", "c"});
  const fuzz::Outcome r = fuzz::run_tables({t.io, t.global_net, t.local_net, t.data_net});
  EXPECT_EQ(r.diagnostics, "");
  std::map<std::string, int> cells;
  std::istringstream lines(r.netlist);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("        Pin ", 0) != 0) ++cells[line.substr(0, line.find(' '))];
  EXPECT_EQ(cells, (std::map<std::string, int>{{"DCsetAND300resetOR300_0", 1}, {"DCsetreset_0", m},
                                               {"buff", n + 2 * m}, {"c2000", 1}, {"c6001", 1},
                                               {"dlatch", 4 * (2 * n + 1)}, {"done_4", 2 * n + 1},
                                               {"mux300_4", 1}}));
}

// Writes the benchmark generator's design of `blocks` blocks into `dir`;
// false when python3 cannot run it.
bool generate(int blocks, const fs::path& dir, const std::string& options) {
  const std::string command = "python3 '" SYN_BENCH "/gen_design.py' " + std::to_string(blocks) +
                              " '" + dir.string() + "' " + options + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

fuzz::Outcome map_generated(const fs::path& dir) {
  const std::string tables[4] = {read_file(dir / "io.txt"), read_file(dir / "global.txt"),
                                 read_file(dir / "local.txt"), read_file(dir / "data.txt")};
  return fuzz::run_tables({tables[0], tables[1], tables[2], tables[3]});
}

TEST(Generator, EverySeedMapsWithoutAnyMessage) {
  for (int seed : {1, 2, 3}) {
    TempDir dir;
    if (!generate(5, dir.path(), "--seed " + std::to_string(seed))) GTEST_SKIP() << "no python3";
    const fuzz::Outcome r = map_generated(dir.path());
    EXPECT_TRUE(r.mapped && !r.netlist.empty()) << "seed " << seed;
    EXPECT_EQ(r.diagnostics, "") << "seed " << seed;
  }
}

// SYN_TOOL_THREADS=1 runs every piece of work that may go to a second thread
// on the calling one: every output of a design large enough for each of
// them (cells settled in many steps, a netlist file of several chunks, the
// Verilog module's lines in many blocks) must come out the same both ways.
TEST(Generator, OneThreadGivesTheSameOutputs) {
  TempDir dir;
  if (!generate(300, dir.path(), "")) GTEST_SKIP() << "no python3";
  const fuzz::Outcome threads = [&] {
    const TwoThreads two_threads;
    return map_generated(dir.path());
  }();
  ASSERT_TRUE(threads.mapped);
  ASSERT_GT(threads.netlist.size(), std::size_t{3} << 20);
  const fuzz::Outcome one = [&] {
    const OneThread one_thread;
    return map_generated(dir.path());
  }();
  // Not EXPECT_EQ: no diff of megabytes.
  EXPECT_TRUE(one.netlist == threads.netlist);
  EXPECT_TRUE(one.verilog == threads.verilog);
  EXPECT_TRUE(one.cells == threads.cells);
  EXPECT_TRUE(one.picture == threads.picture);
  EXPECT_TRUE(one.console == threads.console);
  EXPECT_EQ(one.diagnostics, threads.diagnostics);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer reserves more memory than any limit below
#else
constexpr bool kSanitized = false;
#endif

// A design of several megabytes under memory limits: a run either writes
// the netlist that mapping in this process gives, byte for byte (also when
// no second thread can be had for writing), or says it
// ran out of memory and exits 1 leaving no file at all.
TEST(Generator, RunOutOfMemoryIsAnErrorThatLeavesNoFile) {
  if (kSanitized) GTEST_SKIP() << "memory limits do not apply under the address sanitizer";
  TempDir dir;
  if (!generate(1800, dir.path(), "")) GTEST_SKIP() << "no python3";
  const fuzz::Outcome here = map_generated(dir.path());
  ASSERT_EQ(here.diagnostics, "");
  int failed = 0, written = 0;
  for (int limit_mib : {40, 80, 120, 135, 150, 200, 400}) {
    const std::string command = "cd '" + dir.path().string() + "' && ulimit -v " +
                                std::to_string(limit_mib * 1024) + " && '" SYN_TOOL_BINARY
                                "' -o out.net io.txt global.txt local.txt data.txt"
                                " >/dev/null 2>err.txt";
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      if (const std::string name = entry.path().filename(); name.rfind("out.net", 0) == 0)
        files.push_back(name);
    const std::string err = read_file(dir.path() / "err.txt");
    if (status == 1) {
      ++failed;
      EXPECT_EQ(err, "syn-tool: out of memory; no netlist written\n") << limit_mib << " MiB";
      EXPECT_TRUE(files.empty()) << limit_mib << " MiB: " << files.front();
    } else {
      ++written;
      ASSERT_EQ(status, 0) << limit_mib << " MiB: " << err;
      EXPECT_EQ(files, std::vector<std::string>{"out.net"}) << limit_mib << " MiB";
      // Not EXPECT_EQ: no diff of megabytes.
      EXPECT_TRUE(read_file(dir.path() / "out.net") == here.netlist) << limit_mib << " MiB";
      fs::remove(dir.path() / "out.net");
    }
  }
  EXPECT_GT(failed, 0);
  EXPECT_GT(written, 0);
}

}  // namespace
}  // namespace syn::test
