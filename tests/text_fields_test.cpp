#include <gtest/gtest.h>

#include <string>

#include "text/fields.hpp"

namespace syn {
namespace {

TEST(CheckSubstring, FindsThePatternAnywhere) {
  EXPECT_EQ(check_substring("input", "output [8] x\n"), 2);
  EXPECT_EQ(check_substring("input", "output [8] my_input\n"), 0);
  EXPECT_EQ(check_substring("reg ", "reg"), 1);
  EXPECT_EQ(check_substring("", "abc"), 0);
  EXPECT_EQ(check_substring("", ""), 0);
  EXPECT_EQ(check_substring("abc", "abc"), 0);
  EXPECT_EQ(check_substring("Add", "add1"), 2);  // case matters
}

TEST(IthSubstring, NewlineBelongsToTheLastToken) {
  EXPECT_EQ(get_ith_substring(1, "T1  P1\n"), "T1");
  EXPECT_EQ(get_ith_substring(2, "T1  P1\n"), "P1\n");
  EXPECT_EQ(get_ith_substring(3, "T1  P1\n"), std::nullopt);
  EXPECT_EQ(get_ith_substring(2, "T1 P1 i\n"), "P1");
  EXPECT_EQ(get_ith_substring(3, "T1 P1 i\n"), "i\n");
  // A lone newline after a blank is a token of its own here.
  EXPECT_EQ(get_ith_substring(2, "T1 \n"), "\n");
  EXPECT_EQ(get_ith_substring(2, "T1   "), std::nullopt);
  EXPECT_EQ(get_ith_substring(1, ""), std::nullopt);
  EXPECT_EQ(get_ith_substring(0, "a b"), std::nullopt);
}

TEST(IthItemPosition, HeaderTitleStarts) {
  EXPECT_EQ(get_ith_item_position(3, "Trans Place Dir\n"), 12);
  EXPECT_EQ(get_ith_item_position(4, "Trans Place Dir\n"), 0);
  EXPECT_EQ(get_ith_item_position(1, "Trans Place Dir\n"), 0);
  EXPECT_EQ(get_ith_item_position(1, "  Trans\n"), 2);
  EXPECT_EQ(get_ith_item_position(2, "Trans     Place\n"), 10);
  // Trailing blanks and a lone newline are no token.
  EXPECT_EQ(get_ith_item_position(4, "T P D \n"), 0);
  EXPECT_EQ(get_ith_item_position(3, "A B   "), 0);
  // A one-character token on the last character of the text is not counted.
  EXPECT_EQ(get_ith_item_position(2, "a b"), 0);
  EXPECT_EQ(get_ith_item_position(2, "a bc"), 2);
  EXPECT_EQ(get_ith_item_position(1, ""), 0);
  EXPECT_EQ(get_ith_item_position(1, "\n"), 0);
}

TEST(TenCharacterField, TokenMustBeClosedByABlankInItsField) {
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx  abc     "), "abc");
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx  abc     \n"), "abc");
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxxabcdefghij "), std::nullopt);
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx"), std::nullopt);
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx          x"), std::nullopt);
  EXPECT_EQ(get_ith_token_ours(1, "abcdefghi y"), "abcdefghi");
  EXPECT_EQ(get_ith_token_ours(1, "abcdefghij y"), std::nullopt);
  // A token running into the end of a shorter text ends there.
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx  >="), ">=");
  EXPECT_EQ(get_ith_token_ours(2, "xxxxxxxxxx   "), std::nullopt);
}

TEST(LastSubstring, IgnoresTheLineEndAndTrailingBlanks) {
  EXPECT_EQ(get_last_substring("input [8] a_in\n"), "a_in");
  EXPECT_EQ(get_last_substring("output  b  \n"), "b");
  EXPECT_EQ(get_last_substring("output b"), "b");
  EXPECT_EQ(get_last_substring("input\n"), "input");
  EXPECT_EQ(get_last_substring("   \n"), "");
  EXPECT_EQ(get_last_substring(""), "");
}

TEST(StringToI, DigitRuleWithoutChecks) {
  EXPECT_EQ(string_to_i(""), 0);
  EXPECT_EQ(string_to_i("0"), 0);
  EXPECT_EQ(string_to_i("42"), 42);
  EXPECT_EQ(string_to_i("007"), 7);
  EXPECT_EQ(string_to_i("7:0"), 800);
  EXPECT_EQ(string_to_i("5\n"), 12);  // '\n' is 10, minus 48 is -38
}

TEST(Datasize, NumberBetweenTheBrackets) {
  EXPECT_EQ(get_datasize("reg [16] acc\n"), 16);
  EXPECT_EQ(get_datasize("input a\n"), 1);
  EXPECT_EQ(get_datasize("output [32] r"), 32);
  EXPECT_EQ(get_datasize("output r"), 1);
  EXPECT_EQ(get_datasize("input [] a"), 0);
  EXPECT_EQ(get_datasize("input [7:0] a"), 800);
  EXPECT_EQ(get_datasize("input [8] a [4]"), 8);
  EXPECT_EQ(get_datasize("input [12"), 12);
}

TEST(IToString, DecimalWithoutLeadingZeros) {
  EXPECT_EQ(i_to_string(0), "0");
  EXPECT_EQ(i_to_string(9), "9");
  EXPECT_EQ(i_to_string(10), "10");
  EXPECT_EQ(i_to_string(100), "100");
  EXPECT_EQ(i_to_string(999), "999");
  EXPECT_EQ(i_to_string(1000), "1000");
  EXPECT_EQ(i_to_string(123456789), "123456789");
}

TEST(Bigger, TakesTheFirstOnEquality) {
  EXPECT_EQ(get_bigger(3, 5), 5);
  EXPECT_EQ(get_bigger(5, 3), 5);
  EXPECT_EQ(get_bigger(-1, -1), -1);
}

TEST(WithoutLineEnd, DropsOneNewline) {
  EXPECT_EQ(without_line_end("ab\n"), "ab");
  EXPECT_EQ(without_line_end("ab"), "ab");
  EXPECT_EQ(without_line_end("\n\n"), "\n");
  EXPECT_EQ(without_line_end(""), "");
}

}  // namespace
}  // namespace syn
