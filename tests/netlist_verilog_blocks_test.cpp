// The declarations and instance lines of a large netlist are formatted in
// blocks by two threads and handed on in block order: what can break is the
// order across blocks, a renamed instance in a later block, and a sink that
// fails while the other thread still formats. Besides, the instance names:
// a cell whose number repeats an earlier cell's is found before the nets
// are named, and must take a fresh name whether or not a net is named u<n>.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "one_thread.hpp"
#include "verilog_of.hpp"

namespace syn {
namespace {

constexpr int kCells = 3 * 4096 + 17;  // more than three blocks

std::string net(int i) { return "n" + std::to_string(i); }

// A chain of buffers; a net named u9000 makes instance 9000 take a fresh name.
void fill(Netlist& netlist) {
  for (int i = 0; i < kCells; ++i) {
    netlist.add(buffer_cell(), std::vector<std::string>{i == 8000 ? "u9000" : net(i), net(i + 1)});
  }
}

TEST(VerilogBlocks, InstanceLinesKeepNetlistOrderAcrossBlocks) {
  Symbols symbols;
  Netlist netlist(symbols);
  fill(netlist);
  const VerilogNetlist verilog = test::verilog_of(netlist, symbols);
  std::string expected;
  for (int i = 0; i < kCells; ++i) {
    const int number = i + 1;
    const std::string instance = number == 9000 ? "u9000_1" : "u" + std::to_string(number);
    expected +=
        "  buff " + instance + " (" + (i == 8000 ? "u9000" : net(i)) + ", " + net(i + 1) + ");\n";
  }
  // Two threads format every other block; one thread formats them all.
  for (const bool one_thread : {false, true}) {
    SCOPED_TRACE(one_thread ? "one thread" : "two threads");
    const test::ThreadSwitch threads(one_thread ? "1" : nullptr);
    std::ostringstream out;
    write_verilog_module(netlist, verilog, out);
    const std::string text = out.str();
    const std::size_t first = text.find("  buff u1 (");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.substr(first), expected + "endmodule\n");
  }
}

TEST(VerilogBlocks, FailingSinkStopsBothFormatters) {
  Symbols symbols;
  Netlist netlist(symbols);
  fill(netlist);
  const VerilogNetlist verilog = test::verilog_of(netlist, symbols);
  int calls = 0;
  const bool written = write_verilog_module(netlist, verilog, [&calls](std::string_view) {
    return ++calls < 3;  // the module's head, a block, then failure
  });
  EXPECT_FALSE(written);
  EXPECT_EQ(calls, 3);  // nothing is handed on after the failure
}

// The instance lines of three buffers on `nets`, the last one entered under
// the first one's number.
std::string instance_lines(const std::vector<std::string>& nets) {
  Symbols symbols;
  Netlist netlist(symbols);
  netlist.add(buffer_cell(), std::vector<std::string>{nets[0], nets[1]});
  netlist.add(buffer_cell(), std::vector<std::string>{nets[1], nets[2]});
  Cell again = netlist.reserve_cell(buffer_cell(), 1, 2);
  netlist.place_pin(again, nets[2]);
  netlist.place_pin(again, nets[3]);
  netlist.append(again);
  const VerilogNetlist verilog = test::verilog_of(netlist, symbols);
  std::ostringstream out;
  write_verilog_module(netlist, verilog, out);
  const std::string text = out.str();
  return text.substr(text.find("  buff "));
}

TEST(VerilogInstances, RepeatedNumberTakesFreshName) {
  EXPECT_EQ(instance_lines({"a", "b", "c", "d"}),
            "  buff u1 (a, b);\n  buff u2 (b, c);\n  buff u1_1 (c, d);\nendmodule\n");
  // A net named u2 takes instance 2's name as well.
  EXPECT_EQ(instance_lines({"a", "b", "u2", "d"}),
            "  buff u1 (a, b);\n  buff u2_1 (b, u2);\n  buff u1_1 (u2, d);\nendmodule\n");
}

}  // namespace
}  // namespace syn
