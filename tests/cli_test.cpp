// --time adds one line of timings on standard error and changes nothing
// else. Its numbers differ from run to run, so no case can hold it.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

// Runs the tool in this process on the bundled transfer example.
ToolRun run(std::vector<std::string> args, const std::string& input) {
  for (const char* table : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
    args.push_back(std::string(SYN_EXAMPLES) + "/transfer/" + table);
  }
  return run_tool_with(std::move(args), input);
}

// Also when the output name is asked for (the wait is left out of the times).
TEST(TimeOption, PrintsOneLineOfTimingsAndChangesNothingElse) {
  const std::regex line(
      "syn-tool: time: reading [0-9]+\\.[0-9]{3} s, mapping [0-9]+\\.[0-9]{3} s, "
      "writing [0-9]+\\.[0-9]{3} s; total [0-9]+\\.[0-9]{3} s; peak memory [0-9]+ MiB\n");
  TempDir dir;
  const std::string plain = (dir.path() / "plain.net").string();
  const ToolRun reference = run({"-o", plain}, "");
  ASSERT_EQ(reference.status, 0);
  ASSERT_EQ(reference.err, "");

  const ToolRun timed = run({"--time", "-o", (dir.path() / "timed.net").string()}, "");
  EXPECT_EQ(timed.status, 0);
  EXPECT_EQ(timed.out, reference.out);
  EXPECT_TRUE(std::regex_match(timed.err, line)) << timed.err;
  EXPECT_EQ(read_file(dir.path() / "timed.net"), read_file(plain));

  const ToolRun asked = run({"--time"}, (dir.path() / "asked.net").string() + "\n");
  EXPECT_EQ(asked.status, 0);
  EXPECT_EQ(asked.out, reference.out + "please input a output file name ...");
  EXPECT_TRUE(std::regex_match(asked.err, line)) << asked.err;
  EXPECT_EQ(read_file(dir.path() / "asked.net"), read_file(plain));
}

}  // namespace
}  // namespace syn::test
