// One fuzz input through the whole pipeline, in memory: the input is split
// into the four tables at lines holding only "%%", read, mapped and written
// in every output form the tool has. Shared by the fuzz target and the tests
// that map designs in memory (the replayed fuzz findings, large shapes).
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/netlist_facts.hpp"
#include "netlist/stats.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "pipeline/pipeline.hpp"

namespace syn::fuzz {

// Cuts `text` into four tables; missing ones are empty.
inline void split_tables(std::string_view text, std::string_view (&tables)[4]) {
  constexpr std::string_view separator = "\n%%\n";
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = i < 3 ? text.find(separator) : std::string_view::npos;
    tables[i] = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view{} : text.substr(at + separator.size());
  }
}

// Every bit of a value costs cells, so a few transfers of the widest values
// the tool accepts take longer than the time a fuzz input is given without
// being any more interesting than narrow ones. Such designs are read but
// not mapped here; tests map wide and long designs on their own.
constexpr int kWidestMapped = 256;

inline bool too_wide_to_map(const Design& design) {
  for (const std::vector<IoDeclaration>* list :
       {&design.registers, &design.inputs, &design.outputs}) {
    for (const IoDeclaration& entry : *list) {
      if (entry.width > kWidestMapped) return true;
    }
  }
  return false;
}

struct Outcome {
  bool mapped = false;
  std::string diagnostics;  // every line, each ended by a newline
  std::string netlist;
};

// The four tables, named io, gn, ln and dn in messages.
inline Outcome run_tables(const std::string_view (&tables)[4]) {
  PipelineRun run;
  std::ostringstream console;
  run_pipeline({{"io", tables[0]}, {"gn", tables[1]}, {"ln", tables[2]}, {"dn", tables[3]}}, run,
               console, {}, [](const Design& design) { return !too_wide_to_map(design); });
  Outcome outcome;
  if (run.mapped && !run.diag.has_errors()) {
    outcome.mapped = true;
    const Netlist& netlist = *run.netlist;
    std::ostringstream out;
    write_netlist(netlist, out);
    outcome.netlist = out.str();
    const DrawnDesign drawn{*run.design, run.symbols, run.data_place_widths};
    write_dot(drawn, "fuzz", out);
    write_stats(collect_stats(netlist), out);
    const TableFiles files{"gn", "ln", "dn"};
    write_cells_by_transition(netlist, drawn, files, out);
    report_structure(netlist, drawn, files, out);
    const NetlistFacts facts(netlist, drawn);
    const ModuleFacts module = module_facts(facts, *run.design, files);
    VerilogNetlist verilog;
    if (!build_verilog(netlist, "fuzz", verilog, &module)) {
      write_verilog_module(netlist, verilog, out);
      write_verilog_cells(verilog, out);
    }
  }
  for (const Diagnostic& d : run.diag.all()) outcome.diagnostics += d.text + "\n";
  return outcome;
}

inline Outcome run_input(std::string_view input) {
  std::string_view tables[4];
  split_tables(input, tables);
  return run_tables(tables);
}

}  // namespace syn::fuzz
