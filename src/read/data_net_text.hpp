// The data net's lines as read from the text, before their names are
// entered into the symbol table: this part of reading needs nothing but
// the text, so it can run while the other tables are read. Then the same
// lines with their names numbered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"
#include "read/name_table.hpp"

namespace syn {

// What one data line says, in 20 bytes. Once numbered, the names are ids of
// the reader's name tables; the few relation words are kept aside.
struct DataLine {
  std::uint32_t transition = 0;
  std::uint32_t place = 0;
  std::uint32_t relation = 0;  // 1 + position among the relation words; 0 for none
  int value = 0;               // constant's value
  char direction = ' ';
  char terminal = ' ';  // terminal type column
  bool data = false;    // kind column "d"
  bool has_relation() const { return relation != 0; }
};

// A data line with its names as views into the table's text, and their
// hashes for the symbol table, worked out with the rest.
struct DataLineText {
  std::string_view transition;
  std::string_view place;
  std::uint32_t transition_hash = 0;
  std::uint32_t place_hash = 0;
  DataLine columns;  // names not numbered yet
  int number = 0;    // line number, for messages
};

// The data lines of a table in file order, with what reading them found.
// The views point into the text given, or into a copy kept here when
// carriage returns had to be dropped, so this object is not moved.
class DataNetText {
 public:
  DataNetText(const std::string& file, std::string_view text);
  DataNetText(const DataNetText&) = delete;
  DataNetText& operator=(const DataNetText&) = delete;

  std::string file_name;  // the table's name in messages
  std::vector<DataLineText> lines;
  std::vector<std::string_view> relation_words;  // by DataLine::relation - 1
  Diagnostics diag;                              // in line order

 private:
  std::string unix_text_;  // the text without its carriage returns, if it had any
};

// The data lines of the table, with their names numbered.
struct DataLines {
  explicit DataLines(Symbols& symbols) : transitions(symbols), places(symbols) {}
  std::vector<DataLine> lines;
  std::vector<SymbolId> relations;
  std::vector<int> first_line;  // by transition id: the first line naming it
  NameTable transitions;
  NameTable places;
};

}  // namespace syn
