// The Verilog form of a netlist: bus names, naming clashes, port widths and
// the module name, checked on netlists built in code.
#include <gtest/gtest.h>

#include <sstream>

#include "netlist/net_names.hpp"
#include "netlist/write_verilog.hpp"

namespace syn {
namespace {

std::string module_text(const Netlist& netlist, const std::string& top = "top") {
  VerilogNetlist verilog;
  auto error = build_verilog(netlist, top, verilog);
  EXPECT_FALSE(error) << *error;
  std::ostringstream out;
  write_verilog_module(verilog, out);
  return out.str();
}

std::string cells_text(const Netlist& netlist) {
  VerilogNetlist verilog;
  EXPECT_FALSE(build_verilog(netlist, "top", verilog));
  std::ostringstream out;
  write_verilog_cells(verilog, out);
  return out.str();
}

const std::string kModuleHead = "// Structural netlist written by syn-tool.\n";
const std::string kCellsHead =
    "// Cell types of a netlist written by syn-tool, as empty modules with one\n"
    "// port per pin. The netlist does not say which pins drive, so every port\n"
    "// is inout; replace these with the cell library's own models.\n";

TEST(BusNames, SlicesAndBitsAreReadOnlyInTheirPlainDecimalForm) {
  auto slice = parse_bus_name("a_done[7:0]");
  ASSERT_TRUE(slice);
  EXPECT_EQ(slice->base, "a_done");
  EXPECT_EQ(slice->high, 7);
  EXPECT_EQ(slice->low, 0);
  EXPECT_TRUE(slice->slice);
  auto bit = parse_bus_name("a_bar[3]");
  ASSERT_TRUE(bit);
  EXPECT_EQ(bit->base, "a_bar");
  EXPECT_EQ(bit->high, 3);
  EXPECT_FALSE(bit->slice);
  EXPECT_TRUE(parse_bus_name("x[0]"));
  EXPECT_TRUE(parse_bus_name("x[15:8]"));
  for (const char* plain : {"a", "", "[3]", "a[]", "a[07]", "a[0:7]", "a[-1]", "a[+1]", "a[1][2]",
                            "a]b[2]", "a[3:]", "a[:3]", "a[3 ]", "a[3]x", "a[65536]", "a[99999999999]",
                            "a[1:2:3]"}) {
    EXPECT_FALSE(parse_bus_name(plain)) << plain;
  }
  EXPECT_TRUE(parse_bus_name("a[65535]"));
}

TEST(BusNames, ExpandIntoBitsMostSignificantFirst) {
  EXPECT_EQ(expand_bits("y_done[2:0]"),
            (std::vector<std::string>{"y_done[2]", "y_done[1]", "y_done[0]"}));
  EXPECT_EQ(expand_bits("y[5:5]"), std::vector<std::string>{"y[5]"});
  EXPECT_EQ(expand_bits("k"), std::vector<std::string>{"k"});
  EXPECT_EQ(expand_bits("a[07]"), std::vector<std::string>{"a[07]"});
  EXPECT_TRUE(expand_bits("").empty());
}

TEST(VerilogIdentifiers, PlainWhenLegalEscapedOtherwise) {
  EXPECT_EQ(verilog_identifier("Reset_signal"), "Reset_signal");
  EXPECT_EQ(verilog_identifier("t1_p$2"), "t1_p$2");
  EXPECT_EQ(verilog_identifier("3a"), "\\3a ");
  EXPECT_EQ(verilog_identifier("a-b"), "\\a-b ");
  EXPECT_EQ(verilog_identifier("$x"), "\\$x ");
  EXPECT_EQ(verilog_identifier("wire"), "\\wire ");
  EXPECT_EQ(verilog_identifier("logic"), "\\logic ");
}

TEST(VerilogModule, TransferBecomesVectorsAndPositionalInstances) {
  Netlist netlist;
  netlist.add("dlatch", {"x[1]", "x_bar[1]", "q", "Reset_signal", "y[1]", "y_bar[1]", "y_done[1]"});
  netlist.add("dlatch", {"x[0]", "x_bar[0]", "q", "Reset_signal", "y[0]", "y_bar[0]", "y_done[0]"});
  netlist.add("done_2", {"y_done[1:0]", "k"});
  EXPECT_EQ(module_text(netlist, "transfer"),
            kModuleHead +
                "module transfer;\n"
                "  wire [1:0] x;\n"
                "  wire [1:0] x_bar;\n"
                "  wire [1:0] y;\n"
                "  wire [1:0] y_bar;\n"
                "  wire [1:0] y_done;\n"
                "  wire Reset_signal;\n"
                "  wire k;\n"
                "  wire q;\n"
                "\n"
                "  dlatch u1 (x[1], x_bar[1], q, Reset_signal, y[1], y_bar[1], y_done[1]);\n"
                "  dlatch u2 (x[0], x_bar[0], q, Reset_signal, y[0], y_bar[0], y_done[0]);\n"
                "  done_2 u3 (y_done[1:0], k);\n"
                "endmodule\n");
  EXPECT_EQ(cells_text(netlist), kCellsHead +
                                     "(* blackbox *)\n"
                                     "module dlatch (pin1, pin2, pin3, pin4, pin5, pin6, pin7);\n"
                                     "  inout pin1;\n  inout pin2;\n  inout pin3;\n  inout pin4;\n"
                                     "  inout pin5;\n  inout pin6;\n  inout pin7;\n"
                                     "endmodule\n"
                                     "(* blackbox *)\n"
                                     "module done_2 (pin1, pin2);\n"
                                     "  inout [1:0] pin1;\n"
                                     "  inout pin2;\n"
                                     "endmodule\n");
}

TEST(VerilogModule, VectorsAreAsWideAsTheLargestIndexUsed) {
  Netlist netlist;
  netlist.add("c", {"a[3]", "a[12:9]", "b[0]"});
  EXPECT_EQ(module_text(netlist),
            kModuleHead + "module top;\n  wire [12:0] a;\n  wire [0:0] b;\n\n"
                          "  c u1 (a[3], a[12:9], b[0]);\nendmodule\n");
}

// A plain net named like a vector, like an instance, or like a renamed net
// must stay a net of its own; the vector keeps its name.
TEST(VerilogModule, ClashingNamesGetFreshOnesAndNeverMerge) {
  Netlist netlist;
  netlist.add("c", {"a", "a[2]", "a_1", "u2", "a[07]", "wire"});
  netlist.add("c", {"", "u1", "é", "a b", "a_2", ""});
  EXPECT_EQ(module_text(netlist),
            kModuleHead +
                "module top;\n"
                "  wire [2:0] a;\n"
                "  wire a_3;\n"        // "a": a_1 and a_2 are nets already
                "  wire a_x20b;\n"     // "a b"
                "  wire \\a[07] ;\n"
                "  wire a_1;\n"
                "  wire a_2;\n"
                "  wire u1;\n"
                "  wire u2;\n"
                "  wire \\wire ;\n"
                "  wire _xC3_xA9;\n"   // "é"
                "\n"
                "  c u1_1 (a_3, a[2], a_1, u2, \\a[07] , \\wire );\n"
                "  c u2_1 (, u1, _xC3_xA9, a_x20b, a_2, );\n"
                "endmodule\n");
}

TEST(VerilogModule, RepeatedInstanceNumbersGetDistinctNames) {
  Netlist netlist;
  comp_node cell;
  cell.name = "buff";
  cell.instant_num = 4;
  cell.pin_link = add_to_pin({"p", "q"});
  netlist.append(cell);
  netlist.append(cell);
  netlist.append(cell);
  const std::string text = module_text(netlist);
  EXPECT_NE(text.find("  buff u4 (p, q);\n  buff u4_1 (p, q);\n  buff u4_2 (p, q);\n"),
            std::string::npos)
      << text;
}

TEST(VerilogCells, PortsFollowTheLargestPinCountAndWidestConnection) {
  Netlist netlist;
  netlist.add("mux", {"a", "b"});
  netlist.add("mux", {"c[3:0]", "d", "e"});
  netlist.add("mux", {"f"});
  netlist.add("c-1", {});
  EXPECT_EQ(cells_text(netlist), kCellsHead +
                                     "(* blackbox *)\n"
                                     "module \\c-1 ();\n"
                                     "endmodule\n"
                                     "(* blackbox *)\n"
                                     "module mux (pin1, pin2, pin3);\n"
                                     "  inout [3:0] pin1;\n  inout pin2;\n  inout pin3;\n"
                                     "endmodule\n");
  const std::string text = module_text(netlist);
  EXPECT_NE(text.find("  mux u3 (f, , );\n  \\c-1 u4 ();\n"), std::string::npos) << text;
}

TEST(VerilogTop, DefaultsToTheOutputFileStem) {
  EXPECT_EQ(default_top_name("out/design.v"), "design");
  EXPECT_EQ(default_top_name("design.net.v"), "design.net");
  EXPECT_EQ(default_top_name("plain"), "plain");
  Netlist netlist;
  EXPECT_EQ(module_text(netlist, "design.net"), kModuleHead + "module \\design.net ;\nendmodule\n");
}

TEST(VerilogTop, MustNotBeACellTypeNorUnprintable) {
  Netlist netlist;
  netlist.add("buff", {"a", "b"});
  VerilogNetlist verilog;
  auto clash = build_verilog(netlist, "buff", verilog);
  ASSERT_TRUE(clash);
  EXPECT_EQ(*clash, "module name 'buff' is the name of a cell type; choose another with --top");
  EXPECT_TRUE(build_verilog(netlist, "", verilog));
  EXPECT_TRUE(build_verilog(netlist, "a b", verilog));
  EXPECT_FALSE(build_verilog(netlist, "buff2", verilog));
}

// A cell type whose name Verilog cannot carry gets a fresh module name that
// the top module's name does not take away.
TEST(VerilogTop, UnprintableCellTypesYieldToTheTopModule) {
  Netlist netlist;
  netlist.add("a\tb", {"n"});
  VerilogNetlist verilog;
  ASSERT_FALSE(build_verilog(netlist, "a_x09b", verilog));
  ASSERT_EQ(verilog.cells.size(), 1u);
  EXPECT_EQ(verilog.cells[0].name, "a_x09b_1");
  EXPECT_EQ(verilog.instances[0].cell, "a_x09b_1");
}

}  // namespace
}  // namespace syn
