// Global control net: every global transition becomes one DC control cell.
//
// Pass 1 builds the cells (names from the set and reset lists, pins unnamed),
// pass 2 names the backward nets (the bk pin of a transition and one reset pin
// of each producer), pass 3 the set pins, pass 4 the forward pins.
//
// Shapes that cannot give a sound cell are refused before any cell is built:
// a name used by two groups of lines, a transition without a global input or
// output place, a global place listed twice for one transition, and a global
// place with nobody on its other side. The later passes refuse the nets whose
// pins cannot all be named exactly once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "map/global_control_naming.hpp"
#include "map/main_mapping.hpp"
#include "map/names.hpp"
#include "map/net_drivers.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// An entry of the related lists of one transition. In the bk and r lists the
// place is the global place of the arc, so that a consumer finds the reset
// pin of the same arc when a producer feeds it through several places.
struct ArcOfTransition {
  std::uint32_t transition = 0;  // producer or consumer: its first record's position
  SymbolId place = kNoSymbol;    // global place of the arc
  int reset_pin = 0;             // r list: position among the reset pins
  std::string groups;            // r list: "r" + place rank + consumer rank
};

// A global place of one of a transition's lists, with its record (the
// global net's reader makes a record for every place its transitions name).
struct ListedGlobalPlace {
  SymbolId name;
  const GlobalPlace* record;
};

// A local input place with its records in the three nets (null where the
// local or data net has no such place; the global net always has it) and the
// number of its producers in all three.
struct LocalInput {
  SymbolId name;
  const GlobalPlace* global;
  const LocalPlace* local;
  const DataPlace* data;
  int count;
};

// What the passes keep per global transition, parallel to the design's list.
// The places' records are searched once, before the checks.
struct TransitionWork {
  int instance = 0;
  std::size_t cell = 0;  // its position in the netlist's cell list
  int set_pins = 0;  // S
  std::vector<ListedGlobalPlace> global_in;   // global input places, list order
  std::vector<ListedGlobalPlace> global_out;  // global output places, list order
  std::vector<ArcOfTransition> backward_arcs;
  std::vector<ArcOfTransition> reset_arcs;
  std::vector<LocalInput> set_arcs;  // local input places, by count
  // Positions in reset_arcs ordered by (consumer, place), list order
  // among equal arcs, to find the reset entry of an arc by binary search.
  std::vector<std::size_t> reset_entries_by_arc;
  std::vector<bool> reset_pin_named;  // by reset_pin - 1
};

constexpr PlaceNet kGlobal = PlaceNet::global_net;
constexpr PlaceNet kLocal = PlaceNet::local_net;

std::vector<SymbolId> places_tagged(GlobalArcs places, PlaceNet tag) {
  std::vector<SymbolId> names;
  for (const GlobalArc& place : places) {
    if (place.net == tag) names.push_back(place.name);
  }
  return names;
}

std::vector<ListedGlobalPlace> listed_global_places(const Design& design, GlobalArcs places) {
  std::vector<ListedGlobalPlace> found;
  found.reserve(places.size());
  for (const GlobalArc& place : places) {
    if (place.net == kGlobal) found.push_back({place.name, design.global_places.find(place.name)});
  }
  return found;
}

// The set list (producers counted) or the reset list (consumers counted);
// each entry's index is its position in `places`.
std::vector<CountedPlace> counted(const std::vector<ListedGlobalPlace>& places,
                                  bool count_producers) {
  std::vector<CountedPlace> list;
  list.reserve(places.size());
  for (std::size_t i = 0; i < places.size(); ++i) {
    const GlobalPlace* record = places[i].record;
    const auto& others = count_producers ? record->producers : record->consumers;
    list.push_back({static_cast<int>(others.size()), i});
  }
  return order_by_count(list);
}

// Names pin `number` (from 1) of a transition's cell, whose pins were all
// made with it.
void name_pin(MapContext& ctx, const TransitionWork& work, int number, const NetName& net) {
  ctx.netlist.name_pin(ctx.netlist.cells()[work.cell], static_cast<std::size_t>(number - 1), net);
}

// ---- checks before building -----------------------------------------------

// Which entries of a place list name the same place of the same net as an
// earlier entry: sorted by (net, name), each entry after the first of a run
// of equal ones repeats it.
std::vector<bool> repeated_places(GlobalArcs places) {
  std::vector<bool> repeated(places.size(), false);
  if (places.size() < 2) return repeated;
  std::vector<std::size_t> order;
  order.reserve(places.size());
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].net == kGlobal || places[i].net == kLocal) order.push_back(i);
  }
  auto key = [&places](std::size_t i) { return std::tie(places[i].net, places[i].name); };
  std::stable_sort(order.begin(), order.end(),
                   [&key](std::size_t a, std::size_t b) { return key(a) < key(b); });
  for (std::size_t k = 1; k < order.size(); ++k) {
    if (key(order[k]) == key(order[k - 1])) repeated[order[k]] = true;
  }
  return repeated;
}

bool check_places(MapContext& ctx, const GlobalTransition& t, GlobalArcs places,
                  const char* direction) {
  bool ok = true;
  const std::vector<bool> repeated = repeated_places(places);
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (!repeated[i]) continue;
    const GlobalArc& place = places[i];
    const char* net = place.net == kGlobal ? "global" : "local";
    ctx.diag.error("global transition " + ctx.name(t.name) + ": place " + ctx.name(place.name) +
                   " is listed twice as a " + net + " " + direction + " place");
    ok = false;
  }
  return ok;
}

bool check_global_side(MapContext& ctx, const GlobalTransition& t,
                       const std::vector<ListedGlobalPlace>& places, bool inputs) {
  const char* side = inputs ? "input" : "output";
  if (places.empty()) {
    ctx.diag.error("global transition " + ctx.name(t.name) + ": no " + side +
                   " place of the global net; its control cell needs at least one");
    return false;
  }
  bool ok = true;
  for (const ListedGlobalPlace& place : places) {
    const auto& others = inputs ? place.record->producers : place.record->consumers;
    if (others.empty()) {
      ctx.diag.error("global transition " + ctx.name(t.name) + ": global " + side + " place " +
                     ctx.name(place.name) + (inputs ? " has no producer" : " has no consumer") +
                     " in the global net");
      ok = false;
    }
  }
  return ok;
}

// Reports every transition that cannot become a sound cell; true when none.
bool check_transitions(MapContext& ctx, const std::vector<TransitionWork>& work) {
  bool ok = true;
  for (std::size_t i = 0; i < work.size(); ++i) {
    const GlobalTransition& t = ctx.design.global_transitions.items[i];
    // The index holds the first record of each name.
    const GlobalTransition* first = ctx.design.global_transitions.find(t.name);
    if (first != nullptr && first != &t) {
      ctx.diag.error("global transition " + ctx.name(t.name) +
                     ": its lines stand in two separate groups (lines " + decimal(first->line) +
                     " and " + decimal(t.line) +
                     "); the lines of one transition must follow each other");
      ok = false;
      continue;
    }
    ok &= check_places(ctx, t, ctx.design.inputs_of(t), "input");
    ok &= check_places(ctx, t, ctx.design.outputs_of(t), "output");
    ok &= check_global_side(ctx, t, work[i].global_in, true);
    ok &= check_global_side(ctx, t, work[i].global_out, false);
  }
  return ok;
}

// ---- pass 1: one cell per transition --------------------------------------

std::vector<ArcOfTransition> backward_list(const std::vector<ListedGlobalPlace>& global_in) {
  std::vector<ArcOfTransition> list;
  std::size_t arcs = 0;
  for (const ListedGlobalPlace& place : global_in) arcs += place.record->producers.size();
  list.reserve(arcs);
  for (const ListedGlobalPlace& place : global_in) {
    for (const std::uint32_t producer : place.record->producers) {
      list.push_back({producer, place.name, 0, {}});
    }
  }
  return list;
}

void fill_reset_list(const std::vector<CountedPlace>& reset_list, TransitionWork& work) {
  int reset_pin = 0;
  int k = 0;
  std::size_t arcs = 0;
  for (const CountedPlace& place : reset_list)
    arcs += work.global_out[place.index].record->consumers.size();
  work.reset_arcs.reserve(arcs);
  for (const CountedPlace& place : reset_list) {
    ++k;
    int j = 0;
    const ListedGlobalPlace& listed = work.global_out[place.index];
    for (const std::uint32_t consumer : listed.record->consumers) {
      ++j;
      const std::string groups = "r" + decimal(k) + decimal(j);
      work.reset_arcs.push_back({consumer, listed.name, ++reset_pin, groups});
    }
  }
  work.reset_pin_named.assign(work.reset_arcs.size(), false);
  const auto& entries = work.reset_arcs;
  work.reset_entries_by_arc.resize(entries.size());
  for (std::size_t e = 0; e < entries.size(); ++e) work.reset_entries_by_arc[e] = e;
  std::stable_sort(work.reset_entries_by_arc.begin(), work.reset_entries_by_arc.end(),
                   [&entries](std::size_t a, std::size_t b) {
                     return std::tie(entries[a].transition, entries[a].place) <
                            std::tie(entries[b].transition, entries[b].place);
                   });
}

// The local input places with the number of their producers in all three
// nets, ordered by that number.
std::vector<LocalInput> local_input_list(const Design& design, const GlobalTransition& t) {
  std::vector<LocalInput> inputs;
  std::vector<CountedPlace> list;
  for (const GlobalArc& place : design.inputs_of(t)) {
    if (place.net != kLocal) continue;
    LocalInput input{place.name, design.global_places.find(place.name),
                     design.local_places.find(place.name), design.data_places.find(place.name), 0};
    std::size_t count = input.global->producers.size();
    if (input.local != nullptr) count += design.producers_of(*input.local).size();
    if (input.data != nullptr) count += design.producers_of(*input.data).size();
    input.count = static_cast<int>(count);
    list.push_back({input.count, inputs.size()});
    inputs.push_back(input);
  }
  std::vector<LocalInput> related;
  related.reserve(inputs.size());
  for (const CountedPlace& entry : order_by_count(list)) related.push_back(inputs[entry.index]);
  return related;
}

int sum_of_counts(const std::vector<CountedPlace>& list) {
  int sum = 0;
  for (const CountedPlace& entry : list) sum += entry.num;
  return sum;
}

std::vector<int> group_counts(const std::vector<CountedPlace>& list) {
  std::vector<int> counts;
  counts.reserve(list.size());
  for (const CountedPlace& entry : list) counts.push_back(entry.num);
  return counts;
}

void build_cell(MapContext& ctx, const GlobalTransition& t, TransitionWork& work) {
  ctx.console << "G";
  const auto set_list = counted(work.global_in, true);
  const auto reset_list = counted(work.global_out, false);
  const int set_pins = sum_of_counts(set_list);
  const int reset_pins = sum_of_counts(reset_list);

  // bk, the set pins, fw, the reset pins; named by the later passes.
  const Cell& cell = ctx.netlist.start_cell(control_cell_name(set_list, reset_list),
                                            global_control_cell(
                                                set_pins, ctx.netlist.add_control_groups(
                                                              {group_counts(set_list),
                                                               group_counts(reset_list)})),
                                            static_cast<std::size_t>(set_pins + reset_pins + 2));
  work.instance = cell.instance;
  work.cell = ctx.netlist.cells().size() - 1;
  work.set_pins = set_pins;

  work.backward_arcs = backward_list(work.global_in);
  work.set_arcs = local_input_list(ctx.design, t);
  fill_reset_list(reset_list, work);
}

// ---- pass 2: backward nets ------------------------------------------------

struct ResetArc {
  std::size_t producer = 0;  // index of the producer's record
  std::size_t entry = 0;     // index into its reset_arcs
};

// The producer's reset entry for the arc into `t` through `bk.place`: the
// entry of the same arc, so that a producer feeding `t` through several
// places has each of its reset pins named once.
std::optional<ResetArc> find_reset_arc(const Design& design, const GlobalTransition& t,
                                       const ArcOfTransition& bk,
                                       const std::vector<TransitionWork>& work) {
  ResetArc found;
  found.producer = bk.transition;
  const TransitionWork& producer_work = work[found.producer];
  const auto& entries = producer_work.reset_arcs;
  const auto& by_arc = producer_work.reset_entries_by_arc;
  const std::uint32_t consumer = design.global_transitions.position(t.name);
  const auto arc = std::tie(consumer, bk.place);
  // The first entry of the arc in list order, the one a search from the
  // head of the list would find.
  auto it = std::lower_bound(by_arc.begin(), by_arc.end(), arc,
                             [&entries](std::size_t e, const auto& key) {
                               return std::tie(entries[e].transition, entries[e].place) < key;
                             });
  if (it == by_arc.end() || std::tie(entries[*it].transition, entries[*it].place) != arc) {
    return std::nullopt;
  }
  found.entry = *it;
  return found;
}

void name_backward_net(MapContext& ctx, std::size_t index, std::vector<TransitionWork>& work) {
  const GlobalTransition& t = ctx.design.global_transitions.items[index];
  std::vector<ResetArc> arcs;
  std::vector<backward_group> groups;
  bool complete = true;
  for (const ArcOfTransition& bk : work[index].backward_arcs) {
    const std::optional<ResetArc> found = find_reset_arc(ctx.design, t, bk, work);
    if (!found) {
      const std::string place = ctx.name(bk.place);
      ctx.diag.error("global transition " + ctx.name(t.name) + ": global input place " + place +
                     " comes from " +
                     ctx.name(ctx.design.global_transitions.items[bk.transition].name) +
                     ", which does not list " + place + " as a global output place");
      complete = false;
      continue;
    }
    arcs.push_back(*found);
    const ArcOfTransition& entry = work[found->producer].reset_arcs[found->entry];
    groups.push_back({work[found->producer].instance, entry.groups});
  }
  if (!complete) {
    // Already refused; keep the arcs found from being reported once more.
    for (const ResetArc& arc : arcs) work[arc.producer].reset_pin_named[arc.entry] = true;
    return;
  }

  const NetName net = backward_net_name(work[index].instance, groups);
  name_pin(ctx, work[index], 1, net);
  for (const ResetArc& arc : arcs) {
    TransitionWork& producer = work[arc.producer];
    const int reset_pin = producer.reset_arcs[arc.entry].reset_pin;
    name_pin(ctx, producer, reset_pin + producer.set_pins + 2, net);
    producer.reset_pin_named[arc.entry] = true;
  }
}

// A reset pin is left unnamed when its consumer has the place, but not as a
// global input place.
void check_reset_pins(MapContext& ctx, const std::vector<TransitionWork>& work) {
  for (std::size_t i = 0; i < work.size(); ++i) {
    for (std::size_t e = 0; e < work[i].reset_arcs.size(); ++e) {
      if (work[i].reset_pin_named[e]) continue;
      const ArcOfTransition& entry = work[i].reset_arcs[e];
      const auto& transitions = ctx.design.global_transitions.items;
      const std::string place = ctx.name(entry.place);
      ctx.diag.error("global transition " + ctx.name(transitions[i].name) +
                     ": global output place " + place + " goes to " +
                     ctx.name(transitions[entry.transition].name) + ", which does not list " +
                     place + " as a global input place");
    }
  }
}

// ---- pass 3: set pins -----------------------------------------------------

// The signals that start a transition: for each local input place, its
// global producers, then its local and data producers as "t_p".
std::vector<NetName> set_signals(const MapContext& ctx, const TransitionWork& work) {
  const Design& design = ctx.design;
  std::vector<NetName> names;
  for (const LocalInput& entry : work.set_arcs) {
    const SymbolText place = ctx.text(entry.name);
    for (const std::uint32_t producer : entry.global->producers) {
      names.emplace_back(ctx.text(design.global_transitions.items[producer].name));
    }
    if (entry.local != nullptr) {
      for (const std::uint32_t t : design.producers_of(*entry.local)) {
        names.push_back(driven_net(ctx.text(design.local_transitions.items[t].name), place, true));
      }
    }
    if (entry.data != nullptr) {
      for (const std::uint32_t t : design.producers_of(*entry.data)) {
        names.push_back(driven_net(ctx.text(design.data_transitions.items[t].name), place, true));
      }
    }
  }
  return names;
}

void name_set_pins(MapContext& ctx, const GlobalTransition& t, const TransitionWork& work) {
  const std::vector<NetName> names = set_signals(ctx, work);
  if (static_cast<int>(names.size()) != work.set_pins) {
    ctx.diag.error("global transition " + ctx.name(t.name) + ": its local input places have " +
                   decimal(static_cast<long long>(names.size())) +
                   " producers, but its cell has " + decimal(work.set_pins) +
                   " set pins (one per producer of its global input places)");
    return;
  }
  for (int i = 0; i < work.set_pins; ++i) {
    name_pin(ctx, work, i + 2, names[static_cast<std::size_t>(i)]);
  }
}

// ---- pass 4: forward pins -------------------------------------------------

// The net on the fw pin. One local output place: the transition's own name
// when global transitions consume the place, else the place's name. No local
// output place: the transition's own name. Several: the transition's own name
// when global transitions consume every one of them; otherwise one pin cannot
// drive them all and the transition is refused (empty result).
NetName forward_net(MapContext& ctx, const GlobalTransition& t) {
  const std::vector<SymbolId> outputs = places_tagged(ctx.design.outputs_of(t), kLocal);
  if (outputs.size() == 1) {
    const bool consumed = !ctx.design.global_places.find(outputs[0])->consumers.empty();
    return ctx.text(consumed ? t.name : outputs[0]);
  }
  for (const SymbolId place : outputs) {
    if (ctx.design.global_places.find(place)->consumers.empty()) {
      ctx.diag.error(
          "global transition " + ctx.name(t.name) + ": its one forward pin cannot drive " +
          decimal(static_cast<long long>(outputs.size())) + " local output places, and place " +
          ctx.name(place) + " has no consumer in the global net to share the transition's name");
      return {};
    }
  }
  return ctx.text(t.name);
}

void name_forward_pin(MapContext& ctx, const GlobalTransition& t, const TransitionWork& work,
                      NetDrivers& drivers) {
  const NetName net = forward_net(ctx, t);
  if (net.empty()) return;
  name_pin(ctx, work, work.set_pins + 2, net);
  if (const SymbolId driver = drivers.drive(ctx.netlist.net_named(net), t.name);
      driver != kNoSymbol) {
    ctx.diag.warning("global transition " + ctx.name(t.name) + ": its forward net " +
                     std::string(net.text()) + " is already driven by global transition " +
                     ctx.name(driver));
  }
}

}  // namespace

void map_global_control(MapContext& ctx) {
  const std::vector<GlobalTransition>& transitions = ctx.design.global_transitions.items;
  std::vector<TransitionWork> work(transitions.size());
  for (std::size_t i = 0; i < transitions.size(); ++i) {
    work[i].global_in = listed_global_places(ctx.design, ctx.design.inputs_of(transitions[i]));
    work[i].global_out = listed_global_places(ctx.design, ctx.design.outputs_of(transitions[i]));
  }
  if (!check_transitions(ctx, work)) return;

  for (std::size_t i = 0; i < transitions.size(); ++i) {
    ctx.netlist.set_origin({SourceNet::global_net, static_cast<std::uint32_t>(i)});
    build_cell(ctx, transitions[i], work[i]);
  }
  for (std::size_t i = 0; i < transitions.size(); ++i) name_backward_net(ctx, i, work);
  check_reset_pins(ctx, work);
  for (std::size_t i = 0; i < transitions.size(); ++i) name_set_pins(ctx, transitions[i], work[i]);
  NetDrivers drivers;
  for (std::size_t i = 0; i < transitions.size(); ++i) {
    name_forward_pin(ctx, transitions[i], work[i], drivers);
  }
  // The related lists end with this pass: `work` goes out of scope here.
}

}  // namespace syn
