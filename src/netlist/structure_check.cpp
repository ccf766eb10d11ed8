#include "netlist/structure_check.hpp"

#include <algorithm>
#include <string>
#include <string_view>

namespace syn {
namespace {

void mark(std::vector<std::uint8_t>& inputs, NetUse::Signals s) {
  for (SignalId k = s.first; k < s.first + s.count; ++k) inputs[k] = 1;
}

template <class Name>
void mark_plain(std::vector<std::uint8_t>& inputs, const Netlist& netlist, const NetUse& use,
                Name name) {
  const NetId id = netlist.find_plain_net(name);
  if (id != kUnnamedNet) mark(inputs, use.signals_of(id));
}

// By symbol: whether a name is a place, and if so whether any of the three
// nets produces it.
enum PlaceState : std::uint8_t { kNoPlace, kUnproduced, kProduced };

void note_place(std::vector<std::uint8_t>& state, SymbolId name, bool produced) {
  state[name] = std::max<std::uint8_t>(state[name], produced ? kProduced : kUnproduced);
}

std::vector<std::uint8_t> place_states(const Design& design, const Symbols& symbols) {
  std::vector<std::uint8_t> state(symbols.size(), kNoPlace);
  for (const GlobalPlace& p : design.global_places.items)
    note_place(state, p.name, !p.producers.empty());
  for (const LocalPlace& p : design.local_places.items)
    note_place(state, p.name, !design.producers_of(p).empty());
  for (const DataPlace& p : design.data_places.items)
    note_place(state, p.name, !design.producers_of(p).empty());
  return state;
}

bool is_unproduced(const std::vector<std::uint8_t>& places, SymbolId symbol) {
  return symbol < places.size() && places[symbol] == kUnproduced;
}

// The vectors named as an unproduced place: found by their symbols, which
// are the places' own, with no look-up of a text.
void mark_vectors_named_as_places(std::vector<std::uint8_t>& inputs, const Netlist& netlist,
                                  const NetUse& use, const std::vector<std::uint8_t>& places) {
  for (VectorId v = 0; v < netlist.vectors().size(); ++v) {
    if (is_unproduced(places, netlist.vectors()[v])) mark(inputs, use.vector_signals(v));
  }
}

// The plain nets, complement and done vectors of the unproduced places,
// found by the places' symbols, which the netlist shares.
void mark_place_nets(std::vector<std::uint8_t>& inputs, const Netlist& netlist, const NetUse& use,
                     const std::vector<std::uint8_t>& places) {
  for (SymbolId place = 0; place < places.size(); ++place) {
    if (places[place] != kUnproduced) continue;
    mark_plain(inputs, netlist, use, place);
    for (const Rail rail : {Rail::complement, Rail::done}) {
      const VectorId v = netlist.find_vector(place, rail);
      if (v != kNoVector) mark(inputs, use.vector_signals(v));
    }
  }
}

bool same_origin(CellOrigin a, CellOrigin b) { return a.net == b.net && a.index == b.index; }
bool origin_before(CellOrigin a, CellOrigin b) {
  return a.net != b.net ? a.net < b.net : a.index < b.index;
}

// The cells of one transition mostly follow each other: a repeat of the last
// origin is dropped at once, the rest once all are in.
void add_origin(std::vector<CellOrigin>& origins, CellOrigin origin) {
  if (origins.empty() || !same_origin(origins.back(), origin)) origins.push_back(origin);
}

void sort_origins(std::vector<CellOrigin>& origins) {
  std::sort(origins.begin(), origins.end(), origin_before);
  origins.erase(std::unique(origins.begin(), origins.end(), same_origin), origins.end());
}

const char* net_word(SourceNet net) {
  switch (net) {
    case SourceNet::global_net:
      return "global transition ";
    case SourceNet::local_net:
      return "local transition ";
    case SourceNet::data_net:
      return "data transition ";
    case SourceNet::none:
      break;
  }
  return "";
}

// The name and first table line of the transition that made a cell;
// no symbol and line 0 for none.
struct TransitionAt {
  SymbolId name = kNoSymbol;
  int line = 0;
};

TransitionAt transition_at(const Design& design, CellOrigin origin) {
  const auto at = [&origin](const auto& transitions) {
    const auto& t = transitions.items[origin.index];
    return TransitionAt{t.name, t.line};
  };
  switch (origin.net) {
    case SourceNet::global_net:
      return at(design.global_transitions);
    case SourceNet::local_net:
      return at(design.local_transitions);
    case SourceNet::data_net:
      return at(design.data_transitions);
    case SourceNet::none:
      break;
  }
  return {};
}

bool same_origins(const std::vector<CellOrigin>& a, const std::vector<CellOrigin>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), same_origin);
}

// Joins neighbouring bits of one vector with the same problem and the same
// transitions into one finding.
std::vector<NetFinding> joined_runs(std::vector<NetFinding>& findings, const NetUse& use) {
  std::vector<NetFinding> joined;
  for (NetFinding& finding : findings) {
    if (!joined.empty()) {
      NetFinding& last = joined.back();
      const VectorId vector = use.vector_of(finding.signal);
      if (vector != kNoVector && use.vector_of(last.signal) == vector &&
          last.signal + last.count == finding.signal && last.problem == finding.problem &&
          same_origins(last.origins, finding.origins)) {
        ++last.count;
        continue;
      }
    }
    joined.push_back(std::move(finding));
  }
  return joined;
}

}  // namespace

std::vector<std::uint8_t> design_input_signals(const Design& design, const Symbols& symbols,
                                               const Netlist& netlist, const NetUse& use) {
  std::vector<std::uint8_t> inputs(use.signal_count(), 0);
  for (const char* name :
       {"Reset_signal", "DCasyncValue0", "DCasyncValue1", "DCasyncvalue0", "DCasyncvalue1"})
    mark_plain(inputs, netlist, use, name);
  // A place is produced when any of the three nets has a producer for it;
  // one that is not is an input with its plain net and its three rails.
  const std::vector<std::uint8_t> places = place_states(design, symbols);
  mark_vectors_named_as_places(inputs, netlist, use, places);
  mark_place_nets(inputs, netlist, use, places);
  return inputs;
}

namespace {

// What drives a signal of several drivers, by the drivers' pin roles: the
// latches of a register's writers drive its rails (a bus) or its done bits.
enum DriverRoles : std::uint8_t { kNoDriverSeen, kLatchRails, kLatchDone, kOtherDrivers };

DriverRoles role_of_driver(const CellShape& shape, std::size_t position, std::size_t pins) {
  if (shape.kind != CellKind::latch) return kOtherDrivers;
  const PinRole role = pin_role(shape, position, pins);
  if (role.name == "done") return kLatchDone;
  if (role.name == "q" || role.name == "q_bar") return kLatchRails;
  return kOtherDrivers;
}

DriverRoles joined_roles(DriverRoles seen, DriverRoles role) {
  return seen == kNoDriverSeen || seen == role ? role : kOtherDrivers;
}

// Several drivers that are all latches on a register's rails are the
// writers' bus: no finding. All latches on its done bits: shared done bits.
std::vector<NetFinding> sorted_by_roles(std::vector<NetFinding>& findings,
                                        const std::vector<DriverRoles>& roles) {
  std::vector<NetFinding> kept;
  for (std::size_t f = 0; f < findings.size(); ++f) {
    NetFinding& finding = findings[f];
    if (finding.problem == NetFinding::Problem::several_drivers && roles[f] == kLatchRails)
      continue;
    if (finding.problem == NetFinding::Problem::several_drivers && roles[f] == kLatchDone)
      finding.problem = NetFinding::Problem::shared_done;
    kept.push_back(std::move(finding));
  }
  return kept;
}

}  // namespace

std::vector<NetFinding> check_structure(const Netlist& netlist, const PinDirections& directions,
                                        const NetUse& use,
                                        const std::vector<std::uint8_t>& design_inputs) {
  constexpr std::uint32_t kClean = static_cast<std::uint32_t>(-1);
  std::vector<std::uint32_t> finding_of(use.signal_count(), kClean);
  std::vector<NetFinding> findings;
  for (SignalId s = 0; s < use.signal_count(); ++s) {
    if (use.drivers(s) >= 2) {
      finding_of[s] = static_cast<std::uint32_t>(findings.size());
      findings.push_back({NetFinding::Problem::several_drivers, s, 1, {}});
    } else if (use.drivers(s) == 0 && use.readers(s) > 0 && !design_inputs[s]) {
      finding_of[s] = static_cast<std::uint32_t>(findings.size());
      findings.push_back({NetFinding::Problem::no_driver, s, 1, {}});
    }
  }
  if (findings.empty()) return findings;
  std::vector<DriverRoles> roles(findings.size(), kNoDriverSeen);
  for (const Cell& cell : netlist.cells()) {
    const auto pins = netlist.pins(cell);
    for (std::size_t p = 0; p < pins.size(); ++p) {
      if (pins[p] == kUnnamedNet) continue;
      const bool drives = directions.of(cell, p) == PinDirection::output;
      const NetUse::Signals s = use.signals_of(pins[p]);
      for (SignalId k = s.first; k < s.first + s.count; ++k) {
        if (finding_of[k] == kClean) continue;
        NetFinding& finding = findings[finding_of[k]];
        if (drives != (finding.problem == NetFinding::Problem::several_drivers)) continue;
        add_origin(finding.origins, cell.origin);
        if (drives)
          roles[finding_of[k]] = joined_roles(
              roles[finding_of[k]], role_of_driver(directions.shape(cell), p, pins.size()));
      }
    }
  }
  std::vector<NetFinding> kept = sorted_by_roles(findings, roles);
  for (NetFinding& finding : kept) sort_origins(finding.origins);
  return joined_runs(kept, use);
}

namespace {

// The global transitions that produce a global place, or none.
Positions global_producers(const Design& design, SymbolId place) {
  const GlobalPlace* record = design.global_places.find(place);
  return record ? record->producers : Positions{};
}

bool among(Positions positions, std::uint32_t position) {
  return std::find(positions.begin(), positions.end(), position) != positions.end();
}

}  // namespace

std::vector<TokenFinding> check_global_predecessors(const Design& design) {
  std::vector<TokenFinding> findings;
  const auto& transitions = design.global_transitions.items;
  for (std::uint32_t t = 0; t < transitions.size(); ++t) {
    if (design.global_transitions.position(transitions[t].name) != t) continue;  // a repeat
    const GlobalArcs inputs = design.inputs_of(transitions[t]);
    const auto first_global = std::find_if(inputs.begin(), inputs.end(), [](const GlobalArc& a) {
      return a.net == PlaceNet::global_net;
    });
    if (first_global == inputs.end()) continue;
    for (const GlobalArc& local : inputs) {
      if (local.net != PlaceNet::local_net) continue;
      for (const std::uint32_t setter : global_producers(design, local.name)) {
        bool waits = false;
        for (const GlobalArc& global : inputs)
          waits = waits || (global.net == PlaceNet::global_net &&
                            among(global_producers(design, global.name), setter));
        const Positions predecessors = global_producers(design, first_global->name);
        if (!waits && !predecessors.empty())
          findings.push_back({t, local.name, setter, first_global->name, predecessors.front()});
      }
    }
  }
  return findings;
}

std::string token_finding_text(const TokenFinding& finding, const Design& design,
                               const Symbols& symbols, const TableFiles& files) {
  const auto global = [&](std::uint32_t t) {
    return describe_origin(design, symbols, files, {SourceNet::global_net, t});
  };
  return global(finding.transition) + " is set through its local input place " +
         std::string(symbols.text(finding.local_place)) + " by " + global(finding.setter) +
         ", which produces none of its global input places: it does not wait for " +
         global(finding.predecessor) + ", which produces " +
         std::string(symbols.text(finding.global_place)) + " (docs/cells.md, Races)";
}

std::string describe_origin(const Design& design, const Symbols& symbols, const TableFiles& files,
                            CellOrigin origin) {
  const TransitionAt t = transition_at(design, origin);
  if (t.name == kNoSymbol) return "no transition";
  return std::string(net_word(origin.net)) + std::string(symbols.text(t.name)) + " (" +
         files.of(origin.net) + ":" + std::to_string(t.line) + ")";
}

std::string finding_text(const NetFinding& finding, const NetUse& use, const Design& design,
                         const Symbols& symbols, const TableFiles& files) {
  std::string text = "net " + use.name(finding.signal, finding.count);
  switch (finding.problem) {
    case NetFinding::Problem::several_drivers:
      text += " has two or more drivers: cells of ";
      break;
    case NetFinding::Problem::no_driver:
      text += " is read but driven by no cell, and is no input of the design: read by cells of ";
      break;
    case NetFinding::Problem::shared_done:
      text += " holds the done bits of the writes of ";
      break;
  }
  for (std::size_t i = 0; i < finding.origins.size(); ++i) {
    if (i != 0) text += i + 1 == finding.origins.size() ? " and " : ", ";
    text += describe_origin(design, symbols, files, finding.origins[i]);
  }
  if (finding.problem == NetFinding::Problem::shared_done) {
    text +=
        ": each write's completion reads them all, so one write completes the others too; give "
        "each writer a register of its own (docs/cells.md, Races)";
  }
  return text;
}

}  // namespace syn
