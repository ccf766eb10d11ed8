// Builds the data net of a Design in memory, as the readers and the
// set-up leave it, so the data net pass can be tested on its own; and runs
// the pass, returning what it printed and emitted.
#pragma once

#include "expected_cells.hpp"

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

struct DataLine {
  std::string transition;
  std::string place;
  char direction;        // 'i' or 'o'
  char kind;             // 'd' data, 'c' control
  std::string term;      // "I", "O", "R", "C" or ""
  int value = 0;         // for "C"
  std::string relation;  // relation column, or ""
};

class DataNetBuilder {
 public:
  std::set<std::string> local_places;
  std::set<std::string> global_places;
  std::map<std::string, int> widths;  // IO specification: name -> width

  DataNetBuilder& line(const std::string& t, const std::string& p, char direction, char kind,
                       const std::string& term = "", int value = 0,
                       const std::string& relation = "") {
    lines_.push_back({t, p, direction, kind, term, value, relation});
    return *this;
  }

  Design build() const {
    std::map<std::string, DNT_node> transitions;
    std::map<std::string, DNP_node> places;
    std::map<std::string, std::set<std::string>> writers, readers;
    for (const DataLine& l : lines_) {
      auto [it, fresh] = transitions.try_emplace(l.transition);
      DNT_node& t = it->second;
      if (fresh) {
        t.name = l.transition;
        t.func_part = l.relation.empty() ? 0 : 1;
      }
      add_place(t, l);
      DNP_node& p = places[l.place];
      p.name = l.place;
      (l.direction == 'i' ? readers : writers)[l.place].insert(l.transition);
      if (l.kind == 'd') ++(l.direction == 'i' ? p.datapath_num_out : p.datapath_num_in);
    }
    Design design;
    for (auto& [name, t] : transitions) design.DNT.items.push_back(t);
    for (auto& [name, p] : places) {
      p.in_link.assign(writers[name].begin(), writers[name].end());
      p.out_link.assign(readers[name].begin(), readers[name].end());
      auto width = widths.find(name);
      p.data_size = width == widths.end() ? 0 : width->second;
      p.from_to_inter = global_places.count(name)  ? "GNP"
                        : local_places.count(name) ? "LNP"
                                                   : "DNP";
      design.DNP.items.push_back(p);
    }
    design.DNT.reindex();
    design.DNP.reindex();
    // Each place entry knows its record, as the data net pass leaves it.
    for (DNT_node& t : design.DNT.items)
      for (auto* list : {&t.in_link, &t.out_link})
        for (DN_place_node& p : *list)
          p.record = static_cast<std::uint32_t>(design.DNP.find(p.name) - design.DNP.items.data());
    return design;
  }

 private:
  void add_place(DNT_node& t, const DataLine& l) const {
    std::vector<DN_place_node>& list = l.direction == 'i' ? t.in_link : t.out_link;
    auto at = list.begin();
    while (at != list.end() && at->name < l.place) ++at;
    if (at != list.end() && at->name == l.place) return;
    DN_place_node p;
    p.name = l.place;
    p.type_term = l.term;
    p.initial_value = l.term == "C" ? l.value : 0;
    if (l.kind == 'd') {
      p.type_c_d = "d";
      p.order = ++(l.direction == 'i' ? t.datapath_num_in : t.datapath_num_out);
    } else {
      p.type_c_d = "c";
      p.from_to_inter = local_places.count(l.place)    ? "LNP"
                        : global_places.count(l.place) ? "GNP"
                                                       : "DNP";
      const bool shared = p.from_to_inter != "DNP";
      if (l.direction == 'i')
        ++(shared ? t.control_num_in : t.control_in_DNP);
      else
        ++(shared ? t.control_num_out : t.control_out_DNP);
      p.relation_ship = l.relation;
    }
    list.insert(at, p);
  }

  std::vector<DataLine> lines_;
};

struct Mapped {
  std::string console;
  std::string netlist;
  std::string diagnostics;
  bool problems = false;
  int data_size = 0;
};

inline Mapped map_data(Design& design, int data_size = 0) {
  Diagnostics diag;
  Netlist netlist;
  std::ostringstream console;
  MapContext ctx{design, netlist, diag, console, data_size, {}};
  map_data_net(ctx);
  Mapped result;
  std::ostringstream text;
  write_netlist(netlist, text);
  result.console = console.str();
  result.netlist = text.str();
  for (const Diagnostic& d : diag.all()) result.diagnostics += d.text + "\n";
  result.problems = diag.has_problems();
  result.data_size = ctx.data_size;
  return result;
}

}  // namespace syn::test
