// The local control net: transitions with their input and output places and
// places with their producers and consumers, all ascending by name with
// each name once, whatever the order of the lines.
#include <string>

#include "read/read_design.hpp"
#include "read/sorted.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

void sort_places(std::vector<LN_place_node>& places) {
  sort_by_name(places);
  places.erase(std::unique(places.begin(), places.end(),
                           [](const LN_place_node& a, const LN_place_node& b) {
                             return a.name == b.name;
                           }),
               places.end());
}

}  // namespace

// The transition view and the place view come from the same lines; a line
// whose direction is neither 'i' nor 'o' still names its transition and
// its place.
void read_local_net(const std::string& file, std::string_view text, Design& design,
                    Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const NetTable table(text);
  Collector<LNT_node> transitions(design.LNT.items);
  Collector<LNP_node> places(design.LNP.items);
  table.check_header(file, 3, "the local control net reads the letter under title 3", diag);
  for (const TableLine& line : table.data_lines()) {
    warn_about_characters(file, line.number, line.text, kTabInNetTable, diag);
    if (!has_transition_and_place(file, line, diag)) continue;
    const std::string t = get_first_substring(line.text);
    const std::string p = *get_ith_substring(2, line.text);
    LNT_node& transition = transitions[t];
    LNP_node& place = places[p];
    if (!direction_is_known(file, line, diag)) continue;
    if (line.letter(kDirectionColumn) == 'i') {
      transition.in_link.push_back(LN_place_node{p});
      place.out_link.push_back(t);
    } else {
      transition.out_link.push_back(LN_place_node{p});
      place.in_link.push_back(t);
    }
  }
  for (LNT_node& transition : design.LNT.items) {
    sort_places(transition.in_link);
    sort_places(transition.out_link);
  }
  sort_by_name(design.LNT.items);
  design.LNT.reindex();
  finish_places(design.LNP);
}

}  // namespace syn
