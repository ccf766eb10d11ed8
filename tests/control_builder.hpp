// Builds the three nets of a design in memory, as the readers and the
// mapping set-up would leave them, for the control mapping tests.
#pragma once

#include "expected_cells.hpp"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diag/diagnostics.hpp"
#include "map/main_mapping.hpp"
#include "model/design.hpp"
#include "netlist/write_netlist.hpp"

namespace syn::test {

class ControlDesign {
 public:
  // One line of the global net table: transition, place, 'i'/'o', 'G'/'L'/' '.
  // Consecutive lines of one transition extend its record, as in the file.
  ControlDesign& global(const std::string& t, const std::string& place, char dir, char net) {
    auto& items = design.GNT.items;
    if (items.empty() || last_global_ != t) {
      items.push_back({});
      items.back().name = t;
      items.back().line = ++line_;
    } else {
      ++line_;
    }
    last_global_ = t;
    GNT_node& record = items.back();
    GN_place_node node{place, net == 'G' ? "GNP" : net == 'L' ? "LNP" : ""};
    if (dir == 'i') {
      record.in_link.push_back(node);
    } else {
      record.out_link.push_back(node);
    }
    return *this;
  }

  // One arc of the local net.
  ControlDesign& local(const std::string& t, const std::string& place, char dir) {
    local_transitions_[t];
    local_places_[place];
    if (dir == 'i') {
      local_transitions_[t].first.insert(place);
      local_places_[place].second.insert(t);
    } else if (dir == 'o') {
      local_transitions_[t].second.insert(place);
      local_places_[place].first.insert(t);
    }
    return *this;
  }

  // A data-net place with the data transitions that write it.
  ControlDesign& data_place(const std::string& place, std::vector<std::string> writers) {
    std::sort(writers.begin(), writers.end());
    data_places_[place] = writers;
    return *this;
  }

  // Derives the place lists and the classification, then indexes everything.
  Design& finish() {
    std::map<std::string, std::pair<std::set<std::string>, std::set<std::string>>> places;
    for (const GNT_node& t : design.GNT.items) {
      for (const auto& p : t.in_link) places[p.name].second.insert(t.name);
      for (const auto& p : t.out_link) places[p.name].first.insert(t.name);
    }
    for (const auto& [name, sides] : places) {
      design.GNP.items.push_back(
          {name, {sides.first.begin(), sides.first.end()}, {sides.second.begin(), sides.second.end()}});
    }
    for (const auto& [name, sides] : local_transitions_) {
      LNT_node t;
      t.name = name;
      for (const auto& p : sides.first) t.in_link.push_back({p});
      for (const auto& p : sides.second) t.out_link.push_back({p});
      design.LNT.items.push_back(t);
    }
    for (const auto& [name, writers] : data_places_) {
      DNP_node p;
      p.name = name;
      p.in_link = writers;
      design.DNP.items.push_back(p);
    }
    design.GNT.reindex();
    design.GNP.reindex();
    design.LNT.reindex();
    design.DNP.reindex();
    for (const auto& [name, sides] : local_places_) {
      LNP_node p;
      p.name = name;
      p.in_link = {sides.first.begin(), sides.first.end()};
      p.out_link = {sides.second.begin(), sides.second.end()};
      p.from_to_inter = design.GNP.contains(name) ? "GNP" : design.DNP.contains(name) ? "DNP" : "LNP";
      design.LNP.items.push_back(p);
    }
    design.LNP.reindex();
    return design;
  }

  Design design;

 private:
  using Sides = std::pair<std::set<std::string>, std::set<std::string>>;
  std::string last_global_;
  int line_ = 2;
  std::map<std::string, Sides> local_transitions_;  // inputs, outputs
  std::map<std::string, Sides> local_places_;       // producers, consumers
  std::map<std::string, std::vector<std::string>> data_places_;
};

struct ControlRun {
  std::string console;
  std::string netlist;
  std::string errors;
  bool has_errors = false;
  bool has_problems = false;
};

// Runs the global and then the local control mapping on a finished design.
inline ControlRun map_control(Design& design) {
  Netlist netlist;
  Diagnostics diag;
  std::ostringstream console;
  MapContext ctx{design, netlist, diag, console, 0, {}};
  map_global_control(ctx);
  map_local_control(ctx);
  ControlRun run;
  std::ostringstream text;
  write_netlist(netlist, text);
  run.console = console.str();
  run.netlist = text.str();
  for (const Diagnostic& d : diag.all()) run.errors += d.text + "\n";
  run.has_errors = diag.has_errors();
  run.has_problems = diag.has_problems();
  return run;
}

}  // namespace syn::test
