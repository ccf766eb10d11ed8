// Fuzz target: the input is split into the four tables at lines holding
// only "%%", then read, mapped and written entirely in memory.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "diag/diagnostics.hpp"
#include "map/main_mapping.hpp"
#include "netlist/write_netlist.hpp"
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
  if (diag.has_errors()) return 0;
  std::ostringstream console;
  syn::Netlist netlist;
  syn::MapContext ctx{design, netlist, diag, console, 0, {}};
  syn::main_mapping(ctx);
  std::ostringstream out;
  syn::write_netlist(netlist, out);
  return 0;
}
