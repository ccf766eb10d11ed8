// The layout shared by the three net tables: lines, the header on line 2
// whose title starts locate the single-letter columns, and the data lines.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"

namespace syn {

// The text cut into lines, each keeping its '\n' (the last may lack it).
std::vector<std::string_view> split_lines(std::string_view text);

// Start positions of the header titles; column 1 is position 0, a title the
// header does not have is position 0 as well.
class ColumnPositions {
 public:
  ColumnPositions() = default;
  explicit ColumnPositions(std::string_view header);
  int at(int column) const { return positions_.at(static_cast<std::size_t>(column)); }
  // How many leading titles the header has (a header without titles has
  // column 1 only); a title at the header's very last character is not
  // counted, as its position reads as 0.
  int titles() const;

 private:
  std::array<int, 12> positions_{};  // index 1..11
};

// One data line of a net table.
struct TableLine {
  std::string_view text;  // with its '\n'
  int number = 0;         // 1-based line number
  const ColumnPositions* columns = nullptr;

  // The character standing under the title of `column`; a line that ends
  // before that position (the line end itself excluded) has a blank there.
  char letter(int column) const;
  // True when the line's text reaches the position of `column`.
  bool reaches(int column) const;
};

// Line 3 on, not empty, not starting with '#' or '/'.
bool is_data_line(int number, std::string_view line);

// The data lines of a net table, in file order, with the header's columns.
// The lines are cut out of the text as they are visited, not stored.
class NetTable {
 public:
  explicit NetTable(std::string_view text);
  NetTable(const NetTable&) = delete;  // the lines point at the columns
  NetTable& operator=(const NetTable&) = delete;

  // Calls `visit(const TableLine&)` for each data line in file order.
  template <class Visit>
  void for_each_data_line(const Visit& visit) const {
    std::size_t start = 0;
    int number = 2;
    while (start < body_.size()) {
      const std::size_t newline = body_.find('\n', start);
      const std::size_t stop = newline == std::string_view::npos ? body_.size() : newline + 1;
      const std::string_view line = body_.substr(start, stop - start);
      start = stop;
      ++number;
      if (is_data_line(number, line)) visit(TableLine{line, number, &columns_});
    }
  }

  // Warns about a tab or another control character in a data line (see
  // `warn_about_characters`); a table without any says nothing at once.
  void warn_about_characters(const std::string& file, const TableLine& line,
                             Diagnostics& diag) const;

  // At least as many as there are data lines (for reserving room).
  std::size_t line_bound() const { return line_bound_; }

  // Warns about a header with fewer than `titles_used` titles (`uses` says
  // which letters the reader takes, for the message) and about a tab in
  // the header. Nothing is said about a table without data lines.
  void check_header(const std::string& file, int titles_used, const std::string& uses,
                    Diagnostics& diag) const;

 private:
  bool has_data_lines() const;

  std::string_view header_;
  std::string_view body_;  // the lines after the header
  ColumnPositions columns_;
  bool body_has_control_characters_ = false;
  std::size_t line_bound_ = 1;
};

// The text with every carriage return that stands before a line end
// dropped (files saved with CR LF line ends), warning once, at the first
// such line. `storage` keeps the changed text; the result may point into it.
std::string_view without_carriage_returns(const std::string& file, std::string_view text,
                                          std::string& storage, Diagnostics& diag);

// Warns about a tab character in a line (only blanks separate words and a
// tab counts as one character, so what follows it is out of place; the
// caller says what that means for its table), and about any other control
// character, which becomes part of a name.
void warn_about_characters(const std::string& file, int number, std::string_view line,
                           const std::string& tab_consequence, Diagnostics& diag);

// True when the text has a tab, another control character or a delete,
// line ends aside: a text without any needs no warning about characters.
bool has_control_character_or_tab(std::string_view text);

// What a tab does in a net table line.
extern const char* const kTabInNetTable;

// The column of the direction letter in every net table.
constexpr int kDirectionColumn = 3;

// The first two words of a data line, as views into its text: the
// transition and the place. A line end right after the place word belongs
// to it, as it does to every last word of a line.
struct LineNames {
  std::string_view transition;
  std::string_view place;
};

// The transition and place of a data line; a line with fewer than two words
// is reported (an error) and gives nothing, and is then left out.
std::optional<LineNames> transition_and_place(const std::string& file, const TableLine& line,
                                              Diagnostics& diag);

// Warns about a direction letter other than 'i' and 'o' (the line then adds
// no arc); false for such a line.
bool direction_is_known(const std::string& file, const TableLine& line, Diagnostics& diag);

}  // namespace syn
