// Builds small Designs in memory for the datapath tests: the records as the
// readers, the set-up and the data place completion would leave them.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "map/context.hpp"
#include "model/design.hpp"
#include "netlist/write_netlist.hpp"

namespace syn::test {

class DatapathBuilder {
 public:
  // One line of the data net: transition t, place p, direction 'i' or 'o',
  // kind 'd' (data) or 'c' (control), terminal type "I", "O", "R", "C" or "".
  DatapathBuilder& arc(const std::string& t, const std::string& p, char dir, char kind,
                       const std::string& term = "", int value = 0) {
    arcs_.push_back({t, p, dir, kind, term, value});
    return *this;
  }
  DatapathBuilder& function(const std::string& t) {
    functions_.insert(t);
    return *this;
  }
  DatapathBuilder& width(const std::string& p, int w) {
    widths_[p] = w;
    return *this;
  }
  // A local control transition with its input and output places.
  DatapathBuilder& local(const std::string& t, const std::vector<std::string>& in,
                         const std::vector<std::string>& out) {
    locals_.push_back({t, in, out});
    return *this;
  }
  DatapathBuilder& global_place(const std::string& p) {
    globals_.insert(p);
    return *this;
  }

  Design build() const {
    Design d;
    std::set<std::string> local_places;
    for (const Local& l : locals_) {
      local_places.insert(l.in.begin(), l.in.end());
      local_places.insert(l.out.begin(), l.out.end());
    }
    build_local(d, local_places);
    for (const std::string& g : globals_) d.GNP.items.push_back({g, {}, {}});
    d.GNP.reindex();

    std::map<std::string, DNT_node> transitions;
    std::map<std::string, DNP_node> places;
    for (const Arc& a : arcs_) {
      DNT_node& t = transitions[a.t];
      if (t.name.empty()) {
        t.name = a.t;
        t.func_part = functions_.count(a.t) ? 1 : 0;
      }
      DN_place_node pn;
      pn.name = a.p;
      pn.type_term = a.term;
      pn.initial_value = a.value;
      pn.type_c_d = a.kind == 'd' ? "d" : "c";
      if (a.kind == 'd') {
        int& count = a.dir == 'i' ? t.datapath_num_in : t.datapath_num_out;
        pn.order = ++count;
      } else {
        pn.from_to_inter = local_places.count(a.p) ? "LNP" : globals_.count(a.p) ? "GNP" : "DNP";
        const bool control_net = pn.from_to_inter != "DNP";
        if (a.dir == 'i')
          ++(control_net ? t.control_num_in : t.control_in_DNP);
        else
          ++(control_net ? t.control_num_out : t.control_out_DNP);
      }
      insert_sorted(a.dir == 'i' ? t.in_link : t.out_link, pn);

      DNP_node& p = places[a.p];
      p.name = a.p;
      insert_name(a.dir == 'i' ? p.out_link : p.in_link, a.t);
      if (a.kind == 'd') ++(a.dir == 'i' ? p.datapath_num_out : p.datapath_num_in);
      p.type_term = pn.type_term;
      p.type_c_d = pn.type_c_d;
      p.initial_value = pn.initial_value;
      p.from_to_inter = globals_.count(a.p) ? "GNP" : local_places.count(a.p) ? "LNP" : "DNP";
      if (auto w = widths_.find(a.p); w != widths_.end()) p.data_size = w->second;
    }
    for (auto& [name, t] : transitions) d.DNT.items.push_back(t);
    for (auto& [name, p] : places) d.DNP.items.push_back(p);
    d.DNT.reindex();
    d.DNP.reindex();
    // Each place entry knows its record, as the data net pass leaves it.
    for (DNT_node& t : d.DNT.items)
      for (auto* list : {&t.in_link, &t.out_link})
        for (DN_place_node& p : *list)
          p.record = static_cast<std::uint32_t>(d.DNP.find(p.name) - d.DNP.items.data());
    return d;
  }

 private:
  struct Arc {
    std::string t, p;
    char dir, kind;
    std::string term;
    int value;
  };
  struct Local {
    std::string t;
    std::vector<std::string> in, out;
  };

  static void insert_sorted(std::vector<DN_place_node>& list, const DN_place_node& p) {
    auto it = list.begin();
    while (it != list.end() && it->name < p.name) ++it;
    if (it != list.end() && it->name == p.name) return;
    list.insert(it, p);
  }
  static void insert_name(std::vector<std::string>& list, const std::string& name) {
    auto it = list.begin();
    while (it != list.end() && *it < name) ++it;
    if (it != list.end() && *it == name) return;
    list.insert(it, name);
  }

  void build_local(Design& d, const std::set<std::string>& local_places) const {
    std::map<std::string, LNT_node> ts;
    std::map<std::string, LNP_node> ps;
    for (const std::string& p : local_places) ps[p].name = p;
    for (const Local& l : locals_) {
      LNT_node& t = ts[l.t];
      t.name = l.t;
      for (const std::string& p : l.in) {
        t.in_link.push_back({p});
        insert_name(ps[p].out_link, l.t);
      }
      for (const std::string& p : l.out) {
        t.out_link.push_back({p});
        insert_name(ps[p].in_link, l.t);
      }
      auto by_name = [](const LN_place_node& a, const LN_place_node& b) { return a.name < b.name; };
      std::sort(t.in_link.begin(), t.in_link.end(), by_name);
      std::sort(t.out_link.begin(), t.out_link.end(), by_name);
    }
    for (auto& [n, t] : ts) d.LNT.items.push_back(t);
    for (auto& [n, p] : ps) d.LNP.items.push_back(p);
    d.LNT.reindex();
    d.LNP.reindex();
  }

  std::vector<Arc> arcs_;
  std::set<std::string> functions_;
  std::map<std::string, int> widths_;
  std::vector<Local> locals_;
  std::set<std::string> globals_;
};

// A design with the context the mappers work in.
struct Bench {
  Design design;
  Netlist netlist;
  Diagnostics diag;
  std::ostringstream console;
  MapContext ctx{design, netlist, diag, console, 0, {}};

  explicit Bench(Design d) : design(std::move(d)) {}
  DNT_node& t(const std::string& name) { return *design.DNT.find(name); }
  DNP_node& p(const std::string& name) { return *design.DNP.find(name); }
  std::string text() const {
    std::ostringstream out;
    write_netlist(netlist, out);
    return out.str();
  }
  std::string problems() const {
    std::string all;
    for (const Diagnostic& d : diag.all()) all += d.text + "\n";
    return all;
  }
};

}  // namespace syn::test
