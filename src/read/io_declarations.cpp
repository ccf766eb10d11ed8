// The IO table: one declaration per line from line 4 on, a keyword
// ("reg ", "input", "output") found anywhere in the line, an optional width
// in brackets and the declared name as the line's last word.
#include <string>

#include "read/read_design.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// True when the line has no bracketed width or a plain decimal one.
bool width_is_plain(std::string_view line) {
  const std::size_t open = line.find('[');
  if (open == std::string_view::npos) return true;
  const std::size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return false;
  const std::string_view digits = line.substr(open + 1, close - open - 1);
  if (digits.empty()) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The widest data value the tool maps. Every bit costs cells, so a wider
// value can only come from a typing slip (a lost bracket makes the rest of
// the line the width) and would never finish writing.
constexpr int kMaxWidth = 65536;

bool is_blank(std::string_view line) {
  return without_line_end(line).find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

void read_io_spec(const std::string& file, std::string_view text, Design& design, Symbols& symbols,
                  Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const std::vector<std::string_view> lines = split_lines(text);
  const bool may_have_control_characters = has_control_character_or_tab(text);
  const std::string tab_consequence =
      "tab character: only blanks separate words, so a keyword, width or name next to a tab is "
      "not read as meant";
  for (std::size_t i = 3; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (!line.empty() && line[0] == '#') continue;

    if (may_have_control_characters) {
      warn_about_characters(file, number, line, tab_consequence, diag);
    }
    const bool is_reg = contains(line, "reg ");
    const bool is_input = contains(line, "input");
    const bool is_output = contains(line, "output");
    if (!is_reg && !is_input && !is_output) {
      if (!is_blank(line)) {
        diag.warning_at(file, number, "no \"reg\", \"input\" or \"output\" keyword; line ignored");
      }
      continue;
    }
    const IoDeclaration entry{symbols.intern(last_token(line)), bracket_width(line)};
    if (!width_is_plain(without_line_end(line))) {
      diag.warning_at(file, number,
                      "width between the brackets is not a plain number; read as " +
                          std::to_string(entry.width));
    }
    if (entry.width < 0 || entry.width > kMaxWidth) {
      diag.error_at(file, number,
                    "width " + std::to_string(entry.width) + " is out of range (0 to " +
                        std::to_string(kMaxWidth) + " bits)");
      continue;
    }
    if (is_reg) design.registers.push_back(entry);
    if (is_input) design.inputs.push_back(entry);
    if (is_output) design.outputs.push_back(entry);
  }
}

}  // namespace syn
