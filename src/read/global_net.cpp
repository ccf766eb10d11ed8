// The global control net: transitions in file order (consecutive lines of
// one name extend one record), then the places sorted by name with the
// transitions on either side, each named once.
#include <algorithm>
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

// Links the line's place to the current transition and counts it.
void add_place(GlobalTransition& transition, char direction, std::string_view name,
               const TableLine& line) {
  GlobalArc place;
  place.name = name;
  const char net = line.letter(kNet);
  place.net = net_of_letter(net);
  const bool input = direction == 'i';
  (input ? transition.inputs : transition.outputs).push_back(std::move(place));
}

// The transitions in file order; the lines' arcs, for the places.
NetArcs read_transitions(const std::string& file, const NetTable& table, Design& design,
                         Diagnostics& diag) {
  std::vector<GlobalTransition>& transitions = design.global_transitions.items;
  NetArcs arcs;
  arcs.arcs.reserve(table.line_bound());
  std::string_view previous = " ";
  table.check_header(file, 5, "the global control net reads the letters under titles 3 and 5",
                     diag);
  table.for_each_data_line([&](const TableLine& line) {
    table.warn_about_characters(file, line, diag);
    const auto names = transition_and_place(file, line, diag);
    if (!names) return;
    const std::string_view name = names->transition;
    if (name != previous) {
      previous = name;
      GlobalTransition transition;
      transition.name = name;
      transition.line = line.number;
      transitions.push_back(std::move(transition));
    }
    const char direction = line.letter(kDirection);
    if (!direction_is_known(file, line, diag)) return;
    warn_about_net_letter(file, line, diag);
    add_place(transitions.back(), direction, names->place, line);
    arcs.arcs.push_back(
        {arcs.transitions.id(name), arcs.places.id(names->place), direction == 'i'});
  });
  design.global_transitions.reindex();
  arcs.transitions.sort();
  arcs.places.sort();
  return arcs;
}

}  // namespace

void read_global_net(const std::string& file, std::string_view text, Design& design,
                     Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const NetTable table(text);
  const NetArcs arcs = read_transitions(file, table, design, diag);
  build_places(arcs, design.global_places);
}

}  // namespace syn
