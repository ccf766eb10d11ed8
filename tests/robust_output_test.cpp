// What a user relies on when an output file appears: the same design gives
// the same bytes from every process, the file written while mapping goes on
// is the netlist written after it, and a run killed while writing leaves the
// old file or the complete new one, never a mixture.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

// Starts the built tool on `args` with its console thrown away.
pid_t start_tool(std::vector<std::string> args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    for (int fd : {0, 1, 2}) dup2(null, fd);
    args.insert(args.begin(), SYN_TOOL_BINARY);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(SYN_TOOL_BINARY, argv.data());
    _exit(127);
  }
  return pid;
}

int wait_for(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A register r fed by the first and the last data transition, with 5000
// one-bit transfers between them: its multiplexer grows while some ten
// thousand cells after it are made. The file written as cells settle must
// still hold the multiplexer whole, like the netlist written afterwards to
// standard output.
TEST(Output, FileWrittenWhileMappingHoldsMultiplexersGrownLater) {
  const int transfers = 5000;
  std::string io = "IO\n\n\nreg [2] a\nreg [2] r\ninput [2] in1\n";
  std::string local = "local\ntrans     place     io\n";
  std::string data = "data\ntrans     place     io        dc        type      value     relation\n";
  auto line = [](const std::string& t, const std::string& p, const std::string& rest) {
    return t + std::string(10 - t.size(), ' ') + p + std::string(10 - p.size(), ' ') + rest + "\n";
  };
  // A plain transfer ends in a local transition; the two feeders of r end
  // in the data net's own place k, as a register multiplexer's feeders do.
  auto transfer = [&](const std::string& t, const std::string& from, const std::string& to,
                      const std::string& from_type, const std::string& n) {
    const bool feeds_r = to == "r";
    const std::string done = feeds_r ? "k" : "k" + n;
    local += line("L" + n, "s" + n, "i") + line("L" + n, "q" + n, "o");
    if (!feeds_r) local += line("E" + n, done, "i") + line("E" + n, "f" + n, "o");
    data += line(t, from, "i         d         " + from_type) + line(t, "q" + n, "i         c") +
            line(t, to, "o         d         V") + line(t, done, "o         c");
  };
  transfer("a_first", "a", "r", "V", "0");
  for (int i = 1; i <= transfers; ++i) {
    const std::string n = std::to_string(i);
    io += "reg [1] u" + n + "\nreg [1] v" + n + "\n";
    transfer("m" + std::to_string(100000 + i), "u" + n, "v" + n, "V", n);
  }
  transfer("z_last", "in1", "r", "I", "z");
  TempDir dir;
  const std::string tables[4] = {(dir.path() / "io.txt").string(), (dir.path() / "gn.txt").string(),
                                 (dir.path() / "ln.txt").string(),
                                 (dir.path() / "dn.txt").string()};
  write_file(tables[0], io);
  write_file(tables[1], "global\ntrans     place     io        x         net\n");
  write_file(tables[2], local);
  write_file(tables[3], data);
  const fs::path file = dir.path() / "out.net";
  const ToolRun to_file = run_tool_with({"-o", file, tables[0], tables[1], tables[2], tables[3]});
  const ToolRun to_stdout = run_tool_with({"-o", "-", tables[0], tables[1], tables[2], tables[3]});
  ASSERT_EQ(to_file.status, 0) << to_file.err;
  ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
  // After the buffers of the local transitions: two for each transfer and
  // one for each feeder of r.
  const std::string mux = "mux2_2          " + std::to_string(2 * transfers + 3);
  EXPECT_NE(to_stdout.out.find(mux + "\n        Pin 1        a[1:0]\n"), std::string::npos);
  EXPECT_NE(to_stdout.out.find("        Pin 9        r[1:0]\n"), std::string::npos);
  EXPECT_TRUE(read_file(file) == to_stdout.out);  // not EXPECT_EQ: no diff of megabytes
}

// Separate processes: different addresses, hash seeds and times. The files
// carry the same names in two folders, as output names show in them.
TEST(Output, SameDesignGivesTheSameBytesFromTwoProcesses) {
  TempDir dir;
  const std::string mac = std::string(SYN_EXAMPLES) + "/mac/";
  const std::vector<std::string> tables = {mac + "io.txt", mac + "global.txt", mac + "local.txt",
                                           mac + "data.txt"};
  for (const char* run : {"first", "second"}) {
    const fs::path folder = dir.path() / run;
    fs::create_directory(folder);
    std::vector<std::string> args = tables;
    args.insert(args.end(), {"-o", folder / "mac.net", "--dot", folder / "mac.dot"});
    ASSERT_EQ(wait_for(start_tool(args)), 0);
    args = tables;
    args.insert(args.end(),
                {"--format", "verilog", "--cells", folder / "cells.v", "-o", folder / "mac.v"});
    ASSERT_EQ(wait_for(start_tool(args)), 0);
  }
  for (const char* name : {"mac.net", "mac.dot", "mac.v", "cells.v"}) {
    const std::string first = read_file(dir.path() / "first" / name);
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, read_file(dir.path() / "second" / name)) << name;
  }
}

// A netlist that takes a while to write: transfers of the widest values the
// tool accepts, one latch per bit. A run is killed before its temporary file
// appears, then at random points of its writing; the target must hold the
// old bytes or the whole new netlist, and a temporary file left by the killed
// run must be a beginning of that netlist.
TEST(Output, RunKilledWhileWritingLeavesTheOldFileOrTheNewOne) {
  TempDir dir;
  const fs::path& d = dir.path();
  write_file(d / "io.txt", "IO\n\n\nreg [65536] a\nreg [65536] b\nreg [65536] c\n");
  write_file(d / "gn.txt", "Global\nTrans     Place     Dir       Type      Net\n");
  write_file(d / "ln.txt", "Local\nTrans     Place     Dir\nL1        start     i\n"
                           "L1        q         o\nL2        k         i\nL2        fin       o\n");
  write_file(d / "dn.txt",
             "Data\nTrans     Place     Dir       Kind      Type      Value     Relation\n"
             "t1        a         i         d         V\nt1        b         o         d         V\n"
             "t1        q         i         c\nt1        k         o         c\n"
             "t2        b         i         d         V\nt2        c         o         d         V\n"
             "t2        q         i         c\nt2        k         o         c\n");
  auto args = [&d](const fs::path& output) {
    return std::vector<std::string>{"-o", output, d / "io.txt", d / "gn.txt", d / "ln.txt",
                                    d / "dn.txt"};
  };
  ASSERT_EQ(wait_for(start_tool(args(d / "fresh.net"))), 0);
  const std::string fresh = read_file(d / "fresh.net");
  ASSERT_GT(fresh.size(), 10'000'000u);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::vector<off_t> kill_points = {-1, 0};
  for (int i = 0; i < 4; ++i) kill_points.push_back(static_cast<off_t>(random() % fresh.size()));
  const fs::path target = d / "design.net";
  const std::string old = "an older netlist\n";
  int killed_mid_write = 0;
  for (const off_t point : kill_points) {
    write_file(target, old);
    const pid_t pid = start_tool(args(target));
    const fs::path temporary = target.string() + ".tmp" + std::to_string(pid);
    bool killed = false;
    for (int status = 0; waitpid(pid, &status, WNOHANG) != pid;) {
      std::error_code missing;
      const auto size = fs::file_size(temporary, missing);
      if (point < 0 || (!missing && static_cast<off_t>(size) >= point)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        killed = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const std::string now = read_file(target);
    EXPECT_TRUE(now == old || now == fresh) << "killed at " << point << ", " << now.size() << " B";
    killed_mid_write += killed && now == old && point > 0;
    if (fs::exists(temporary)) {
      const std::string left = read_file(temporary);
      EXPECT_EQ(fresh.compare(0, left.size(), left), 0);
      fs::remove(temporary);
    }
  }
  EXPECT_GT(killed_mid_write, 0);
}

}  // namespace
}  // namespace syn::test
