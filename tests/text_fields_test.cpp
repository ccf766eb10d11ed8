// The token, column and number rules of the input tables, each with its
// examples in one table. Whole tables read through the tool are the cases
// in tests/cases/read.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "text/fields.hpp"

namespace syn {
namespace {

using Word = std::optional<std::string_view>;

struct WordRow {
  int i;
  std::string_view text;
  Word word;
};

// Only blanks separate words: a tab is part of one, and the line end
// belongs to the last word (a lone line end after a blank is a word).
TEST(Fields, IthTokenIsSeparatedByBlanksOnly) {
  const std::vector<WordRow> rows = {
      {1, "T1  P1\n", "T1"},  {2, "T1  P1\n", "P1\n"},      {3, "T1  P1\n", std::nullopt},
      {3, "T1 P1 i\n", "i\n"}, {1, "   T1 P1", "T1"},       {2, "T1 \n", "\n"},
      {2, "T1   ", std::nullopt}, {1, "a\tb c", "a\tb"},   {1, "", std::nullopt},
      {0, "a b", std::nullopt}};
  for (const WordRow& r : rows) {
    EXPECT_EQ(nth_token(r.i, r.text), r.word) << "word " << r.i << " of '" << r.text << "'";
  }
}

// The word of the i-th ten-character column must be closed by a blank
// inside its column, unless it runs into the end of a shorter text (the
// relation column of the data net, read without the line end).
TEST(Fields, TenCharacterColumnWordEndsWithABlankInsideIt) {
  const std::vector<WordRow> rows = {
      {2, "xxxxxxxxxx  abc     ", "abc"},  {2, "xxxxxxxxxx  abc     \n", "abc"},
      {2, "xxxxxxxxxxabcdefghij ", std::nullopt}, {2, "xxxxxxxxxx", std::nullopt},
      {2, "xxxxxxxxxx          x", std::nullopt}, {1, "abcdefghi y", "abcdefghi"},
      {1, "abcdefghij y", std::nullopt},     {2, "xxxxxxxxxx  >=", ">="},
      {2, "xxxxxxxxxx   ", std::nullopt}};
  for (const WordRow& r : rows) {
    EXPECT_EQ(field_token(r.i, r.text), r.word) << "column " << r.i << " of " << r.text;
  }
}

// Where the header's i-th title starts, or 0: trailing blanks, a lone line
// end and a one-letter title on the text's last character are no title.
TEST(Fields, TitlePositions) {
  const std::vector<std::tuple<int, std::string_view, int>> rows = {
      {3, "Trans Place Dir\n", 12}, {4, "Trans Place Dir\n", 0}, {1, "Trans Place Dir\n", 0},
      {1, "  Trans\n", 2},          {2, "Trans     Place\n", 10}, {4, "T P D \n", 0},
      {3, "A B   ", 0},             {2, "a b", 0},                {2, "a bc", 2},
      {1, "", 0},                   {1, "\n", 0}};
  for (const auto& [i, text, position] : rows) {
    EXPECT_EQ(nth_token_position(i, text), position) << "title " << i << " of '" << text << "'";
  }
}

// An IO line declares with a keyword found anywhere in it, names its last
// word and takes its width between the brackets by the digit rule (each
// character adds its code minus '0', unchecked), 1 without brackets.
TEST(Fields, IoDeclarationParts) {
  EXPECT_TRUE(contains("output [8] my_input\n", "input"));
  EXPECT_FALSE(contains("output [8] x\n", "input"));
  EXPECT_FALSE(contains("reg", "reg "));
  EXPECT_FALSE(contains("add1", "Add"));  // case matters
  const std::vector<std::pair<std::string_view, std::string>> names = {
      {"input [8] a_in\n", "a_in"}, {"output  b  \n", "b"}, {"input a b  c", "c"},
      {"input\n", "input"},         {"   \n", ""},          {"", ""}};
  for (const auto& [line, name] : names) EXPECT_EQ(last_token(line), name) << line;
  const std::vector<std::pair<std::string_view, int>> widths = {
      {"reg [16] acc\n", 16}, {"input a\n", 1},      {"input [] a", 0},
      {"input [007] a", 7},   {"input [7:0] a", 800}, {"input [8] a [4]", 8},
      {"input [12", 12},      {"input [5\n", 12},     {"input [4 c\n", 2872}};
  for (const auto& [line, width] : widths) EXPECT_EQ(bracket_width(line), width) << line;
}

}  // namespace
}  // namespace syn
