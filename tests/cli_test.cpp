// --time adds one line of timings on standard error and changes nothing
// else. Its numbers differ from run to run, so no case can hold it.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.hpp"
#include "test_files.hpp"

namespace syn::test {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs the tool in this process on the bundled transfer example.
Outcome run(std::vector<std::string> args, const std::string& input) {
  args.insert(args.begin(), "syn-tool");
  for (const char* table : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
    args.push_back(std::string(SYN_EXAMPLES) + "/transfer/" + table);
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::istringstream in(input);
  std::ostringstream out, err;
  Outcome r;
  r.status = run_tool(static_cast<int>(argv.size()), argv.data(), in, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// Also when the output name is asked for (the wait is left out of the times).
TEST(TimeOption, PrintsOneLineOfTimingsAndChangesNothingElse) {
  const std::regex line(
      "syn-tool: time: reading [0-9]+\\.[0-9]{3} s, mapping [0-9]+\\.[0-9]{3} s, "
      "writing [0-9]+\\.[0-9]{3} s; total [0-9]+\\.[0-9]{3} s; peak memory [0-9]+ MiB\n");
  TempDir dir;
  const std::string plain = (dir.path() / "plain.net").string();
  const Outcome reference = run({"-o", plain}, "");
  ASSERT_EQ(reference.status, 0);
  ASSERT_EQ(reference.err, "");

  const Outcome timed = run({"--time", "-o", (dir.path() / "timed.net").string()}, "");
  EXPECT_EQ(timed.status, 0);
  EXPECT_EQ(timed.out, reference.out);
  EXPECT_TRUE(std::regex_match(timed.err, line)) << timed.err;
  EXPECT_EQ(read_file(dir.path() / "timed.net"), read_file(plain));

  const Outcome asked = run({"--time"}, (dir.path() / "asked.net").string() + "\n");
  EXPECT_EQ(asked.status, 0);
  EXPECT_EQ(asked.out, reference.out + "please input a output file name ...");
  EXPECT_TRUE(std::regex_match(asked.err, line)) << asked.err;
  EXPECT_EQ(read_file(dir.path() / "asked.net"), read_file(plain));
}

}  // namespace
}  // namespace syn::test
