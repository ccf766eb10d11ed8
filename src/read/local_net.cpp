// The local control net: transitions with their input and output places and
// places with their producers and consumers, all ascending by name with
// each name once, whatever the order of the lines. A line whose direction
// is neither 'i' nor 'o' still names its transition and its place.
#include <cstdint>
#include <string>
#include <vector>

#include "read/local_net_text.hpp"
#include "read/name_table.hpp"
#include "read/net_arcs.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"

namespace syn {
namespace {

// Appends the places of one side of a transition to `arcs`, ascending, each
// once; gives their range.
ArcRange add_place_list(std::vector<std::uint32_t>& ranks, const NameTable& places,
                        std::vector<LocalArc>& arcs) {
  sort_unique(ranks);
  const auto first = static_cast<std::uint32_t>(arcs.size());
  for (const std::uint32_t rank : ranks) arcs.push_back(LocalArc{places.symbol_at_rank(rank)});
  return {first, static_cast<std::uint32_t>(ranks.size())};
}

void build_transitions(const NetArcs& read, Design& design) {
  const auto arcs_of = group_positions(
      read.arcs.size(), read.transitions.size(),
      [&read](std::size_t i) { return read.transitions.rank(read.arcs[i].transition); });
  std::vector<LocalTransition>& items = design.local_transitions.items;
  items.resize(read.transitions.size());
  design.local_arcs.reserve(read.arcs.size());
  std::vector<std::uint32_t> inputs;
  std::vector<std::uint32_t> outputs;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    inputs.clear();
    outputs.clear();
    for (const std::uint32_t i : arcs_of[rank]) {
      const NetArc& arc = read.arcs[i];
      (arc.input ? inputs : outputs).push_back(read.places.rank(arc.place));
    }
    LocalTransition& transition = items[rank];
    transition.name = read.transitions.symbol_at_rank(rank);
    transition.line = read.first_line[read.transitions.id_at_rank(rank)];
    transition.inputs = add_place_list(inputs, read.places, design.local_arcs);
    transition.outputs = add_place_list(outputs, read.places, design.local_arcs);
  }
  design.local_transitions.index();
}

}  // namespace

LocalNetText::LocalNetText(const std::string& file, std::string_view text) {
  text = without_carriage_returns(file, text, unix_text_, diag);
  const NetTable table(text);
  table.check_header(file, 3, "the local control net reads the letter under title 3", diag);
  lines.reserve(table.line_bound());
  table.for_each_data_line([&](const TableLine& line) {
    table.warn_about_characters(file, line, diag);
    const auto names = transition_and_place(file, line, diag);
    if (!names) return;
    const bool adds_arc = direction_is_known(file, line, diag);
    lines.push_back({names->transition, names->place, NameIndex::hash_of(names->transition),
                     NameIndex::hash_of(names->place), line.number, adds_arc,
                     line.letter(kDirectionColumn) == 'i'});
  });
}

NetArcs number_local_net(const LocalNetText& text, Symbols& symbols, Diagnostics& diag) {
  diag.append(text.diag);
  NetArcs read(symbols);
  read.arcs.reserve(text.lines.size());
  // Names are looked for in a table far larger than the cache: the slots of
  // the names some lines ahead are fetched while this line is numbered.
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    if (i + kAhead < text.lines.size()) {
      symbols.prefetch(text.lines[i + kAhead].transition_hash);
      symbols.prefetch(text.lines[i + kAhead].place_hash);
    }
    const LocalLineText& line = text.lines[i];
    const std::uint32_t transition = read.transitions.id(line.transition, line.transition_hash);
    if (transition == read.first_line.size()) read.first_line.push_back(line.number);
    const std::uint32_t place = read.places.id(line.place, line.place_hash);
    if (line.adds_arc) read.arcs.push_back({transition, place, line.input});
  }
  return read;
}

void build_local_net(NetArcs names, Design& design) {
  names.transitions.sort();
  names.places.sort();
  build_transitions(names, design);
  // The transitions' list is in rank order: a rank is a position.
  build_places(
      names, [](std::uint32_t rank) { return rank; }, design.local_places,
      design.local_place_links);
}

}  // namespace syn
