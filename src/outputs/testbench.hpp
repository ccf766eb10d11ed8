// A testbench for the design's Verilog module (--testbench), which Icarus
// Verilog runs as it is with the behavioural models (--models):
//
//   iverilog -g2012 -o sim TB.v DESIGN.v MODELS.v && vvp -n sim +x=5 +cycles=2
//
// It resets the design, ties the constant nets, drives every value of the
// design that no cell writes from a plusarg +NAME=VALUE (decimal, default
// 0), and prints "NAME = VALUE" each time a value that no cell reads (an
// output, a register only written) completes. Where the design has control
// places at its boundary the testbench is their environment, and a cycle is
// one four-phase handshake with it; otherwise the first global transition
// in file order (or the one +token=NAME names) holds the token, and a cycle
// is one turn of the token back to it. "cycle N" ends each cycle; when
// nothing changes for a while before +cycles=N (default 1) are done, it
// prints "stall" with the control nets that are high and the cells reading
// them, and fails.
#pragma once

#include <ostream>

#include "netlist/netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "outputs/outputs.hpp"

namespace syn {

void write_testbench(const MappedDesign& design, const VerilogNetlist& verilog,
                     std::ostream& out);

}  // namespace syn
