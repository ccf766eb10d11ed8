#include "netlist/write_netlist.hpp"

#include "netlist/write_file.hpp"

namespace syn {

void write_netlist(const Netlist& netlist, std::ostream& out) {
  for (const comp_node& cell : netlist.comps()) {
    out << cell.name << "          " << cell.instant_num << '\n';
    int position = 0;
    for (const pin_node& pin : cell.pin_link) {
      out << "        Pin " << ++position << "        " << pin.name << '\n';
    }
  }
}

std::string write_netlist_file(const Netlist& netlist, const std::string& path) {
  return write_file_atomically(path, [&netlist](std::ostream& out) { write_netlist(netlist, out); });
}

}  // namespace syn
