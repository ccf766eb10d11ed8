// One fuzz input through the whole pipeline, in memory: the input is split
// into the four tables at lines holding only "%%", read, mapped and written
// in every output form the tool has, through the command line's own outputs
// (outputs.hpp) into memory. It is mapped twice, as the command line maps
// for the netlist file and for the Verilog module: what follows mapping on a
// second thread differs between the two. Shared by the fuzz target and the
// tests that map designs in memory (the replayed fuzz findings, large
// shapes).
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "outputs/netlist_facts.hpp"
#include "outputs/outputs.hpp"
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
  std::string verilog;
  std::string cells;    // the cell declarations
  std::string models;   // the cells' behavioural models
  std::string testbench;
  std::string picture;  // the Graphviz picture
  std::string console;  // what the outputs and the check printed
};

// Reads and maps the four tables (named io, gn, ln and dn in messages), and
// writes what `request` asks for; true when the design was mapped.
inline bool map_and_write(const std::string_view (&tables)[4], const OutputRequest& request,
                          std::string& diagnostics, std::ostream& console, bool check) {
  PipelineRun run;
  Outputs outputs(*run.netlist, request, console);
  std::ostringstream progress;
  run_pipeline({{"io", tables[0]}, {"gn", tables[1]}, {"ln", tables[2]}, {"dn", tables[3]}}, run,
               progress, {}, [](const Design& design) { return !too_wide_to_map(design); });
  diagnostics.clear();
  for (const Diagnostic& d : run.diag.all()) diagnostics += d.text + "\n";
  if (!run.mapped || run.diag.has_errors()) return false;
  const MappedDesign mapped{*run.netlist,
                            {*run.design, run.symbols, run.data_place_widths},
                            {"gn", "ln", "dn"}};
  if (check) report_structure(mapped.netlist, mapped.drawn, mapped.files, console);
  outputs.write(mapped, console);
  return true;
}

inline Outcome run_tables(const std::string_view (&tables)[4]) {
  Outcome outcome;
  std::ostringstream console;
  OutputRequest as_netlist;
  as_netlist.netlist = OutputTarget::memory(outcome.netlist, "fuzz.net");
  as_netlist.cells = OutputTarget::memory(outcome.cells, "fuzz.v");
  as_netlist.dot = OutputTarget::memory(outcome.picture, "fuzz.dot");
  as_netlist.stats = true;
  as_netlist.stats_by_transition = true;
  outcome.mapped = map_and_write(tables, as_netlist, outcome.diagnostics, console, true);
  if (outcome.mapped) {
    OutputRequest as_verilog;
    as_verilog.format = NetlistFormat::verilog;
    as_verilog.netlist = OutputTarget::memory(outcome.verilog, "fuzz.v");
    as_verilog.models = OutputTarget::memory(outcome.models, "models.v");
    as_verilog.testbench = OutputTarget::memory(outcome.testbench, "tb.v");
    std::string diagnostics;
    map_and_write(tables, as_verilog, diagnostics, console, false);
  }
  outcome.console = console.str();
  return outcome;
}

inline Outcome run_input(std::string_view input) {
  std::string_view tables[4];
  split_tables(input, tables);
  return run_tables(tables);
}

}  // namespace syn::fuzz
