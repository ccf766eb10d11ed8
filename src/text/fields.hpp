// Token, column and number rules of the input tables, and the small joins
// used to build cell and net names.
//
// "Blank" means the space character only: tabs, carriage returns and the
// newline that ends a line are ordinary characters, so a newline that follows
// the last token of a line belongs to that token.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace syn {

// Whether `pattern` occurs anywhere in `text` (case matters).
inline bool contains(std::string_view text, std::string_view pattern) {
  return text.find(pattern) != std::string_view::npos;
}

// The i-th token (i from 1), or nothing when the text has fewer tokens.
std::optional<std::string> nth_token_copy(int i, std::string_view s);

// The i-th token as a view into `s`, or nothing (the same rule as above,
// for readers that keep the text and need no copy).
std::optional<std::string_view> nth_token(int i, std::string_view s);

// Start position of the i-th token, or 0 (a lone newline at the end of the
// text does not count as a token).
int nth_token_position(int i, std::string_view s);

// The token of the i-th ten-character field, as a view into `s`, which must
// be followed by a blank inside its field; nothing otherwise.
std::optional<std::string_view> field_token(int i, std::string_view s);

// The last token of a line, without the line end.
std::string last_token(std::string_view s);

// Decimal value by the digit rule: every character adds (code - '0'), with no
// sign and no check, so "7:0" gives 800.
int digit_rule_value(std::string_view s);

// Width between the first "[" and the next "]", or 1 without a "[".
int bracket_width(std::string_view s);

// Decimal text of i (any int; the historic 0..999 range is not a limit).
std::string decimal(long long i);

// The text without one trailing newline.
std::string_view without_line_end(std::string_view s);

}  // namespace syn
