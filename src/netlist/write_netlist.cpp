#include "netlist/write_netlist.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

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
  // Write beside the target and rename when complete, so an interrupted or
  // failed run never leaves a truncated netlist under the target's name.
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return std::strerror(errno);
    write_netlist(netlist, out);
    out.flush();
    if (!out) {
      const std::string reason = std::strerror(errno);
      std::remove(temporary.c_str());
      return reason;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return reason;
  }
  return {};
}

}  // namespace syn
