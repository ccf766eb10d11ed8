#include "read/data_line_checks.hpp"

namespace syn {
namespace {

const char* terminal_words(char terminal) {
  switch (terminal) {
    case 'V':
      return "register";
    case 'I':
      return "input port";
    case 'O':
      return "output port";
    default:
      return nullptr;
  }
}

}  // namespace

DataLineChecks::DataLineChecks(const std::string& file, const Design& design,
                               const Symbols& symbols)
    : file_(file), declared_(symbols.size(), false) {
  for (const auto* list : {&design.registers, &design.inputs, &design.outputs}) {
    for (const IoDeclaration& entry : *list) declared_[entry.name] = true;
  }
}

void DataLineChecks::check(const DataLineFacts& line, Diagnostics& diag) {
  check_relation(line, diag);
  check_declared(line, diag);
}

// A word on the first line makes the transition an operation; a comparison
// then reads the words of its control output places. A word anywhere else is
// read by no rule.
void DataLineChecks::check_relation(const DataLineFacts& line, Diagnostics& diag) {
  if (line.transition >= first_line_.size()) {
    first_line_.resize(line.transition + 1, 0);
    first_has_word_.resize(line.transition + 1, false);
  }
  if (first_line_[line.transition] == 0) {
    first_line_[line.transition] = line.number;
    first_has_word_[line.transition] = !line.relation.empty();
    return;
  }
  if (line.relation.empty()) return;
  const std::string word = "relation word '" + std::string(line.relation) + "'";
  const std::string first = std::to_string(first_line_[line.transition]);
  const std::string transition(line.transition_name);
  if (!first_has_word_[line.transition]) {
    diag.warning_at(file_, line.number,
                    word + " on a line that is not the first of data transition " + transition +
                        " (line " + first +
                        "); only the first line makes a transition a comparison or an "
                        "operation, so the word is ignored");
  } else if (line.data || line.direction != 'o') {
    diag.warning_at(file_, line.number,
                    word + " on a line of data transition " + transition +
                        " that is not its first (line " + first +
                        ") and names no control output place; the word is ignored");
  }
}

void DataLineChecks::check_declared(const DataLineFacts& line, Diagnostics& diag) {
  const char* kind = terminal_words(line.terminal);
  if (!line.data || kind == nullptr) return;
  if (line.place_name < declared_.size() && declared_[line.place_name]) return;
  if (line.place >= undeclared_warned_.size()) undeclared_warned_.resize(line.place + 1, false);
  if (undeclared_warned_[line.place]) return;
  undeclared_warned_[line.place] = true;
  diag.warning_at(file_, line.number,
                  std::string(kind) + " place " + std::string(line.place_text) + " (type " +
                      std::string(1, line.terminal) +
                      ") is not declared in the IO table; its width comes only from its "
                      "neighbours");
}

}  // namespace syn
