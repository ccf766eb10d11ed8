#include "pipeline/pipeline.hpp"

#include "map/main_mapping.hpp"
#include "read/read_design.hpp"

namespace syn {

void run_pipeline(const TableTexts& tables, PipelineRun& run, std::ostream& console,
                  const StageEnded& stage_ended,
                  const std::function<bool(const Design&)>& should_map) {
  Design& design = *run.design;
  Symbols& symbols = run.symbols;
  read_io_spec(tables.io_spec.file, tables.io_spec.text, design, symbols, run.diag);
  read_global_net(tables.global_net.file, tables.global_net.text, design, symbols, run.diag);
  read_local_net(tables.local_net.file, tables.local_net.text, design, symbols, run.diag);
  read_data_net(tables.data_net.file, tables.data_net.text, design, symbols, run.diag);
  if (stage_ended) stage_ended(Stage::reading, run.diag);
  if (run.diag.has_errors() || (should_map && !should_map(design))) return;

  console << "The assembling work has been finished.\n"
          << "Now mapping is atarted.......\n";
  run.data_place_widths = main_mapping(design, symbols, *run.netlist, run.diag, console);
  console << '\n' << std::flush;
  run.mapped = true;
  if (stage_ended) stage_ended(Stage::mapping, run.diag);
}

}  // namespace syn
