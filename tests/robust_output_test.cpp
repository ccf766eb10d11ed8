// What a user relies on when a netlist file appears: the same design gives
// the same bytes on every run, and a run that is killed while writing leaves
// the old file or the complete new one, never a mixture.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support.hpp"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/syn-output-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~ScratchDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// Starts the tool on `args` with its output thrown away; returns its pid.
pid_t start_tool(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    std::string program = SYN_TOOL_BINARY;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
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

std::vector<std::string> mac_files() {
  const std::string dir = std::string(SYN_EXAMPLES) + "/mac/";
  return {dir + "io.txt", dir + "global.txt", dir + "local.txt", dir + "data.txt"};
}

TEST(Output, SameDesignGivesTheSameBytesOnEveryRun) {
  // Separate processes: different addresses, hash seeds and times. The
  // files carry the same names, in two folders, as names show in them.
  ScratchDir dir;
  for (const char* run : {"first", "second"}) {
    const std::string folder = dir / run;
    fs::create_directory(folder);
    std::vector<std::string> netlist = mac_files();
    netlist.insert(netlist.end(), {"-o", folder + "/mac.net", "--dot", folder + "/mac.dot"});
    ASSERT_EQ(wait_for(start_tool(netlist)), 0);
    std::vector<std::string> verilog = mac_files();
    verilog.insert(verilog.end(), {"--format", "verilog", "--cells", folder + "/cells.v", "-o",
                                   folder + "/mac.v"});
    ASSERT_EQ(wait_for(start_tool(verilog)), 0);
  }
  for (const char* name : {"mac.net", "mac.dot", "mac.v", "cells.v"}) {
    const std::string first = slurp(dir / (std::string("first/") + name));
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, slurp(dir / (std::string("second/") + name))) << name;
  }
}

TEST(Output, SameTablesMappedTwiceInOneProcessGiveTheSameNetlist) {
  syn::test::Tables t;
  const std::string dir = std::string(SYN_EXAMPLES) + "/mac/";
  t.io_spec = slurp(dir + "io.txt");
  t.global_net = slurp(dir + "global.txt");
  t.local_net = slurp(dir + "local.txt");
  t.data_net = slurp(dir + "data.txt");
  const syn::test::RunResult first = syn::test::run_tables(t);
  const syn::test::RunResult second = syn::test::run_tables(t);
  EXPECT_FALSE(first.netlist.empty());
  EXPECT_EQ(first.netlist, second.netlist);
  EXPECT_EQ(first.console, second.console);
  EXPECT_EQ(first.errors, second.errors);
}

// ---- a run killed while writing ------------------------------------------

// A design whose netlist takes a while to write: transfers of the widest
// values, one latch per bit.
void write_wide_design(const ScratchDir& dir) {
  std::ofstream(dir / "io.txt") << "IO\n\n\nreg [65536] a\nreg [65536] b\nreg [65536] c\n";
  std::ofstream(dir / "gn.txt") << "Global\nTrans     Place     Dir       Type      Net\n";
  std::ofstream(dir / "ln.txt") << "Local\nTrans     Place     Dir\n"
                                   "L1        start     i\nL1        q         o\n"
                                   "L2        k         i\nL2        fin       o\n";
  std::ofstream(dir / "dn.txt")
      << "Data\nTrans     Place     Dir       Kind      Type      Value     Relation\n"
         "t1        a         i         d         V\nt1        b         o         d         V\n"
         "t1        q         i         c\nt1        k         o         c\n"
         "t2        b         i         d         V\nt2        c         o         d         V\n"
         "t2        q         i         c\nt2        k         o         c\n";
}

std::vector<std::string> wide_args(const ScratchDir& dir, const std::string& output) {
  return {"-o", output, dir / "io.txt", dir / "gn.txt", dir / "ln.txt", dir / "dn.txt"};
}

off_t size_of(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// Kills the run once its temporary file has grown to `bytes` (or at once
// when `bytes` is negative); false when the run finished first.
bool kill_when_written(pid_t pid, const std::string& temporary, off_t bytes) {
  while (true) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    if (size_of(temporary) >= bytes) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return true;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

TEST(Output, RunKilledWhileWritingLeavesTheOldFileOrTheNewOne) {
  ScratchDir dir;
  write_wide_design(dir);
  ASSERT_EQ(wait_for(start_tool(wide_args(dir, dir / "fresh.net"))), 0);
  const std::string fresh = slurp(dir / "fresh.net");
  ASSERT_GT(fresh.size(), 10'000'000u);
  const std::string old = "an older netlist\n";
  const std::string target = dir / "design.net";

  std::random_device seed_source;
  const unsigned seed = seed_source();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> fraction(0.0, 1.0);
  // Before the temporary file appears, then at random points of its writing.
  std::vector<off_t> kill_points = {-1, 0};
  for (int i = 0; i < 4; ++i) {
    kill_points.push_back(static_cast<off_t>(fraction(random) * static_cast<double>(fresh.size())));
  }

  int killed_mid_write = 0;
  for (const off_t point : kill_points) {
    std::ofstream(target, std::ios::binary | std::ios::trunc) << old;
    const pid_t pid = start_tool(wide_args(dir, target));
    const std::string temporary = target + ".tmp" + std::to_string(pid);
    const bool killed = kill_when_written(pid, temporary, point);
    const std::string now = slurp(target);
    EXPECT_TRUE(now == old || now == fresh) << "killed at " << point << ": " << now.size()
                                            << " bytes";
    if (killed && now == old && point > 0) ++killed_mid_write;
    // A killed run cannot remove its temporary file; what it leaves is a
    // beginning of the netlist beside the target, never the target itself.
    if (fs::exists(temporary)) {
      const std::string left = slurp(temporary);
      EXPECT_EQ(fresh.compare(0, left.size(), left), 0);
      fs::remove(temporary);
    }
  }
  EXPECT_GT(killed_mid_write, 0);

  // A run that is left alone replaces the old file with the whole netlist.
  std::ofstream(target, std::ios::binary | std::ios::trunc) << old;
  ASSERT_EQ(wait_for(start_tool(wide_args(dir, target))), 0);
  EXPECT_EQ(slurp(target), fresh);
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

}  // namespace
