#include "text/fields.hpp"

#include <cstddef>

namespace syn {
namespace {

constexpr char kBlank = ' ';

// Position of the first non-blank at or after `pos` (or the text's end).
std::size_t skip_blanks(std::string_view s, std::size_t pos) {
  while (pos < s.size() && s[pos] == kBlank) ++pos;
  return pos;
}

// Position of the first blank at or after `pos` (or the text's end).
std::size_t skip_token(std::string_view s, std::size_t pos) {
  while (pos < s.size() && s[pos] != kBlank) ++pos;
  return pos;
}

}  // namespace

std::optional<std::string> nth_token_copy(int i, std::string_view s) {
  const auto token = nth_token(i, s);
  if (!token) return std::nullopt;
  return std::string(*token);
}

std::optional<std::string_view> nth_token(int i, std::string_view s) {
  if (i < 1) return std::nullopt;
  std::size_t pos = 0;
  for (int k = 1; k < i; ++k) pos = skip_token(s, skip_blanks(s, pos));
  const std::size_t start = skip_blanks(s, pos);
  if (start >= s.size()) return std::nullopt;
  return s.substr(start, skip_token(s, start) - start);
}

int nth_token_position(int i, std::string_view s) {
  if (i < 1 || s.empty()) return 0;
  const std::size_t last = s.size() - 1;
  std::size_t pos = 0;
  for (int k = 1; k < i && pos < s.size(); ++k) pos = skip_token(s, skip_blanks(s, pos));
  // Blanks are skipped up to the last character at most; a token that
  // starts on the last character (a lone line end) is not counted.
  while (pos < last && s[pos] == kBlank) ++pos;
  return pos < last ? static_cast<int>(pos) : 0;
}

std::optional<std::string_view> field_token(int i, std::string_view s) {
  if (i < 1) return std::nullopt;
  const std::size_t first = static_cast<std::size_t>(i - 1) * 10;
  const std::size_t end = first + 10;  // one past the field's last position
  if (s.size() <= first) return std::nullopt;
  std::size_t start = first;
  while (start < end && start < s.size() && s[start] == kBlank) ++start;
  if (start == end || start == s.size()) return std::nullopt;
  std::size_t stop = start;
  while (stop < end && stop < s.size() && s[stop] != kBlank) ++stop;
  // The token must be closed by a blank inside its field; a token that
  // runs into the end of a shorter text is taken as it stands.
  if (stop == end) return std::nullopt;
  return s.substr(start, stop - start);
}

std::string last_token(std::string_view s) {
  s = without_line_end(s);
  std::size_t end = s.size();
  while (end > 0 && s[end - 1] == kBlank) --end;
  std::size_t start = end;
  while (start > 0 && s[start - 1] != kBlank) --start;
  return std::string(s.substr(start, end - start));
}

int digit_rule_value(std::string_view s) {
  // Unsigned arithmetic, so that a long text wraps instead of overflowing.
  unsigned int value = 0;
  for (char c : s) value = value * 10u + static_cast<unsigned int>(static_cast<unsigned char>(c)) - 48u;
  return static_cast<int>(value);
}

int bracket_width(std::string_view s) {
  const std::size_t open = s.find('[');
  if (open == std::string_view::npos) return 1;
  const std::size_t close = s.find(']', open + 1);
  const std::size_t stop = close == std::string_view::npos ? s.size() : close;
  return digit_rule_value(s.substr(open + 1, stop - open - 1));
}

std::string decimal(long long i) { return std::to_string(i); }

std::string_view without_line_end(std::string_view s) {
  return !s.empty() && s.back() == '\n' ? s.substr(0, s.size() - 1) : s;
}

}  // namespace syn
