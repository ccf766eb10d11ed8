// A control place that is produced and never consumed, or consumed and never
// produced, is counted over all three nets: a place of the local net may be
// produced by a data transition and consumed by a global one.
//
// Most such places are the design's boundary: a request that the environment
// gives (a join cell or a global control cell reading a net no cell drives)
// or an acknowledge it takes (a net no cell reads). Those look exactly like a
// mistyped name, so a place met by control transitions only is reported when
// its name is one or two edits away from a place that has the side it lacks
// (`lbb` consumed, `lb` produced) and the two look like one name mistyped
// (see typo_distance). A place that a data transition produces and nobody
// consumes is always reported: the transfer's completion goes nowhere.
//
// Left out: places tagged G in the global net (the global mapping refuses
// those without a producer or consumer) and control inputs of data
// transitions that nothing produces (the data net's mapping warns).
#include "read/unlinked_places.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "read/table.hpp"

namespace syn {
namespace {

// How many producers and consumers a place has in the three nets together.
struct Sides {
  std::size_t producers = 0;
  std::size_t consumers = 0;
  bool produced_by_data_transition = false;
  bool read_by_data_transition = false;
};

Sides sides_of(const Design& design, SymbolId name) {
  Sides sides;
  if (const GlobalPlace* global = design.global_places.find(name)) {
    sides.producers += global->producers.size();
    sides.consumers += global->consumers.size();
  }
  if (const LocalPlace* local = design.local_places.find(name)) {
    sides.producers += design.producers_of(*local).size();
    sides.consumers += design.consumers_of(*local).size();
  }
  if (const DataPlace* data = design.data_places.find(name)) {
    sides.producers += design.producers_of(*data).size();
    sides.consumers += design.consumers_of(*data).size();
    sides.produced_by_data_transition = !design.producers_of(*data).empty();
    sides.read_by_data_transition = !design.consumers_of(*data).empty();
  }
  return sides;
}

// A place found on one side only.
struct Unlinked {
  SymbolId name = kNoSymbol;
  bool in_global_net = false;  // named by the global net table, else by the local one
  bool produced = false;       // produced and never consumed, else the reverse
  bool by_data_transition = false;
  SymbolId suggestion = kNoSymbol;
  int line = 0;
};

std::optional<Unlinked> unlinked(const Design& design, SymbolId name, bool in_global_net) {
  const Sides sides = sides_of(design, name);
  if ((sides.producers != 0) == (sides.consumers != 0)) return std::nullopt;
  if (sides.producers == 0 && sides.read_by_data_transition) return std::nullopt;
  Unlinked place;
  place.name = name;
  place.in_global_net = in_global_net;
  place.produced = sides.producers != 0;
  place.by_data_transition = sides.produced_by_data_transition;
  return place;
}

// The places of the global net tagged G anywhere in it, by symbol.
std::vector<bool> tagged_global(const Design& design, const Symbols& symbols) {
  std::vector<bool> tagged(symbols.size(), false);
  for (const GlobalArc& arc : design.global_arcs) {
    if (arc.net == PlaceNet::global_net) tagged[arc.name] = true;
  }
  return tagged;
}

std::vector<Unlinked> find_unlinked(const Design& design, const Symbols& symbols) {
  std::vector<Unlinked> found;
  const std::vector<bool> tagged = tagged_global(design, symbols);
  for (const GlobalPlace& place : design.global_places.items) {
    if (tagged[place.name]) continue;
    if (auto u = unlinked(design, place.name, true)) found.push_back(*u);
  }
  for (const LocalPlace& place : design.local_places.items) {
    if (design.global_places.contains(place.name)) continue;
    if (auto u = unlinked(design, place.name, false)) found.push_back(*u);
  }
  return found;
}

// ---- names one or two edits away ------------------------------------------

constexpr std::size_t kMaxEdits = 2;
// Names longer than this get no near name: a typo check is for names typed.
constexpr std::size_t kLongestName = 64;
// The names looked at in all searches together, so that a design with many
// boundary places costs a bounded amount beyond reading: at most
// kMaxSearches boundary places are searched, fewer in a design so large that
// they would look at more names than this.
constexpr std::size_t kMaxSearches = 64;
constexpr std::size_t kLookBudget = std::size_t{1} << 22;

// The edit distance (insertions, deletions, substitutions) when it is at
// most kMaxEdits, else kMaxEdits + 1; only the band of cells that can stay
// within the limit is filled.
std::size_t near_distance(std::string_view a, std::string_view b) {
  constexpr std::size_t far = kMaxEdits + 1;
  if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > kMaxEdits) return far;
  if (a.size() > kLongestName || b.size() > kLongestName) return far;
  std::array<std::size_t, kLongestName + 1> row;
  std::array<std::size_t, kLongestName + 1> next;
  row.fill(far);
  for (std::size_t j = 0; j <= std::min(b.size(), kMaxEdits); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    next.fill(far);
    if (i <= kMaxEdits) next[0] = i;
    const std::size_t from = i > kMaxEdits ? i - kMaxEdits : 1;
    const std::size_t to = std::min(b.size(), i + kMaxEdits);
    std::size_t best = next[0];
    for (std::size_t j = from; j <= to; ++j) {
      const std::size_t replace = row[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      next[j] = std::min({far, replace, row[j] + 1, next[j - 1] + 1});
      best = std::min(best, next[j]);
    }
    if (best >= far) return far;
    row.swap(next);
  }
  return row[b.size()];
}

// True when two names of one length differ in digits only (`k1`, `k2`).
bool differ_in_digits_only(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && !(digit(a[i]) && digit(b[i]))) return false;
  }
  return true;
}

// Boundary places are often named in series, so a near name only counts as a
// typo when the first letter is kept (`s01` and `f01` are a request and its
// acknowledge), the edits are not most of the name (`s` and `f`) and not
// only digits differ (`k1` and `k2`). The first letter and the lengths are
// compared before the distance is worked out.
std::optional<std::size_t> typo_distance(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty() || a.front() != b.front()) return std::nullopt;
  const std::size_t distance = near_distance(a, b);
  if (distance > kMaxEdits || distance + 1 >= std::max(a.size(), b.size()) ||
      differ_in_digits_only(a, b)) {
    return std::nullopt;
  }
  return distance;
}

// The names of the control places of the three nets: where a near name is
// looked for.
std::vector<SymbolId> control_place_names(const Design& design) {
  std::vector<SymbolId> names;
  for (const GlobalPlace& place : design.global_places.items) names.push_back(place.name);
  for (const LocalPlace& place : design.local_places.items) names.push_back(place.name);
  for (const DataPlace& place : design.data_places.items) {
    if (place.kind == ArcKind::control) names.push_back(place.name);
  }
  return names;
}

// The nearest control place name that has the side `place` lacks; the first
// one found among equally near ones.
SymbolId near_name(const Design& design, const Symbols& symbols,
                   const std::vector<SymbolId>& candidates, const Unlinked& place) {
  const std::string_view text = symbols.text(place.name);
  SymbolId nearest = kNoSymbol;
  std::size_t nearest_distance = kMaxEdits + 1;
  for (const SymbolId other : candidates) {
    if (other == place.name) continue;
    const std::optional<std::size_t> distance = typo_distance(text, symbols.text(other));
    if (!distance || *distance >= nearest_distance) continue;
    const Sides sides = sides_of(design, other);
    if ((place.produced ? sides.consumers : sides.producers) == 0) continue;
    nearest = other;
    nearest_distance = *distance;
  }
  return nearest;
}

// Keeps the places to report: those a data transition produces, and the
// boundary places with a near name.
void keep_reported(const Design& design, const Symbols& symbols, std::vector<Unlinked>& places) {
  if (places.empty()) return;
  const std::vector<SymbolId> candidates = control_place_names(design);
  const std::size_t searches = std::min(kMaxSearches, kLookBudget / (candidates.size() + 1));
  for (std::size_t i = 0; i < places.size() && i < searches; ++i) {
    places[i].suggestion = near_name(design, symbols, candidates, places[i]);
  }
  std::erase_if(places, [](const Unlinked& place) {
    return place.suggestion == kNoSymbol && !place.by_data_transition;
  });
}

// ---- lines ----------------------------------------------------------------

// Gives each place of one table the first line of it that names the place.
// One pass over the table, made only when a place is reported.
void find_lines(NamedText table_text, bool global_table, const Symbols& symbols,
                std::vector<Unlinked>& places) {
  std::vector<std::size_t> waiting;
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].in_global_net == global_table) waiting.push_back(i);
  }
  if (waiting.empty()) return;
  std::sort(waiting.begin(), waiting.end(),
            [&places](std::size_t a, std::size_t b) { return places[a].name < places[b].name; });
  Diagnostics ignored;  // the reader has said all there is to say about the lines
  std::string storage;
  const NetTable table(
      without_carriage_returns(table_text.file, table_text.text, storage, ignored));
  table.for_each_data_line([&](const TableLine& line) {
    const auto names = transition_and_place(table_text.file, line, ignored);
    if (!names) return;
    const SymbolId name = symbols.find(names->place);
    const auto it =
        std::lower_bound(waiting.begin(), waiting.end(), name,
                         [&places](std::size_t i, SymbolId n) { return places[i].name < n; });
    if (it != waiting.end() && places[*it].name == name && places[*it].line == 0) {
      places[*it].line = line.number;
    }
  });
}

std::string message(const Symbols& symbols, const Unlinked& place) {
  std::string text = "control place " + std::string(symbols.text(place.name)) +
                     (place.produced ? " is produced but consumed by no transition of any net"
                                     : " is consumed but produced by no transition of any net");
  if (place.suggestion != kNoSymbol) {
    text += "; did you mean " + std::string(symbols.text(place.suggestion)) + "?";
  }
  return text;
}

}  // namespace

void warn_about_unlinked_places(NamedText global_net, NamedText local_net, const Design& design,
                                const Symbols& symbols, Diagnostics& diag) {
  std::vector<Unlinked> places = find_unlinked(design, symbols);
  keep_reported(design, symbols, places);
  if (places.empty()) return;
  find_lines(global_net, true, symbols, places);
  find_lines(local_net, false, symbols, places);
  for (const Unlinked& place : places) {
    diag.warning_at(place.in_global_net ? global_net.file : local_net.file, place.line,
                    message(symbols, place));
  }
}

}  // namespace syn
