// The one way through the tool: the four tables' texts are read into a
// design, which is mapped onto a netlist. The command line, the tests and
// the fuzz target all run a design through here; writing the netlist and
// the other outputs is left to the caller.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"
#include "model/design.hpp"
#include "model/symbols.hpp"
#include "netlist/netlist.hpp"

namespace syn {

// One table: the name used in messages, and its whole text.
struct TableText {
  std::string file;
  std::string_view text;
};

struct TableTexts {
  TableText io_spec;
  TableText global_net;
  TableText local_net;
  TableText data_net;
};

// What a run produced.
struct PipelineRun {
  Symbols symbols;  // every design name and net name of the run
  std::unique_ptr<Design> design = std::make_unique<Design>();
  std::unique_ptr<Netlist> netlist = std::make_unique<Netlist>(symbols);
  Diagnostics diag;
  std::vector<int> data_place_widths;  // the widths mapping gave the data places
  bool mapped = false;  // reading found no error, so the design was mapped
};

enum class Stage { reading, mapping };

// Called when a stage ends, so that a caller can print the diagnostics
// found so far and take the time. The tables' texts are not used once
// reading has ended, so the caller may release them then.
using StageEnded = std::function<void(Stage, const Diagnostics&)>;

// Reads the tables; unless reading reported an error, prints the mapping's
// opening text and the progress on `console`, then maps. `should_map` can
// hold a design back from mapping after a clean read (the fuzz target keeps
// very wide values out).
void run_pipeline(const TableTexts& tables, PipelineRun& run, std::ostream& console,
                  const StageEnded& stage_ended = {},
                  const std::function<bool(const Design&)>& should_map = {});

}  // namespace syn
