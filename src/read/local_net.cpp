// The local control net: transitions with their input and output places and
// places with their producers and consumers, all ascending by name with
// each name once, whatever the order of the lines.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "read/name_table.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"

namespace syn {
namespace {

// One line with a known direction, its names as ids.
struct LocalArc {
  std::uint32_t transition = 0;
  std::uint32_t place = 0;
  bool input = false;
};

// The lines' names and arcs. A line whose direction is neither 'i' nor 'o'
// still names its transition and its place.
struct LocalLines {
  std::vector<LocalArc> arcs;
  NameTable transitions;
  NameTable places;
};

LocalLines read_lines(const std::string& file, const NetTable& table, Diagnostics& diag) {
  LocalLines read;
  read.arcs.reserve(table.data_lines().size());
  for (const TableLine& line : table.data_lines()) {
    warn_about_characters(file, line.number, line.text, kTabInNetTable, diag);
    const auto names = transition_and_place(file, line, diag);
    if (!names) continue;
    const std::uint32_t transition = read.transitions.id(names->transition);
    const std::uint32_t place = read.places.id(names->place);
    if (!direction_is_known(file, line, diag)) continue;
    read.arcs.push_back({transition, place, line.letter(kDirectionColumn) == 'i'});
  }
  read.transitions.sort();
  read.places.sort();
  return read;
}

std::vector<LN_place_node> place_list(std::vector<std::uint32_t>& ranks, const NameTable& places) {
  std::vector<std::string> names = places.sorted_names(ranks);
  std::vector<LN_place_node> list;
  list.reserve(names.size());
  for (std::string& name : names) list.push_back(LN_place_node{std::move(name)});
  return list;
}

void build_transitions(const LocalLines& read, Design& design) {
  const Groups arcs_of(read.arcs.size(), read.transitions.size(), [&read](std::size_t i) {
    return read.transitions.rank(read.arcs[i].transition);
  });
  std::vector<LNT_node>& items = design.LNT.items;
  items.resize(read.transitions.size());
  std::vector<std::uint32_t> inputs;
  std::vector<std::uint32_t> outputs;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    inputs.clear();
    outputs.clear();
    for (const std::uint32_t i : arcs_of[rank]) {
      const LocalArc& arc = read.arcs[i];
      (arc.input ? inputs : outputs).push_back(read.places.rank(arc.place));
    }
    LNT_node& transition = items[rank];
    transition.name = read.transitions.name_at_rank(rank);
    transition.in_link = place_list(inputs, read.places);
    transition.out_link = place_list(outputs, read.places);
  }
  design.LNT.reindex();
}

void build_places(const LocalLines& read, Design& design) {
  const Groups arcs_of(read.arcs.size(), read.places.size(),
                       [&read](std::size_t i) { return read.places.rank(read.arcs[i].place); });
  std::vector<LNP_node>& items = design.LNP.items;
  items.resize(read.places.size());
  std::vector<std::uint32_t> producers;
  std::vector<std::uint32_t> consumers;
  for (std::uint32_t rank = 0; rank < items.size(); ++rank) {
    producers.clear();
    consumers.clear();
    for (const std::uint32_t i : arcs_of[rank]) {
      const LocalArc& arc = read.arcs[i];
      (arc.input ? consumers : producers).push_back(read.transitions.rank(arc.transition));
    }
    LNP_node& place = items[rank];
    place.name = read.places.name_at_rank(rank);
    place.in_link = read.transitions.sorted_names(producers);
    place.out_link = read.transitions.sorted_names(consumers);
  }
  design.LNP.reindex();
}

}  // namespace

void read_local_net(const std::string& file, std::string_view text, Design& design,
                    Diagnostics& diag) {
  std::string unix_text;
  text = without_carriage_returns(file, text, unix_text, diag);
  const NetTable table(text);
  table.check_header(file, 3, "the local control net reads the letter under title 3", diag);
  const LocalLines read = read_lines(file, table, diag);
  build_transitions(read, design);
  build_places(read, design);
}

}  // namespace syn
