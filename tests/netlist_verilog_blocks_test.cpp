// The declarations and instance lines of a large netlist are formatted in
// blocks by two threads and handed on in block order: what can break is the
// order across blocks, a renamed instance in a later block, and a sink that
// fails while the other thread still formats.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "netlist/write_verilog.hpp"

namespace syn {
namespace {

constexpr int kCells = 3 * 4096 + 17;  // more than three blocks

std::string net(int i) { return "n" + std::to_string(i); }

// A chain of buffers; a net named u9000 makes instance 9000 take a fresh name.
void fill(Netlist& netlist) {
  for (int i = 0; i < kCells; ++i) {
    netlist.add("buff", std::vector<std::string>{i == 8000 ? "u9000" : net(i), net(i + 1)});
  }
}

TEST(VerilogBlocks, InstanceLinesKeepNetlistOrderAcrossBlocks) {
  Symbols symbols;
  Netlist netlist(symbols);
  fill(netlist);
  VerilogNetlist verilog;
  ASSERT_FALSE(build_verilog(netlist, "top", verilog).has_value());
  std::ostringstream out;
  write_verilog_module(netlist, verilog, out);
  std::string expected;
  for (int i = 0; i < kCells; ++i) {
    const int number = i + 1;
    const std::string instance = number == 9000 ? "u9000_1" : "u" + std::to_string(number);
    expected +=
        "  buff " + instance + " (" + (i == 8000 ? "u9000" : net(i)) + ", " + net(i + 1) + ");\n";
  }
  const std::string text = out.str();
  const std::size_t first = text.find("  buff u1 (");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(text.substr(first), expected + "endmodule\n");
}

TEST(VerilogBlocks, FailingSinkStopsBothFormatters) {
  Symbols symbols;
  Netlist netlist(symbols);
  fill(netlist);
  VerilogNetlist verilog;
  ASSERT_FALSE(build_verilog(netlist, "top", verilog).has_value());
  int calls = 0;
  const bool written = write_verilog_module(netlist, verilog, [&calls](std::string_view) {
    return ++calls < 3;  // the module's head, a block, then failure
  });
  EXPECT_FALSE(written);
  EXPECT_EQ(calls, 3);  // nothing is handed on after the failure
}

}  // namespace
}  // namespace syn
