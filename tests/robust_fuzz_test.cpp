// Replays every input on which the fuzz target once failed (a crash, a hang
// or a sanitizer report), through the same pipeline, and checks the answer
// that replaced the failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../fuzz/run_input.hpp"
#include "test_files.hpp"

namespace syn::test {
namespace {

const std::filesystem::path kInputs = std::filesystem::path(SYN_TEST_DATA) / "robust" / "fuzz";

TEST(FuzzFindings, EveryInputFinishesWithAnAnswer) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kInputs)) {
    SCOPED_TRACE(entry.path().filename().string());
    const fuzz::Outcome o = fuzz::run_input(read_file(entry.path()));
    EXPECT_TRUE(o.mapped || !o.diagnostics.empty());
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

// "reg [8Y y": without its closing bracket the width runs to the line end,
// and the digit rule made a width of 120092 bits out of "8Y y", whose
// latches took longer than any time limit. Such widths are now refused.
TEST(FuzzFindings, WidthFromAMistypedBracketIsRefused) {
  const fuzz::Outcome o = fuzz::run_input(read_file(kInputs / "width-from-mistyped-bracket"));
  EXPECT_FALSE(o.mapped);
  EXPECT_NE(o.diagnostics.find("io:5: width 120092 is out of range (0 to 65536 bits)\n"),
            std::string::npos)
      << o.diagnostics;
}

}  // namespace
}  // namespace syn::test
