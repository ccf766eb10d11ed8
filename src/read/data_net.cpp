// The data net, read in two passes over the same lines: the transitions with
// their classified places and counts, then the places with the transitions
// that write and read them.
#include <array>
#include <optional>
#include <string>

#include "read/read_design.hpp"
#include "read/sorted.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

constexpr int kKind = 4;
constexpr int kTerminal = 5;
constexpr int kValueWord = 6;
constexpr int kRelation = 7;

// What one data line says.
struct DataLine {
  std::string transition;
  std::string place;
  char direction = ' ';
  bool data = false;       // kind column "d"
  char terminal = ' ';     // terminal type column
  int value = 0;           // constant's value
  bool has_relation = false;
  std::string relation;
  int number = 0;
};

bool all_digits(const std::string& word) {
  for (char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The constant's value word, read without the line end.
int read_constant(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const auto word = get_ith_substring(kValueWord, without_line_end(line.text));
  if (!word) {
    diag.error_at(file, line.number, "constant without its value (sixth word)");
    return 0;
  }
  const int value = string_to_i(*word);
  if (!all_digits(*word)) {
    diag.warning_at(file, line.number,
                    "constant value '" + *word + "' is not a plain decimal number; read as " +
                        std::to_string(value));
  }
  return value;
}

// The relation word of the ten-character column 7, read without the line end.
std::string read_relation(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const auto word = get_ith_substring_ours(kRelation, without_line_end(line.text));
  if (!word) {
    const int marker = line.columns->at(kRelation);
    diag.error_at(file, line.number,
                  "relation marker at position " + std::to_string(marker) +
                      (marker == 0 ? " (the header has no 7th title, so every line has one)" : "") +
                      " without a blank-terminated word in positions 60 to 69");
    return "";
  }
  return *word;
}

// True when the line's word number `column` starts a few characters from
// the position of that column's title: a letter typed slightly out of
// place, not a word of another column.
bool near_its_column(const TableLine& line, int column) {
  const std::string_view body = without_line_end(line.text);
  std::size_t pos = 0;
  for (int k = 1; k <= column; ++k) {
    while (pos < body.size() && body[pos] == ' ') ++pos;
    if (pos == body.size()) return false;
    if (k == column) break;
    while (pos < body.size() && body[pos] != ' ') ++pos;
  }
  const int title = line.columns->at(column);
  const int distance = static_cast<int>(pos) - title;
  return title != 0 && distance >= -3 && distance <= 3;
}

bool is_type_letter(char c) { return c == 'I' || c == 'O' || c == 'V' || c == 'C'; }

// Warns about a kind letter the rules do not know or that stands beside
// its column; the place is then a control place.
void warn_about_kind(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char kind = line.letter(kKind);
  if (kind == ' ' && near_its_column(line, kKind) &&
      get_ith_substring(kKind, without_line_end(line.text)) == "d") {
    diag.warning_at(file, line.number,
                    "kind letter 'd' does not stand under the header's 4th title (position " +
                        std::to_string(line.columns->at(kKind)) + "); read as a control place");
  } else if (!line.reaches(kKind)) {
    diag.warning_at(file, line.number, "line ends before the kind column; read as a control place");
  } else if (line.columns->at(kKind) != 0 && kind != 'd' && kind != 'c' && kind != ' ') {
    diag.warning_at(file, line.number,
                    "kind letter '" + std::string(1, kind) +
                        "' is neither d nor c; read as a control place");
  }
}

// The same for the type letter; the place then has no terminal type.
// Without a title for the type column the header warning has said it all.
void warn_about_type(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char type = line.letter(kTerminal);
  const auto word = get_ith_substring(kTerminal, without_line_end(line.text));
  if (type == ' ' && near_its_column(line, kTerminal) && word && word->size() == 1 &&
      is_type_letter((*word)[0])) {
    diag.warning_at(file, line.number,
                    "type letter '" + *word +
                        "' does not stand under the header's 5th title (position " +
                        std::to_string(line.columns->at(kTerminal)) +
                        "); the place gets no terminal type");
  } else if (line.columns->at(kTerminal) != 0 && type != ' ' && !is_type_letter(type)) {
    diag.warning_at(file, line.number,
                    "type letter '" + std::string(1, type) +
                        "' is none of I, O, V, C; the place gets no terminal type");
  }
}

// Reads one data line, reporting what is wrong with it; nothing for a line
// without its transition and place.
std::optional<DataLine> parse(const std::string& file, const TableLine& line, Diagnostics& diag) {
  warn_about_characters(file, line.number, line.text, kTabInNetTable, diag);
  if (!has_transition_and_place(file, line, diag)) return std::nullopt;
  DataLine d;
  d.number = line.number;
  d.transition = get_first_substring(line.text);
  d.place = *get_ith_substring(2, line.text);
  d.direction = line.letter(kDirectionColumn);
  if (direction_is_known(file, line, diag)) {
    warn_about_kind(file, line, diag);
    warn_about_type(file, line, diag);
  }
  d.data = line.letter(kKind) == 'd';
  d.terminal = line.letter(kTerminal);
  if (d.terminal == 'C') d.value = read_constant(file, line, diag);
  d.has_relation = line.letter(kRelation) != ' ';
  if (d.has_relation) d.relation = read_relation(file, line, diag);
  return d;
}

std::string terminal_type(char letter) {
  switch (letter) {
    case 'I': return "I";
    case 'O': return "O";
    case 'V': return "R";
    case 'C': return "C";
    default: return "";
  }
}

// Which net a control place of the data net belongs to: the local net
// first, then the global net, else the data net itself.
std::string control_place_net(const Design& design, const std::string& name) {
  if (design.LNP.contains(name)) return "LNP";
  if (design.GNP.contains(name)) return "GNP";
  return "DNP";
}

// A new place of `transition`, classified and counted.
DN_place_node classify(const DataLine& d, const Design& design, DNT_node& transition) {
  const bool input = d.direction == 'i';
  DN_place_node place;
  place.name = d.place;
  place.type_term = terminal_type(d.terminal);
  if (d.terminal == 'C') place.initial_value = d.value;
  if (d.data) {
    place.type_c_d = "d";
    place.order = ++(input ? transition.datapath_num_in : transition.datapath_num_out);
    return place;
  }
  place.type_c_d = "c";
  place.from_to_inter = control_place_net(design, d.place);
  if (place.from_to_inter == "DNP") {
    ++(input ? transition.control_in_DNP : transition.control_out_DNP);
  } else {
    ++(input ? transition.control_num_in : transition.control_num_out);
  }
  if (d.has_relation) place.relation_ship = d.relation;
  return place;
}


// Answers whether a place is already in one place list of a transition. Short
// lists are searched; a long one gets an index, so that a transition with
// thousands of places is not searched from the head for each of them.
class ListedPlaces {
 public:
  bool contains(const std::vector<DN_place_node>& list, const std::string& name) {
    if (list.size() < kSearched) {
      for (const DN_place_node& p : list)
        if (p.name == name) return true;
      return false;
    }
    const auto name_of = [&list](std::size_t i) -> const std::string& { return list[i].name; };
    for (; indexed_ < list.size(); ++indexed_) index_.insert(list[indexed_].name, indexed_, name_of);
    return index_.find(name, name_of) != NameIndex::npos;
  }

 private:
  static constexpr std::size_t kSearched = 16;
  NameIndex index_;
  std::size_t indexed_ = 0;
};

void read_transitions(const std::vector<DataLine>& lines, Design& design) {
  Collector<DNT_node> transitions(design.DNT.items);
  // Per transition: inputs, outputs.
  std::vector<std::array<ListedPlaces, 2>> listed;
  for (const DataLine& d : lines) {
    bool added = false;
    const std::size_t slot = transitions.slot(d.transition, &added);
    DNT_node& transition = design.DNT.items[slot];
    if (added) {
      transition.line = d.number;
      transition.func_part = d.has_relation ? 1 : 0;
      listed.emplace_back();
    }
    if (d.direction != 'i' && d.direction != 'o') continue;
    const bool input = d.direction == 'i';
    std::vector<DN_place_node>& list = input ? transition.in_link : transition.out_link;
    if (listed[slot][input ? 0 : 1].contains(list, d.place)) continue;  // repeated arc
    list.push_back(classify(d, design, transition));
  }
  for (DNT_node& transition : design.DNT.items) {
    sort_by_name(transition.in_link);
    sort_by_name(transition.out_link);
  }
  sort_by_name(design.DNT.items);
  design.DNT.reindex();
}

// Lines are counted, so a repeated data line counts twice.
void read_places(const std::vector<DataLine>& lines, Design& design) {
  Collector<DNP_node> places(design.DNP.items);
  for (const DataLine& d : lines) {
    DNP_node& place = places[d.place];
    if (d.direction == 'i') {
      place.out_link.push_back(d.transition);
      if (d.data) ++place.datapath_num_out;
    } else if (d.direction == 'o') {
      place.in_link.push_back(d.transition);
      if (d.data) ++place.datapath_num_in;
    }
  }
  finish_places(design.DNP);
}

}  // namespace

void read_data_net(const std::string& file, std::string_view text, Design& design,
                   Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const NetTable table(text);
  table.check_header(file, 7, "the data net reads the letters under titles 3, 4, 5 and 7", diag);
  std::vector<DataLine> lines;
  lines.reserve(table.data_lines().size());
  for (const TableLine& line : table.data_lines()) {
    if (auto d = parse(file, line, diag)) lines.push_back(std::move(*d));
  }
  read_transitions(lines, design);
  read_places(lines, design);
}

}  // namespace syn
