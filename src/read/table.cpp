#include "read/table.hpp"

#include "text/fields.hpp"

namespace syn {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    const std::size_t stop = newline == std::string_view::npos ? text.size() : newline + 1;
    lines.push_back(text.substr(start, stop - start));
    start = stop;
  }
  return lines;
}

ColumnPositions::ColumnPositions(std::string_view header) {
  for (int k = 2; k <= 11; ++k) {
    positions_[static_cast<std::size_t>(k)] = get_ith_item_position(k, header);
  }
}

char TableLine::letter(int column) const {
  const std::string_view body = without_line_end(text);
  const auto position = static_cast<std::size_t>(columns->at(column));
  return position < body.size() ? body[position] : ' ';
}

bool TableLine::reaches(int column) const {
  return static_cast<std::size_t>(columns->at(column)) < without_line_end(text).size();
}

int TableLine::word_count() const {
  const std::string_view body = without_line_end(text);
  int count = 0;
  std::size_t pos = 0;
  while (true) {
    while (pos < body.size() && body[pos] == ' ') ++pos;
    if (pos == body.size()) return count;
    ++count;
    while (pos < body.size() && body[pos] != ' ') ++pos;
  }
}

bool is_data_line(int number, std::string_view line) {
  // A last line without its newline counts like the same line with one.
  const std::string_view body = without_line_end(line);
  return number >= 3 && !body.empty() && body[0] != '#' && body[0] != '/';
}

NetTable::NetTable(std::string_view text) {
  const std::vector<std::string_view> lines = split_lines(text);
  if (lines.size() >= 2) columns_ = ColumnPositions(lines[1]);
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (is_data_line(number, lines[i])) data_lines_.push_back({lines[i], number, &columns_});
  }
}

bool has_transition_and_place(const std::string& file, const TableLine& line,
                              Diagnostics& diag) {
  if (line.word_count() >= 2) return true;
  diag.error_at(file, line.number, "data line needs a transition and a place (fewer than two words)");
  return false;
}

bool direction_is_known(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char direction = line.letter(kDirectionColumn);
  if (direction == 'i' || direction == 'o') return true;
  if (!line.reaches(kDirectionColumn)) {
    diag.warning_at(file, line.number, "line ends before the direction column; no arc added");
  } else {
    diag.warning_at(file, line.number,
                    "direction letter '" + std::string(1, direction) +
                        "' is neither i nor o; no arc added");
  }
  return false;
}

}  // namespace syn
