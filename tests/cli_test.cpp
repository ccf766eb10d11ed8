// Runs the built syn-tool binary as a user would: arguments, prompts on
// standard input, standard output and error, exit status and the netlist.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Cli {
  int status = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/syn-cli-XXXXXX";
    dir_ = mkdtemp(pattern);
    for (const char* name : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
      fs::copy_file(fs::path(SYN_EXAMPLES) / "transfer" / name, dir_ / name);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the tool in the scratch folder with `args`, feeding `input`.
  Cli run(const std::string& args, const std::string& input = "") {
    std::ofstream(dir_ / "stdin.txt") << input;
    const std::string command = "cd '" + dir_.string() + "' && '" SYN_TOOL_BINARY "' " + args +
                                " <stdin.txt >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    Cli result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(dir_ / "stdout.txt");
    result.err = slurp(dir_ / "stderr.txt");
    return result;
  }

  std::string file(const std::string& name) { return slurp(dir_ / name); }
  bool exists(const std::string& name) { return fs::exists(dir_ / name); }
  std::string expected_netlist() { return slurp(fs::path(SYN_TEST_DATA) / "cli" / "transfer.net"); }

  fs::path dir_;
};

const std::string kFour = "io.txt global.txt local.txt data.txt";
const std::string kMapping =
    "The assembling work has been finished.\n"
    "Now mapping is atarted.......\n"
    "Initializing......\n"
    "LLD\n";
const std::string kPrompts =
    "Please input IO specification file name..."
    "Please input Global control net file name..."
    "Please input Local control net file name..."
    "please input data net file name...";

TEST_F(CliTest, FourNamesAndOutputOptionWriteTheNetlistWithoutAsking) {
  Cli r = run(kFour + " -o out.net");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kMapping);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(file("out.net"), expected_netlist());
}

TEST_F(CliTest, OutputNameIsAskedWhenNotGiven) {
  Cli r = run(kFour, "asked.net\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kMapping + "please input a output file name ...");
  EXPECT_EQ(file("asked.net"), expected_netlist());
}

TEST_F(CliTest, AllFourNamesAreAskedWithFewerThanFourArguments) {
  Cli r = run("io.txt global.txt local.txt", "io.txt global.txt\nlocal.txt data.txt o.net\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kPrompts + kMapping + "please input a output file name ...");
  EXPECT_NE(r.err.find("asking for all four"), std::string::npos);
  EXPECT_EQ(file("o.net"), expected_netlist());
}

TEST_F(CliTest, OptionsMayStandAnywhereAndDoubleDashEndsThem) {
  EXPECT_EQ(run("-o a.net " + kFour).status, 0);
  EXPECT_EQ(file("a.net"), expected_netlist());
  fs::copy_file(dir_ / "io.txt", dir_ / "-io.txt");
  Cli r = run("-o b.net -- -io.txt global.txt local.txt data.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(file("b.net"), expected_netlist());
}

// --time adds one line on standard error and changes nothing else, also
// when the output name is asked for (the wait is left out of the times).
TEST_F(CliTest, TimeOptionReportsTheThreeStepsAndChangesNothingElse) {
  const std::regex line(
      "syn-tool: time: reading [0-9]+\\.[0-9]{3} s, mapping [0-9]+\\.[0-9]{3} s, "
      "writing [0-9]+\\.[0-9]{3} s; total [0-9]+\\.[0-9]{3} s; peak memory [0-9]+ MiB\n");
  Cli r = run(kFour + " --time -o out.net");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kMapping);
  EXPECT_TRUE(std::regex_match(r.err, line)) << r.err;
  EXPECT_EQ(file("out.net"), expected_netlist());

  r = run("--time " + kFour, "asked.net\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kMapping + "please input a output file name ...");
  EXPECT_TRUE(std::regex_match(r.err, line)) << r.err;
  EXPECT_EQ(file("asked.net"), expected_netlist());
}

TEST_F(CliTest, MissingInputFilesAreAllNamedAndNothingIsWritten) {
  Cli r = run("io.txt nowhere.txt local.txt absent.txt -o out.net");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("nowhere.txt: No such file or directory"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("absent.txt: No such file or directory"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("out.net"));
}

TEST_F(CliTest, ADirectoryIsNotAReadableTable) {
  fs::create_directory(dir_ / "folder");
  Cli r = run("io.txt folder local.txt data.txt -o out.net");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("folder"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("out.net"));
}

TEST_F(CliTest, InputEndingBeforeThePromptsAreAnsweredIsAUsageError) {
  Cli r = run("", "io.txt global.txt\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("standard input ended"), std::string::npos);
  Cli o = run(kFour, "");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("output file name"), std::string::npos);
}

TEST_F(CliTest, UnwritableOutputIsAnError) {
  Cli r = run(kFour + " -o no/such/folder/out.net");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write no/such/folder/out.net"), std::string::npos) << r.err;
}

TEST_F(CliTest, AFailedRunKeepsTheOldNetlistAndLeavesNoTemporaryFile) {
  std::ofstream(dir_ / "out.net") << "old\n";
  std::ofstream(dir_ / "data.txt", std::ios::app) << "lonely\n";
  Cli r = run(kFour + " -o out.net");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("data.txt:7:"), std::string::npos) << r.err;
  EXPECT_EQ(file("out.net"), "old\n");
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir_)) entries += e.path().filename().string().find(".tmp") != std::string::npos;
  EXPECT_EQ(entries, 0);
}

TEST_F(CliTest, HelpVersionAndUsageErrors) {
  Cli h = run("--help");
  EXPECT_EQ(h.status, 0);
  EXPECT_NE(h.out.find("IO_SPEC GLOBAL_NET LOCAL_NET DATA_NET"), std::string::npos);
  EXPECT_NE(h.out.find("-o FILE"), std::string::npos);
  EXPECT_EQ(run("-h").out, h.out);
  Cli v = run("--version");
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out.rfind("syn-tool ", 0), 0u);
  Cli bad = run("--frobnicate " + kFour);
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("unknown option '--frobnicate'"), std::string::npos);
  EXPECT_EQ(run(kFour + " -o").status, 2);
}

}  // namespace
