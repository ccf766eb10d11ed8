// What a data line says that no rule will read: a relation or operation word
// on a line that is not its transition's first (only the first line makes a
// transition a comparison or an operation), and a register, input port or
// output port that the IO table does not declare. Both are warnings; the
// design is read as the rules say.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"
#include "model/design.hpp"
#include "model/symbols.hpp"

namespace syn {

// One data line as the checks need it; ids are the reader's name-table ids,
// given in order of first appearance.
struct DataLineFacts {
  int number = 0;
  std::uint32_t transition = 0;
  std::string_view transition_name;
  std::uint32_t place = 0;
  SymbolId place_name = kNoSymbol;
  std::string_view place_text;
  char direction = ' ';
  char terminal = ' ';
  bool data = false;
  std::string_view relation;  // empty when the line has none
};

class DataLineChecks {
 public:
  // `design` holds the IO table already read.
  DataLineChecks(const std::string& file, const Design& design, const Symbols& symbols);

  // Checks the lines in file order.
  void check(const DataLineFacts& line, Diagnostics& diag);

 private:
  void check_relation(const DataLineFacts& line, Diagnostics& diag);
  void check_declared(const DataLineFacts& line, Diagnostics& diag);

  const std::string& file_;
  std::vector<bool> declared_;           // by symbol id: a name of the IO table
  std::vector<int> first_line_;          // by transition id
  std::vector<bool> first_has_word_;     // by transition id
  std::vector<bool> undeclared_warned_;  // by place id
};

}  // namespace syn
