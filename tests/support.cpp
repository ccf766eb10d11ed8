#include "support.hpp"

#include <sstream>

#include "diag/diagnostics.hpp"
#include "netlist/write_netlist.hpp"
#include "pipeline/pipeline.hpp"

namespace syn::test {

RunResult run_tables(const Tables& tables) {
  RunResult result;
  PipelineRun run;
  std::ostringstream console;
  run_pipeline({{"io.txt", tables.io_spec}, {"gn.txt", tables.global_net},
                {"ln.txt", tables.local_net}, {"dn.txt", tables.data_net}},
               run, console);
  result.read_ok = run.mapped;
  if (run.mapped) {
    std::ostringstream text;
    write_netlist(*run.netlist, text);
    const std::string all = console.str();
    const std::string opening = "Now mapping is atarted.......\n";
    result.console = all.substr(all.find(opening) + opening.size());
    result.console.pop_back();  // the line end after the progress letters
    result.netlist = text.str();
  }
  for (const Diagnostic& d : run.diag.all()) result.errors += d.text + "\n";
  result.has_errors = run.diag.has_errors();
  result.has_problems = run.diag.has_problems();
  return result;
}

}  // namespace syn::test
