// The data net. The lines are read once into compact records that number
// their transition and place names; the transitions, with their classified
// places and counts, and the places, with the transitions that write and
// read them, are then built directly in their final, ascending order.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "read/data_line_checks.hpp"
#include "read/data_net_text.hpp"
#include "read/name_table.hpp"
#include "read/net_arcs.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"
#include "util/run_beside.hpp"

namespace syn {
namespace {

constexpr int kKind = 4;
constexpr int kTerminal = 5;
constexpr int kValueWord = 6;
constexpr int kRelation = 7;

bool all_digits(std::string_view word) {
  for (char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The constant's value word, read without the line end.
int read_constant(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const auto word = nth_token(kValueWord, without_line_end(line.text));
  if (!word) {
    diag.error_at(file, line.number, "constant without its value (sixth word)");
    return 0;
  }
  const int value = digit_rule_value(*word);
  if (!all_digits(*word)) {
    diag.warning_at(file, line.number,
                    "constant value '" + std::string(*word) +
                        "' is not a plain decimal number; read as " + std::to_string(value));
  }
  return value;
}

// The relation word of the ten-character column 7, read without the line end.
std::string_view read_relation(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const auto word = field_token(kRelation, without_line_end(line.text));
  if (!word) {
    const int marker = line.columns->at(kRelation);
    diag.error_at(file, line.number,
                  "relation marker at position " + std::to_string(marker) +
                      (marker == 0 ? " (the header has no 7th title, so every line has one)" : "") +
                      " without a blank-terminated word in positions 60 to 69");
    return {};
  }
  return *word;
}

// True when the line's word number `column` starts a few characters from
// the position of that column's title: a letter typed slightly out of
// place, not a word of another column.
bool near_its_column(const TableLine& line, int column) {
  const std::string_view body = without_line_end(line.text);
  const int title = line.columns->at(column);
  if (title == 0) return false;
  // Nothing but blanks near the title, the common case: no word starts there.
  const std::size_t near = static_cast<std::size_t>(std::max(title - 3, 0));
  if (near >= body.size() || body.substr(near, 7).find_first_not_of(' ') == std::string_view::npos)
    return false;
  std::size_t pos = 0;
  for (int k = 1; k <= column; ++k) {
    while (pos < body.size() && body[pos] == ' ') ++pos;
    if (pos == body.size()) return false;
    if (k == column) break;
    while (pos < body.size() && body[pos] != ' ') ++pos;
  }
  const int distance = static_cast<int>(pos) - title;
  return distance >= -3 && distance <= 3;
}

bool is_type_letter(char c) { return c == 'I' || c == 'O' || c == 'V' || c == 'C'; }

// Warns about a kind letter the rules do not know or that stands beside
// its column; the place is then a control place.
void warn_about_kind(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char kind = line.letter(kKind);
  if (kind == 'd' || kind == 'c') return;  // the common case, said first
  if (kind == ' ' && near_its_column(line, kKind) &&
      nth_token(kKind, without_line_end(line.text)) == "d") {
    diag.warning_at(file, line.number,
                    "kind letter 'd' does not stand under the header's 4th title (position " +
                        std::to_string(line.columns->at(kKind)) + "); read as a control place");
  } else if (!line.reaches(kKind)) {
    diag.warning_at(file, line.number, "line ends before the kind column; read as a control place");
  } else if (line.columns->at(kKind) != 0 && kind != ' ') {
    diag.warning_at(
        file, line.number,
        "kind letter '" + std::string(1, kind) + "' is neither d nor c; read as a control place");
  }
}

// The same for the type letter; the place then has no terminal type.
// Without a title for the type column the header warning has said it all.
void warn_about_type(const std::string& file, const TableLine& line, Diagnostics& diag) {
  const char type = line.letter(kTerminal);
  if (is_type_letter(type)) return;
  if (type != ' ') {
    if (line.columns->at(kTerminal) != 0) {
      diag.warning_at(file, line.number,
                      "type letter '" + std::string(1, type) +
                          "' is none of I, O, V, C; the place gets no terminal type");
    }
    return;
  }
  if (!near_its_column(line, kTerminal)) return;
  const auto word = nth_token(kTerminal, without_line_end(line.text));
  if (word && word->size() == 1 && is_type_letter((*word)[0])) {
    diag.warning_at(file, line.number,
                    "type letter '" + std::string(*word) +
                        "' does not stand under the header's 5th title (position " +
                        std::to_string(line.columns->at(kTerminal)) +
                        "); the place gets no terminal type");
  }
}

// Reads the letter columns of a data line that has its transition and
// place, reporting what is wrong with them; adds its relation word, if any,
// to `relation_words`.
DataLine read_columns(const std::string& file, const TableLine& line,
                      std::vector<std::string_view>& relation_words, Diagnostics& diag) {
  DataLine d;
  d.direction = line.letter(kDirectionColumn);
  if (direction_is_known(file, line, diag)) {
    warn_about_kind(file, line, diag);
    warn_about_type(file, line, diag);
  }
  d.data = line.letter(kKind) == 'd';
  d.terminal = line.letter(kTerminal);
  if (d.terminal == 'C') d.value = read_constant(file, line, diag);
  if (line.letter(kRelation) != ' ') {
    relation_words.push_back(read_relation(file, line, diag));
    d.relation = static_cast<std::uint32_t>(relation_words.size());
  }
  return d;
}

}  // namespace

DataNetText::DataNetText(const std::string& file, std::string_view text) : file_name(file) {
  text = without_carriage_returns(file, text, unix_text_, diag);
  const NetTable table(text);
  table.check_header(file, 7, "the data net reads the letters under titles 3, 4, 5 and 7", diag);
  lines.reserve(table.line_bound());
  table.for_each_data_line([&](const TableLine& line) {
    table.warn_about_characters(file, line, diag);
    const auto names = transition_and_place(file, line, diag);
    if (!names) return;
    const DataLine columns = read_columns(file, line, relation_words, diag);
    lines.push_back({names->transition, names->place, NameIndex::hash_of(names->transition),
                     NameIndex::hash_of(names->place), columns, line.number});
  });
}

namespace {

// Numbers the names of the parsed lines, each line's relation word first,
// then its transition and its place, and sorts both name lists (the
// transitions' on a second thread when one can be had). Warns about what a
// line says that no rule reads (see DataLineChecks).
DataLines number_lines(const DataNetText& text, const Design& design, Symbols& symbols,
                       Diagnostics& diag) {
  DataLines read(symbols);
  DataLineChecks checks(text.file_name, design, symbols);
  read.lines.reserve(text.lines.size());
  // Names are looked for in a table far larger than the cache: the slots of
  // the names some lines ahead are fetched while this line is numbered.
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    if (i + kAhead < text.lines.size()) {
      symbols.prefetch(text.lines[i + kAhead].transition_hash);
      symbols.prefetch(text.lines[i + kAhead].place_hash);
    }
    const DataLineText& line = text.lines[i];
    DataLine d = line.columns;
    if (d.has_relation()) {
      read.relations.push_back(symbols.intern(text.relation_words[d.relation - 1]));
      d.relation = static_cast<std::uint32_t>(read.relations.size());
    }
    d.transition = read.transitions.id(line.transition, line.transition_hash);
    if (d.transition == read.first_line.size()) read.first_line.push_back(line.number);
    d.place = read.places.id(line.place, line.place_hash);
    read.lines.push_back(d);
    checks.check(
        {line.number, d.transition, line.transition, d.place, read.places.symbol(d.place),
         line.place, d.direction, d.terminal, d.data,
         d.has_relation() ? symbols.text(read.relations[d.relation - 1]) : std::string_view()},
        diag);
  }
  run_beside([&read] { read.transitions.sort(); }, [&read] { read.places.sort(); });
  return read;
}

bool adds_arc(const DataLine& d) { return d.direction == 'i' || d.direction == 'o'; }

Terminal terminal_type(char letter) {
  switch (letter) {
    case 'I':
      return Terminal::input_port;
    case 'O':
      return Terminal::output_port;
    case 'V':
      return Terminal::register_place;
    case 'C':
      return Terminal::constant;
    default:
      return Terminal::none;
  }
}

Relation relation_of(std::string_view word) {
  if (word == ">") return Relation::greater;
  if (word == ">=") return Relation::greater_or_equal;
  if (word == "<") return Relation::less;
  if (word == "<=") return Relation::less_or_equal;
  if (word == "=") return Relation::equal;
  if (word == "!=") return Relation::not_equal;
  return word.empty() ? Relation::none : Relation::other;
}

// Which net each place of the data net belongs to when it is a control
// place: the local net first, then the global net, else the data net itself.
class ControlPlaceNets {
 public:
  ControlPlaceNets(const Design& design, const NameTable& places) : nets_(places.size()) {
    for (std::uint32_t id = 0; id < places.size(); ++id) {
      const SymbolId name = places.symbol(id);
      nets_[id] = design.local_places.contains(name)    ? PlaceNet::local_net
                  : design.global_places.contains(name) ? PlaceNet::global_net
                                                        : PlaceNet::data_net;
    }
  }

  PlaceNet of(std::uint32_t place) const { return nets_[place]; }

 private:
  std::vector<PlaceNet> nets_;  // by place id
};

// A place of a transition as its first line names it: the line, and the
// position among the transition's same-direction data places.
struct FirstArc {
  std::uint32_t place_rank = 0;
  std::uint32_t line = 0;
  int order = 0;
};

// Adds each place of one direction of a transition once (a repeated arc
// is left out), classified and counted, to `inputs` or `outputs` in line
// order.
class TransitionArcs {
 public:
  TransitionArcs(const DataLines& read, const ControlPlaceNets& nets)
      : read_(read),
        nets_(nets),
        seen_{std::vector<std::uint32_t>(read.places.size(), 0),
              std::vector<std::uint32_t>(read.places.size(), 0)} {}

  // Collects the arcs of the transition of rank `rank` from its lines.
  void collect(std::uint32_t rank, std::span<const std::uint32_t> lines,
               DataTransition& transition) {
    inputs.clear();
    outputs.clear();
    for (const std::uint32_t i : lines) {
      const DataLine& d = read_.lines[i];
      if (!adds_arc(d)) continue;
      const bool input = d.direction == 'i';
      std::uint32_t& seen = seen_[input ? 0 : 1][d.place];
      if (seen == rank + 1) continue;  // repeated arc
      seen = rank + 1;
      (input ? inputs : outputs)
          .push_back({read_.places.rank(d.place), i, count(d, input, transition)});
    }
  }

  std::vector<FirstArc> inputs;
  std::vector<FirstArc> outputs;

 private:
  // Counts a new place of the transition; gives a data place's order.
  int count(const DataLine& d, bool input, DataTransition& transition) {
    if (d.data) return ++(input ? transition.data_input_count : transition.data_output_count);
    if (nets_.of(d.place) == PlaceNet::data_net) {
      ++(input ? transition.data_net_control_inputs : transition.data_net_control_outputs);
    } else {
      ++(input ? transition.control_net_inputs : transition.control_net_outputs);
    }
    return 0;
  }

  const DataLines& read_;
  const ControlPlaceNets& nets_;
  std::vector<std::uint32_t> seen_[2];  // by place id: rank + 1 of the last transition listing it
};

// The place of an arc, as the arc's first line describes it.
DataArc make_place(const FirstArc& arc, const DataLines& read, const ControlPlaceNets& nets,
                   const Symbols& symbols) {
  const DataLine& d = read.lines[arc.line];
  DataArc place;
  place.name = read.places.symbol_at_rank(arc.place_rank);
  place.place = arc.place_rank;  // the place list is in rank order
  place.terminal = terminal_type(d.terminal);
  if (d.terminal == 'C') place.initial_value = d.value;
  if (d.data) {
    place.kind = ArcKind::data;
    place.order = arc.order;
    return place;
  }
  place.kind = ArcKind::control;
  place.net = nets.of(d.place);
  if (d.has_relation()) {
    place.relation_word = read.relations[d.relation - 1];
    place.relation = relation_of(symbols.text(place.relation_word));
  }
  return place;
}

// Appends the place list of one direction, ascending by name, to the
// design's data arcs; gives its range.
ArcRange add_place_list(std::vector<FirstArc>& arcs, const DataLines& read,
                        const ControlPlaceNets& nets, const Symbols& symbols, Design& design) {
  std::sort(arcs.begin(), arcs.end(),
            [](const FirstArc& a, const FirstArc& b) { return a.place_rank < b.place_rank; });
  const auto first = static_cast<std::uint32_t>(design.data_arcs.size());
  for (const FirstArc& arc : arcs) {
    design.data_arcs.push_back(make_place(arc, read, nets, symbols));
  }
  return {first, static_cast<std::uint32_t>(arcs.size())};
}

// What the transition's entries say of their places' kind, terminal type and
// constant value goes into the place records: outputs first, so that an
// input entry of the same place wins.
void describe_places(const DataTransition& transition, Design& design) {
  std::vector<DataPlace>& places = design.data_places.items;
  for (const auto list : {design.outputs_of(transition), design.inputs_of(transition)}) {
    for (const DataArc& arc : list) {
      DataPlace& place = places[arc.place];
      place.terminal = arc.terminal;
      place.kind = arc.kind;
      place.initial_value = arc.initial_value;
    }
  }
}

// The transitions, ascending by name; a transition's relation part comes
// from its first line. A later transition's entries describe a place over
// an earlier one's.
void build_transitions(const DataLines& read, Design& design, const Symbols& symbols) {
  const auto lines_of = group_positions(
      read.lines.size(), read.transitions.size(),
      [&read](std::size_t i) { return read.transitions.rank(read.lines[i].transition); });
  ControlPlaceNets nets(design, read.places);
  TransitionArcs arcs(read, nets);
  std::vector<DataTransition>& items = design.data_transitions.items;
  items.resize(read.transitions.size());
  design.data_arcs.reserve(read.lines.size());
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    DataTransition& transition = items[rank];
    const auto lines = lines_of[rank];
    const DataLine& first = read.lines[lines.front()];
    transition.name = read.transitions.symbol_at_rank(rank);
    transition.line = read.first_line[read.transitions.id_at_rank(rank)];
    transition.is_operation = first.has_relation();
    arcs.collect(rank, lines, transition);
    transition.inputs = add_place_list(arcs.inputs, read, nets, symbols, design);
    transition.outputs = add_place_list(arcs.outputs, read, nets, symbols, design);
    describe_places(transition, design);
  }
  design.data_transitions.index();
}

// What a place keeps of each of its lines.
struct PlaceLine {
  std::uint32_t transition = 0;  // rank
  char direction = ' ';
  bool data = false;
};

PlaceLine place_line(const DataLine& d, const NameTable& transitions) {
  return {transitions.rank(d.transition), d.direction, d.data};
}

// The declared width of each name: registers first, then inputs, then
// outputs, the first declaration of a name winning; by symbol id, -1 for
// an undeclared name.
std::vector<int> declared_widths(const Design& design) {
  std::vector<int> widths;
  for (const auto* list : {&design.registers, &design.inputs, &design.outputs}) {
    for (const IoDeclaration& entry : *list) {
      if (entry.name >= widths.size()) widths.resize(entry.name + 1, -1);
      if (widths[entry.name] < 0) widths[entry.name] = entry.width;
    }
  }
  return widths;
}

// The net a place shares its name with: the global net wins over the local one.
PlaceNet shared_net(const Design& design, SymbolId name) {
  return design.global_places.contains(name)  ? PlaceNet::global_net
         : design.local_places.contains(name) ? PlaceNet::local_net
                                              : PlaceNet::data_net;
}

// The places, ascending by name, with their writers and readers, declared
// widths and the net that shares their names. Lines are counted, so a
// repeated data line counts twice.
void build_places(const DataLines& read, Design& design) {
  const std::vector<int> widths = declared_widths(design);
  const Groups<PlaceLine> lines_of(
      read.lines.size(), read.places.size(),
      [&read](std::size_t i) { return read.places.rank(read.lines[i].place); },
      [&read](std::size_t i) { return place_line(read.lines[i], read.transitions); });
  std::vector<DataPlace>& items = design.data_places.items;
  PlaceLinks links(design.data_place_links, read.lines.size());
  std::vector<std::uint32_t> writers;
  std::vector<std::uint32_t> readers;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    DataPlace& place = items[rank];
    place.name = read.places.symbol_at_rank(rank);
    const int width = place.name < widths.size() ? widths[place.name] : -1;
    place.declared_width = width < 0 ? 0 : width;
    place.net = shared_net(design, place.name);
    writers.clear();
    readers.clear();
    for (const PlaceLine& line : lines_of[rank]) {
      if (line.direction == 'i') {
        readers.push_back(line.transition);
        if (line.data) ++place.reader_lines;
      } else if (line.direction == 'o') {
        writers.push_back(line.transition);
        if (line.data) ++place.writer_lines;
      }
    }
    // The transitions' list is in rank order: a rank is a position.
    sort_unique(writers);
    sort_unique(readers);
    place.links = links.add(writers, readers);
  }
  design.data_places.index();
}

}  // namespace

DataLines number_data_net(const DataNetText& text, const Design& design, Symbols& symbols,
                          Diagnostics& diag) {
  diag.append(text.diag);
  return number_lines(text, design, symbols, diag);
}

void build_data_net(const DataLines& names, Design& design, const Symbols& symbols) {
  // The place records are made first; then the places' names and links and
  // the transitions (which set the places' kind and terminal type, other
  // fields of the same records) are filled in side by side.
  design.data_places.items.resize(names.places.size());
  run_beside([&] { build_transitions(names, design, symbols); },
             [&] { build_places(names, design); });
}

}  // namespace syn
