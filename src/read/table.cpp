#include "read/table.hpp"

#include <algorithm>

#include "text/fields.hpp"

namespace syn {

// The whole text is looked at without stopping early and
// without branches (bitwise operators, not logical ones), so that the
// compiler makes the loop test many characters at a time.
bool has_control_character_or_tab(std::string_view text) {
  unsigned char found = 0;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    found |= static_cast<unsigned char>((code < 0x20) & (code != '\n')) |
             static_cast<unsigned char>(code == 0x7f);
  }
  return found != 0;
}

namespace {

// What one pass over a table's body finds: whether it has a tab, another
// control character or a delete (line ends aside), and how many line ends.
struct BodyScan {
  bool control_characters = false;
  std::size_t line_ends = 0;
};

// Without branches, as above; the line ends are counted in blocks of at
// most 255 into a byte, so that the loop stays many characters wide.
BodyScan scan_body(std::string_view body) {
  BodyScan scan;
  unsigned char found = 0;
  for (std::size_t start = 0; start < body.size(); start += 255) {
    const std::string_view block = body.substr(start, 255);
    unsigned char line_ends = 0;
    for (const char c : block) {
      const auto code = static_cast<unsigned char>(c);
      found |= static_cast<unsigned char>((code < 0x20) & (code != '\n')) |
               static_cast<unsigned char>(code == 0x7f);
      line_ends = static_cast<unsigned char>(line_ends + (code == '\n'));
    }
    scan.line_ends += line_ends;
  }
  scan.control_characters = found != 0;
  return scan;
}

}  // namespace

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
    positions_[static_cast<std::size_t>(k)] = nth_token_position(k, header);
  }
}

int ColumnPositions::titles() const {
  int count = 1;
  while (count < 11 && positions_[static_cast<std::size_t>(count + 1)] != 0) ++count;
  return count;
}

char TableLine::letter(int column) const {
  const std::string_view body = without_line_end(text);
  const auto position = static_cast<std::size_t>(columns->at(column));
  return position < body.size() ? body[position] : ' ';
}

bool TableLine::reaches(int column) const {
  return static_cast<std::size_t>(columns->at(column)) < without_line_end(text).size();
}

bool is_data_line(int number, std::string_view line) {
  // A last line without its newline counts like the same line with one.
  const std::string_view body = without_line_end(line);
  return number >= 3 && !body.empty() && body[0] != '#' && body[0] != '/';
}

NetTable::NetTable(std::string_view text) {
  const std::size_t first_end = text.find('\n');
  if (first_end == std::string_view::npos) return;
  const std::size_t header_start = first_end + 1;
  const std::size_t header_end = text.find('\n', header_start);
  const std::size_t body_start =
      header_end == std::string_view::npos ? text.size() : header_end + 1;
  header_ = text.substr(header_start, body_start - header_start);
  body_ = text.substr(body_start);
  if (!header_.empty()) columns_ = ColumnPositions(header_);
  const BodyScan scan = scan_body(body_);
  body_has_control_characters_ = scan.control_characters;
  line_bound_ = scan.line_ends + 1;
}

void NetTable::warn_about_characters(const std::string& file, const TableLine& line,
                                     Diagnostics& diag) const {
  if (body_has_control_characters_) {
    syn::warn_about_characters(file, line.number, line.text, kTabInNetTable, diag);
  }
}

bool NetTable::has_data_lines() const {
  std::size_t start = 0;
  int number = 2;
  while (start < body_.size()) {
    const std::size_t newline = body_.find('\n', start);
    const std::size_t stop = newline == std::string_view::npos ? body_.size() : newline + 1;
    if (is_data_line(++number, body_.substr(start, stop - start))) return true;
    start = stop;
  }
  return false;
}

void NetTable::check_header(const std::string& file, int titles_used, const std::string& uses,
                            Diagnostics& diag) const {
  if (!has_data_lines()) return;
  syn::warn_about_characters(file, 2, header_, kTabInNetTable, diag);
  const int titles = without_line_end(header_).find_first_not_of(' ') == std::string_view::npos
                         ? 0
                         : columns_.titles();
  if (titles >= titles_used) return;
  diag.warning_at(file, 2,
                  "header has " + std::to_string(titles) + " title" + (titles == 1 ? "" : "s") +
                      "; " + uses + ", and a letter whose title is missing is read at position 0");
}

std::string_view without_carriage_returns(const std::string& file, std::string_view text,
                                          std::string& storage, Diagnostics& diag) {
  const std::size_t first = text.find("\r\n");
  if (first == std::string_view::npos) return text;
  const std::string_view before = text.substr(0, first);
  const auto line = std::count(before.begin(), before.end(), '\n') + 1;
  diag.warning_at(file, static_cast<int>(line),
                  "carriage return before the line end (CR LF line ends); carriage returns "
                  "before line ends are dropped");
  storage.clear();
  storage.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    storage += text[i];
  }
  return storage;
}

const char* const kTabInNetTable =
    "tab character: only blanks separate words, and a tab counts as one character, so the "
    "letters after it may not stand under their titles";

void warn_about_characters(const std::string& file, int number, std::string_view line,
                           const std::string& tab_consequence, Diagnostics& diag) {
  if (!has_control_character_or_tab(without_line_end(line))) return;  // nearly every line
  if (line.find('\t') != std::string_view::npos) diag.warning_at(file, number, tab_consequence);
  for (const char c : without_line_end(line)) {
    const auto code = static_cast<unsigned char>(c);
    if ((code < 0x20 && c != '\t') || code == 0x7f) {
      diag.warning_at(file, number,
                      "control character (code " + std::to_string(code) +
                          ") in the line; it is read as part of a word");
      return;
    }
  }
}

std::optional<LineNames> transition_and_place(const std::string& file, const TableLine& line,
                                              Diagnostics& diag) {
  // Words are taken from the text with its line end; a second "word" that
  // is the line end alone means the line has one word.
  const auto place = nth_token(2, line.text);
  if (!place || *place == "\n") {
    diag.error_at(file, line.number,
                  "data line needs a transition and a place (fewer than two words)");
    return std::nullopt;
  }
  return LineNames{*nth_token(1, line.text), *place};
}

bool direction_is_known(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char direction = line.letter(kDirectionColumn);
  if (direction == 'i' || direction == 'o') return true;
  const auto third = nth_token_copy(3, without_line_end(line.text));
  if (third && (*third == "i" || *third == "o")) {
    diag.warning_at(file, line.number,
                    "direction letter '" + *third +
                        "' does not stand under the header's 3rd title (position " +
                        std::to_string(line.columns->at(kDirectionColumn)) + "); no arc added");
  } else if (!line.reaches(kDirectionColumn)) {
    diag.warning_at(file, line.number, "line ends before the direction column; no arc added");
  } else {
    diag.warning_at(
        file, line.number,
        "direction letter '" + std::string(1, direction) + "' is neither i nor o; no arc added");
  }
  return false;
}

}  // namespace syn
