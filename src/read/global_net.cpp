// The global control net: transitions in file order (consecutive lines of
// one name extend one record), then the places sorted by name with the
// transitions on either side, each named once.
#include <algorithm>
#include <cstdint>
#include <string>

#include "read/net_arcs.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

constexpr int kDirection = kDirectionColumn;
constexpr int kNet = 5;

PlaceNet net_of_letter(char net) {
  if (net == 'G') return PlaceNet::global_net;
  if (net == 'L') return PlaceNet::local_net;
  return PlaceNet::none;
}

void warn_about_net_letter(const std::string& file, const TableLine& line, Diagnostics& diag) {
  if (!line.reaches(kNet)) {
    diag.warning_at(file, line.number, "line ends before the net column; place not tagged");
  } else if (line.letter(kNet) != 'G' && line.letter(kNet) != 'L') {
    diag.warning_at(file, line.number,
                    "net letter '" + std::string(1, line.letter(kNet)) +
                        "' is neither G nor L; place not tagged");
  }
}

// The arcs of the record being read: its inputs go straight into the net's
// arc array, its outputs wait until the record ends, so that each record's
// inputs come before its outputs.
class RecordArcs {
 public:
  explicit RecordArcs(std::vector<GlobalArc>& arcs) : arcs_(arcs) {}

  // Links the line's place to the current record.
  void add(char direction, SymbolId name, const TableLine& line) {
    const GlobalArc place{name, net_of_letter(line.letter(kNet))};
    if (direction == 'i') {
      arcs_.push_back(place);
    } else {
      outputs_.push_back(place);
    }
  }

  // Starts a record, ending the one before.
  void start(std::vector<GlobalTransition>& transitions) {
    if (!transitions.empty()) end(transitions.back());
    first_ = static_cast<std::uint32_t>(arcs_.size());
  }

  // Hands the record its arcs.
  void end(GlobalTransition& transition) {
    const auto inputs_end = static_cast<std::uint32_t>(arcs_.size());
    arcs_.insert(arcs_.end(), outputs_.begin(), outputs_.end());
    transition.inputs = {first_, inputs_end - first_};
    transition.outputs = {inputs_end, static_cast<std::uint32_t>(outputs_.size())};
    outputs_.clear();
  }

 private:
  std::vector<GlobalArc>& arcs_;
  std::vector<GlobalArc> outputs_;
  std::uint32_t first_ = 0;
};

// The global net's lines as arcs, and the position of each transition name's first
// record (by the name table's id).
struct GlobalLines {
  explicit GlobalLines(Symbols& symbols) : net(symbols) {}
  NetArcs net;
  std::vector<std::uint32_t> first_record;
};

// The transitions in file order; the lines' arcs, for the places.
GlobalLines read_transitions(const std::string& file, const NetTable& table, Design& design,
                             Symbols& symbols, Diagnostics& diag) {
  std::vector<GlobalTransition>& transitions = design.global_transitions.items;
  GlobalLines read(symbols);
  NetArcs& arcs = read.net;
  const std::size_t line_bound = table.line_bound();
  arcs.arcs.reserve(line_bound);
  design.global_arcs.reserve(line_bound);
  RecordArcs record_arcs(design.global_arcs);
  std::string_view previous = " ";
  std::uint32_t transition_id = 0;
  table.check_header(file, 5, "the global control net reads the letters under titles 3 and 5",
                     diag);
  table.for_each_data_line([&](const TableLine& line) {
    table.warn_about_characters(file, line, diag);
    const auto names = transition_and_place(file, line, diag);
    if (!names) return;
    const std::string_view name = names->transition;
    if (name != previous) {
      previous = name;
      transition_id = arcs.transitions.id(name);
      if (transition_id == read.first_record.size()) {
        read.first_record.push_back(static_cast<std::uint32_t>(transitions.size()));
      }
      record_arcs.start(transitions);
      GlobalTransition transition;
      transition.name = arcs.transitions.symbol(transition_id);
      transition.line = line.number;
      transitions.push_back(std::move(transition));
    }
    const char direction = line.letter(kDirection);
    if (!direction_is_known(file, line, diag)) return;
    warn_about_net_letter(file, line, diag);
    const std::uint32_t place = arcs.places.id(names->place);
    record_arcs.add(direction, arcs.places.symbol(place), line);
    arcs.arcs.push_back({transition_id, place, direction == 'i'});
  });
  if (!transitions.empty()) record_arcs.end(transitions.back());
  design.global_transitions.index();
  arcs.transitions.sort();
  arcs.places.sort();
  return read;
}

}  // namespace

void read_global_net(const std::string& file, std::string_view text, Design& design,
                     Symbols& symbols, Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const NetTable table(text);
  const GlobalLines read = read_transitions(file, table, design, symbols, diag);
  const auto first_record_at_rank = [&read](std::uint32_t rank) {
    return read.first_record[read.net.transitions.id_at_rank(rank)];
  };
  build_places(read.net, first_record_at_rank, design.global_places, design.global_place_links);
}

}  // namespace syn
