// The output options on the command line: they add files and a summary but
// never change the netlist or the console text of the run.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "interop_support.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class InteropCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/syn-interop-cli-XXXXXX";
    dir_ = mkdtemp(pattern);
    const fs::path example = fs::path(SYN_EXAMPLES) / "transfer";
    for (const char* name : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
      if (fs::exists(example / name)) fs::copy_file(example / name, dir_ / name);
      else std::ofstream(dir_ / name) << "table\nTrans     Place     Dir\n";
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  Outcome run(const std::string& args, const std::string& input = "") {
    std::ofstream(dir_ / "stdin.txt") << input;
    std::string ignored;
    Outcome r;
    r.status = run_command("cd '" + dir_.string() + "' && '" SYN_TOOL_BINARY "' " + args +
                               " <stdin.txt >stdout.txt 2>stderr.txt",
                           ignored);
    r.out = slurp(dir_ / "stdout.txt");
    r.err = slurp(dir_ / "stderr.txt");
    return r;
  }
  std::string file(const std::string& name) { return slurp(dir_ / name); }
  bool exists(const std::string& name) { return fs::exists(dir_ / name); }

  fs::path dir_;
};

const std::string kFour = "io.txt global.txt local.txt data.txt";

TEST_F(InteropCliTest, ExtraOutputsLeaveNetlistAndConsoleUnchanged) {
  const Outcome plain = run(kFour + " -o plain.net");
  ASSERT_TRUE(plain.status == 0 || plain.status == 3) << plain.err;
  const Outcome extra = run("--dot design.dot --cells cells.v " + kFour + " -o extra.net --top t");
  EXPECT_EQ(extra.status, plain.status);
  EXPECT_EQ(extra.out, plain.out);
  EXPECT_EQ(extra.err, plain.err);
  EXPECT_EQ(file("extra.net"), file("plain.net"));
  EXPECT_EQ(file("cells.v").rfind("// Cell types", 0), 0u);
  EXPECT_EQ(file("design.dot").rfind("digraph \"extra\" {\n", 0), 0u);
  // The netlist asked for on the console comes out the same too.
  const Outcome asked = run(kFour + " --format=netlist --dot=d2.dot", "asked.net\n");
  EXPECT_EQ(asked.out, plain.out + "please input a output file name ...");
  EXPECT_EQ(file("asked.net"), file("plain.net"));
}

TEST_F(InteropCliTest, StatsFollowTheRunOnStandardError) {
  const Outcome plain = run(kFour + " -o plain.net");
  const Outcome stats = run(kFour + " -o stats.net --stats");
  EXPECT_EQ(stats.status, plain.status);
  EXPECT_EQ(stats.out, plain.out);
  EXPECT_EQ(file("stats.net"), file("plain.net"));
  ASSERT_EQ(stats.err.rfind(plain.err, 0), 0u);
  const std::string table = stats.err.substr(plain.err.size());
  EXPECT_EQ(table.rfind("cell type               cells\n", 0), 0u) << table;
  EXPECT_NE(table.find("\ntotal cells "), std::string::npos);
  EXPECT_NE(table.find("\nnets on a single pin "), std::string::npos);
}

TEST_F(InteropCliTest, VerilogReplacesTheNetlistFileAndNamesTheModuleAfterIt) {
  const Outcome r = run(kFour + " --format verilog -o out/../my-design.v --cells cells.v");
  // The folder "out" does not exist: nothing may be written.
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(exists("my-design.v"));
  fs::create_directory(dir_ / "out");
  const Outcome ok = run(kFour + " --format verilog -o out/../my-design.v --cells cells.v");
  ASSERT_TRUE(ok.status == 0 || ok.status == 3) << ok.err;
  EXPECT_NE(file("my-design.v").find("\nmodule \\my-design ;\n"), std::string::npos);
  EXPECT_TRUE(exists("cells.v"));
  const Outcome named = run(kFour + " --format verilog -o x.v --top chip");
  EXPECT_NE(file("x.v").find("\nmodule chip;\n"), std::string::npos);
  EXPECT_EQ(named.out, ok.out);
}

TEST_F(InteropCliTest, UsageErrors) {
  Outcome r = run(kFour + " -o a.net --format edif");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "syn-tool: unknown format 'edif' (netlist or verilog)\nTry 'syn-tool --help'.\n");
  for (const char* option : {"--dot", "--cells", "--top", "--format"}) {
    r = run(kFour + " -o a.net " + option);
    EXPECT_EQ(r.status, 2) << option;
    EXPECT_EQ(r.err, std::string("syn-tool: option ") + option +
                         " needs a value\nTry 'syn-tool --help'.\n");
  }
  r = run(kFour + " -o a.v --format verilog --top ''");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot name a Verilog module"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("a.v"));
  EXPECT_FALSE(exists("a.net"));
  const Outcome help = run("--help");
  for (const char* option : {"--format verilog", "--top NAME", "--cells FILE", "--dot FILE", "--stats"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

TEST_F(InteropCliTest, AnUnwritableExtraFileStopsBeforeTheNetlist) {
  const Outcome r = run(kFour + " -o a.net --dot no/such/folder/p.dot");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("syn-tool: cannot write no/such/folder/p.dot: "), std::string::npos) << r.err;
  EXPECT_FALSE(exists("a.net"));
  int temporaries = 0;
  for (const auto& e : fs::directory_iterator(dir_)) {
    temporaries += e.path().filename().string().find(".tmp") != std::string::npos;
  }
  EXPECT_EQ(temporaries, 0);
}

}  // namespace
}  // namespace syn::test
