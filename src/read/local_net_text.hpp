// The local control net's lines as read from the text, before their names
// are entered into the symbol table: this part of reading needs nothing but
// the text, so it can run while the other tables are read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"

namespace syn {

// A line with its transition and place: views into the table's text, and
// their hashes for the symbol table, worked out with the rest.
struct LocalLineText {
  std::string_view transition;
  std::string_view place;
  std::uint32_t transition_hash = 0;
  std::uint32_t place_hash = 0;
  int number = 0;         // line number, for messages
  bool adds_arc = false;  // the direction letter is 'i' or 'o'
  bool input = false;     // the place is an input of the transition
};

// The lines of the table in file order, with what reading them found. The
// views point into the text given, or into a copy kept here when carriage
// returns had to be dropped, so this object is not moved.
class LocalNetText {
 public:
  LocalNetText(const std::string& file, std::string_view text);
  LocalNetText(const LocalNetText&) = delete;
  LocalNetText& operator=(const LocalNetText&) = delete;

  std::vector<LocalLineText> lines;
  Diagnostics diag;  // in line order

 private:
  std::string unix_text_;  // the text without its carriage returns, if it had any
};

}  // namespace syn
