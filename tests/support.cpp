#include "support.hpp"

#include <sstream>

#include "diag/diagnostics.hpp"
#include "map/main_mapping.hpp"
#include "netlist/write_netlist.hpp"
#include "read/read_design.hpp"

namespace syn::test {

RunResult run_tables(const Tables& tables) {
  RunResult result;
  Design design;
  Diagnostics diag;
  read_io_spec("io.txt", tables.io_spec, design, diag);
  read_global_net("gn.txt", tables.global_net, design, diag);
  read_local_net("ln.txt", tables.local_net, design, diag);
  read_data_net("dn.txt", tables.data_net, design, diag);
  result.read_ok = !diag.has_errors();
  if (result.read_ok) {
    std::ostringstream console;
    Netlist netlist;
    MapContext ctx{design, netlist, diag, console, 0, {}};
    main_mapping(ctx);
    std::ostringstream text;
    write_netlist(netlist, text);
    result.console = console.str();
    result.netlist = text.str();
  }
  for (const Diagnostic& d : diag.all()) result.errors += d.text + "\n";
  result.has_errors = diag.has_errors();
  result.has_problems = diag.has_problems();
  return result;
}

}  // namespace syn::test
