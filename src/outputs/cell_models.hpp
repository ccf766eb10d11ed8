// Behavioural models of the cell types a netlist uses (--models), one
// Verilog module per type with the names and ports of the cell
// declarations (--cells), following the protocol and the cells described
// in docs/cells.md, with small delays. With them the netlist simulates.
#pragma once

#include <ostream>

#include "netlist/write_verilog.hpp"

namespace syn {

// Needs the ports' widths and directions (PortDetail::widths_and_directions).
void write_cell_models(const Netlist& netlist, const VerilogNetlist& verilog, std::ostream& out);

}  // namespace syn
