#include "pipeline/pipeline.hpp"

#include <optional>

#include "map/main_mapping.hpp"
#include "read/read_design.hpp"
#include "read/unlinked_places.hpp"
#include "util/run_beside.hpp"

namespace syn {

void run_pipeline(const TableTexts& tables, PipelineRun& run, std::ostream& console,
                  const StageEnded& stage_ended,
                  const std::function<bool(const Design&)>& should_map) {
  Design& design = *run.design;
  Symbols& symbols = run.symbols;
  // Designs bring about one new name for every 64 bytes of their tables, or
  // fewer, and mapping adds about half as many again (the rails of each data
  // value, the control nets): room for one name per 32 bytes spares the
  // symbol table its rehashes, which cost most once the table is large.
  symbols.reserve((tables.io_spec.text.size() + tables.global_net.text.size() +
                   tables.local_net.text.size() + tables.data_net.text.size()) /
                  32);
  // The lines of the local control and data nets are cut out and checked on
  // a second thread: the local net's while the IO declarations are read,
  // the data net's, most of a design, while the control nets' names are
  // entered. The local net's records are then built on the second thread
  // while the data net's names are entered.
  std::optional<LocalNetText> local_lines;
  std::optional<DataNetText> data_lines;
  run_beside(
      [&] { local_lines.emplace(tables.local_net.file, tables.local_net.text); },
      [&] { read_io_spec(tables.io_spec.file, tables.io_spec.text, design, symbols, run.diag); });
  std::optional<NetArcs> local_names;
  run_beside([&] { data_lines.emplace(tables.data_net.file, tables.data_net.text); },
             [&] {
               read_global_net(tables.global_net.file, tables.global_net.text, design, symbols,
                               run.diag);
               local_names.emplace(number_local_net(*local_lines, symbols, run.diag));
             });
  local_lines.reset();
  std::optional<DataLines> data_names;
  run_beside([&] { build_local_net(std::move(*local_names), design); },
             [&] { data_names.emplace(number_data_net(*data_lines, design, symbols, run.diag)); });
  local_names.reset();
  data_lines.reset();
  build_data_net(*data_names, design, symbols);
  data_names.reset();
  warn_about_unlinked_places({tables.global_net.file, tables.global_net.text},
                             {tables.local_net.file, tables.local_net.text}, design, symbols,
                             run.diag);
  if (stage_ended) stage_ended(Stage::reading, run.diag);
  if (run.diag.has_errors() || (should_map && !should_map(design))) return;

  console << "The assembling work has been finished.\n"
          << "Now mapping is atarted.......\n";
  // Mapping adds about half as many net names again as reading entered
  // (the rails of each data value, the control nets): room for them now
  // spares the symbol table a rehash halfway through.
  symbols.reserve(2 * symbols.size());
  run.data_place_widths = main_mapping(design, symbols, *run.netlist, run.diag, console);
  console << '\n' << std::flush;
  run.mapped = true;
  if (stage_ended) stage_ended(Stage::mapping, run.diag);
}

}  // namespace syn
