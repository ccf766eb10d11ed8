// The Verilog module declares what the pins hold and nothing else: the
// control mappers make a net by its name before any pin holds it (to note
// its driver), and a net left that way must not become a wire, nor a bit
// above the highest on a pin widen its vector. Of a design of no tables,
// what cells drive and none reads is an output port; the rest are wires.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "verilog_of.hpp"

namespace syn {
namespace {

TEST(VerilogDeclarations, OnlyWhatPinsHoldIsDeclared) {
  Symbols symbols;
  Netlist netlist(symbols);
  netlist.net_named(NetName(std::string("ghost")));
  netlist.net_named(NetName(std::string("v[3]")));
  netlist.net_named(NetName(std::string("w[9]")));
  netlist.add(buffer_cell(), std::vector<std::string>{"a", "v[1]"});
  netlist.add(buffer_cell(), std::vector<std::string>{"w[7]", "b"});
  const VerilogNetlist verilog = test::verilog_of(netlist, symbols);
  std::ostringstream out;
  write_verilog_module(netlist, verilog, out);
  EXPECT_EQ(out.str(),
            "// Structural netlist written by syn-tool.\n"
            "module top(v, b);\n"
            "  output [1:0] v;\n"
            "  wire [7:0] w;\n"
            "  wire a;\n"
            "  output b;\n"
            "\n"
            "  buff u1 (a, v[1]);\n"
            "  buff u2 (w[7], b);\n"
            "endmodule\n");
}

}  // namespace
}  // namespace syn
