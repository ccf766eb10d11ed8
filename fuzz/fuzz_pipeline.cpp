// Fuzz target: the input is split into the four tables at lines holding
// only "%%", then read, mapped and written entirely in memory, in every
// output form the tool has.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.hpp"
#include "map/main_mapping.hpp"
#include "netlist/stats.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "read/read_design.hpp"

namespace {

// Cuts `text` into four tables; missing ones are empty.
void split_tables(std::string_view text, std::string_view (&tables)[4]) {
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

bool too_wide_to_map(const syn::Design& design) {
  for (const std::vector<syn::iando_node>* list :
       {&design.registers, &design.inputs, &design.outputs}) {
    for (const syn::iando_node& entry : *list) {
      if (entry.data_size > kWidestMapped) return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view tables[4];
  split_tables(std::string_view(reinterpret_cast<const char*>(data), size), tables);
  syn::Design design;
  syn::Diagnostics diag;
  syn::read_io_spec("io", tables[0], design, diag);
  syn::read_global_net("gn", tables[1], design, diag);
  syn::read_local_net("ln", tables[2], design, diag);
  syn::read_data_net("dn", tables[3], design, diag);
  if (diag.has_errors() || too_wide_to_map(design)) return 0;
  std::ostringstream console;
  syn::Netlist netlist;
  syn::MapContext ctx{design, netlist, diag, console, 0, {}};
  syn::main_mapping(ctx);
  if (diag.has_errors()) return 0;

  std::ostringstream out;
  syn::write_netlist(netlist, out);
  syn::write_dot(design, "fuzz", out);
  syn::write_stats(syn::collect_stats(netlist), out);
  syn::VerilogNetlist verilog;
  if (!syn::build_verilog(netlist, "fuzz", verilog)) {
    syn::write_verilog_module(verilog, out);
    syn::write_verilog_cells(verilog, out);
  }
  return 0;
}
