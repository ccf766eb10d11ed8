// Each cell kind's behavioural model against its protocol in docs/cells.md,
// at two widths or arities where it has them: the model is written for a
// netlist holding the cell, driven by a small stimulus through its phases,
// and what its outputs show at each step is compared with the protocol.
#include "outputs/cell_models.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "test_files.hpp"
#include "verilog_of.hpp"

namespace syn {
namespace {

bool have_icarus() { return std::system("iverilog -V >/dev/null 2>&1") == 0; }

// The models of the netlist's cells with `stimulus` (a module "t") run in
// Icarus: what it prints.
std::string simulate(const Netlist& netlist, const Symbols& symbols, const std::string& stimulus) {
  std::ostringstream models;
  write_cell_models(netlist, test::verilog_of(netlist, symbols, PortDetail::widths_and_directions),
                    models);
  test::TempDir dir;
  test::write_file(dir.path() / "models.v", models.str());
  test::write_file(dir.path() / "t.v", "`timescale 1ns / 1ps\n" + stimulus);
  std::string log;
  if (test::shell(dir.path(), "iverilog -g2012 -o sim -s t t.v models.v && vvp -n sim", log) != 0)
    ADD_FAILURE() << log;
  return log;
}

TEST(CellModels, JoinRisesOnAllHighAndFallsOnAllLow) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const int inputs : {2, 3}) {
    Symbols symbols;
    Netlist netlist(symbols);
    std::vector<std::string> pins = {"o"};
    for (int k = 0; k < inputs; ++k) pins.push_back("i[" + std::to_string(k) + "]");
    netlist.add(join_cell(inputs), pins);
    const std::string n = std::to_string(inputs);
    std::string ports = "o";
    for (int k = 0; k < inputs; ++k) ports += ", i[" + std::to_string(k) + "]";
    EXPECT_EQ(simulate(netlist, symbols,
                       "module t; reg [" + n + "-1:0] i = 0; wire o; c" + n + " u(" + ports +
                           ");\n"
                           "initial begin #5 i = 1; #5 $display(o); i = ~0; #5 $display(o);\n"
                           "i = 1; #5 $display(o); i = 0; #5 $display(o); end endmodule\n"),
              "0\n1\n1\n0\n")
        << inputs << " inputs";
  }
}

TEST(CellModels, DoneGathersEveryBitAndReturnsOnAllLow) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const int width : {2, 8}) {
    Symbols symbols;
    Netlist netlist(symbols);
    const std::string w = std::to_string(width);
    netlist.add(done_cell(width),
                std::vector<std::string>{"d[" + std::to_string(width - 1) + ":0]", "k"});
    EXPECT_EQ(simulate(netlist, symbols,
                       "module t; reg [" + w + "-1:0] d = 0; wire k; done_" + w +
                           " u(d, k);\n"
                           "initial begin #5 d = 1; #5 $display(k); d = ~0; #5 $display(k);\n"
                           "d = 1; #5 $display(k); d = 0; #5 $display(k); end endmodule\n"),
              "0\n1\n1\n0\n")
        << width << " bits";
  }
}

// Two writers' latches on one register bit: each takes its bit while its
// request lasts, the bit stays when the request falls, and done is high only
// while a write lasts. A source that changes during a write is not taken.
TEST(CellModels, LatchesShareARegisterAndKeepItsValue) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  Symbols symbols;
  Netlist netlist(symbols);
  netlist.add(latch_cell(),
              std::vector<std::string>{"a", "a_bar", "r1", "rst", "q", "q_bar", "done"});
  EXPECT_EQ(simulate(netlist, symbols,
                     "module t; reg a = 0, a_bar = 0, b = 0, b_bar = 0, r1 = 0, r2 = 0, rst = 0;\n"
                     "wire q, q_bar, done;\n"
                     "dlatch w1(a, a_bar, r1, rst, q, q_bar, done);\n"
                     "dlatch w2(b, b_bar, r2, rst, q, q_bar, done);\n"
                     "initial begin\n"
                     "  #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  r1 = 1; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  a = 1; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  a = 0; a_bar = 1; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  r1 = 0; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  b_bar = 1; r2 = 1; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "  r2 = 0; #5 $display(\"%b%b %b\", q, q_bar, done);\n"
                     "end endmodule\n"),
            "00 0\n"    // never written: the spacer
            "00 0\n"    // requested, source empty: waits
            "10 1\n"    // takes 1
            "10 1\n"    // the source changes: not taken again
            "10 0\n"    // request falls: done falls, the bit stays
            "01 1\n"    // the other writer takes 0
            "01 0\n");  // and it stays
}

TEST(CellModels, ComparatorRaisesOneOutputWhileRequested) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const int width : {1, 4}) {
    Symbols symbols;
    Netlist netlist(symbols);
    const std::string w = std::to_string(width), bus = "[" + std::to_string(width - 1) + ":0]";
    netlist.add(comparator_cell(width),
                std::vector<std::string>{"a" + bus, "a_bar" + bus, "b" + bus, "b_bar" + bus, "r",
                                         "g", "e", "l"});
    const int high = (1 << width) - 1;
    EXPECT_EQ(simulate(netlist, symbols,
                       "module t; reg [" + w +
                           "-1:0] a = 0, b = 0; reg r = 0, on = 0;\n"
                           "wire g, e, l; wire [" +
                           w +
                           "-1:0] a_bar = on ? ~a : 0, b_bar = on ? ~b : 0;\n"
                           "comp_" +
                           w +
                           " u(a, a_bar, b, b_bar, r, g, e, l);\n"
                           "initial begin\n"
                           "  r = 1; #5 $display(\"%b%b%b\", g, e, l);\n"
                           "  on = 1; a = " +
                           std::to_string(high) +
                           "; #5 $display(\"%b%b%b\", g, e, l);\n"
                           "  b = a; #5 $display(\"%b%b%b\", g, e, l);\n"
                           "  a = 0; #5 $display(\"%b%b%b\", g, e, l);\n"
                           "  r = 0; #5 $display(\"%b%b%b\", g, e, l);\n"
                           "end endmodule\n"),
              "000\n100\n010\n001\n000\n")
        << width << " bits";
  }
}

// The result of the operands modulo 2^W while requested, then done; the
// spacer when the request falls.
void expect_operation(const CellShape& shape, const std::string& sign, int a, int b, int c) {
  Symbols symbols;
  Netlist netlist(symbols);
  const std::string w = std::to_string(shape.width);
  const std::string bus = "[" + std::to_string(shape.width - 1) + ":0]";
  std::vector<std::string> pins;
  std::string ports;
  for (int k = 1; k <= shape.count; ++k) {
    const std::string name = "x" + std::to_string(k);
    pins.push_back(name + bus);
    pins.push_back(name + "_bar" + bus);
    ports += name + ", ~" + name + ", ";
  }
  for (const char* pin : {"r", "o", "o_bar", "d"}) pins.push_back(pin);
  pins[pins.size() - 3] += bus;
  pins[pins.size() - 2] += bus;
  netlist.add(shape, pins);
  const int operands[] = {a, b, c};
  std::string set, result = std::to_string(a);
  for (int k = 1; k <= shape.count; ++k)
    set += "x" + std::to_string(k) + " = " + std::to_string(operands[k - 1]) + "; ";
  long expected = a;
  for (int k = 1; k < shape.count; ++k)
    expected = sign == "*" ? expected * operands[k] : expected + operands[k];
  expected %= 1L << shape.width;
  const std::string name = type_name(shape);
  std::string declared;
  for (int k = 1; k <= shape.count; ++k)
    declared += (k == 1 ? "" : ", ") + ("x" + std::to_string(k));
  EXPECT_EQ(simulate(netlist, symbols,
                     "module t; reg [" + w + "-1:0] " + declared +
                         "; reg r = 0;\n"
                         "wire [" +
                         w + "-1:0] o, o_bar; wire d;\n" + name + " u(" + ports +
                         "r, o, o_bar, d);\n"
                         "initial begin " +
                         set +
                         "\n"
                         "  #5 $display(\"%0d %0d %b\", o, o_bar, d);\n"
                         "  r = 1; #5 $display(\"%0d %0d %b\", o, ~o_bar & " +
                         std::to_string((1 << shape.width) - 1) +
                         ", d);\n"
                         "  r = 0; #5 $display(\"%0d %0d %b\", o, o_bar, d);\n"
                         "end endmodule\n"),
            "0 0 0\n" + std::to_string(expected) + " " + std::to_string(expected) + " 1\n0 0 0\n")
      << name;
}

TEST(CellModels, MultiplierAndAdderWrapToTheirWidth) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  expect_operation(multiplier_cell(2, 3), "*", 5, 3, 0);
  expect_operation(multiplier_cell(3, 4), "*", 3, 5, 7);
  expect_operation(adder_cell(2, 4), "+", 9, 12, 0);
  expect_operation(adder_cell(3, 2), "+", 1, 2, 3);
}

TEST(CellModels, MultiplexerPassesTheSelectedFeeder) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const int feeders : {2, 3}) {
    Symbols symbols;
    Netlist netlist(symbols);
    std::vector<std::string> pins;
    std::string ports;
    for (int k = 0; k < feeders; ++k) {
      const std::string in = "v" + std::to_string(k);
      pins.insert(pins.end(), {in + "[3:0]", in + "_bar[3:0]", "s[" + std::to_string(k) + "]"});
      ports += in + ", ~" + in + ", s[" + std::to_string(k) + "], ";
    }
    pins.insert(pins.end(), {"d", "o_bar[3:0]", "o[3:0]"});
    netlist.add(multiplexer_cell(feeders, 4), pins);
    std::string values;
    for (int k = 0; k < feeders; ++k)
      values += "reg [3:0] v" + std::to_string(k) + " = " + std::to_string(k + 5) + "; ";
    const std::string n = std::to_string(feeders);
    EXPECT_EQ(
        simulate(netlist, symbols,
                 "module t; " + values + "reg [" + n +
                     "-1:0] s = 0;\n"
                     "wire d; wire [3:0] o, o_bar;\nmux" +
                     n + "_4 u(" + ports +
                     "d, o_bar, o);\n"
                     "initial begin\n"
                     "  #5 $display(\"%0d %0d %b\", o, o_bar, d);\n"
                     "  s = 1 << (" +
                     n +
                     " - 1); #5 $display(\"%0d %0d %b\", o, ~o_bar & 15, d);\n"
                     "  s = 0; #5 $display(\"%0d %0d %b\", o, o_bar, d);\n"
                     "end endmodule\n"),
        "0 0 0\n" + std::to_string(feeders + 4) + " " + std::to_string(feeders + 4) + " 1\n0 0 0\n")
        << feeders << " feeders";
  }
}

TEST(CellModels, DelayLetsItsRequestFallOnceDoneThenAcknowledges) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  Symbols symbols;
  Netlist netlist(symbols);
  netlist.add(delay_cell(), std::vector<std::string>{"r", "a", "dr", "d"});
  EXPECT_EQ(simulate(netlist, symbols,
                     "module t; reg r = 0, d = 0; wire a, dr; dele u(r, a, dr, d);\n"
                     "initial begin\n"
                     "  r = 1; #5 $display(\"%b%b\", dr, a);\n"
                     "  d = 1; #5 $display(\"%b%b\", dr, a);\n"
                     "  d = 0; #5 $display(\"%b%b\", dr, a);\n"
                     "  r = 0; #5 $display(\"%b%b\", dr, a);\n"
                     "end endmodule\n"),
            "10\n00\n01\n00\n");
}

// A cell of two set groups (both needed) and one reset group of two pins
// (either): it takes the token, acknowledges until its set pins are low,
// and gives the token up on a reset pin.
TEST(CellModels, GlobalControlTakesAcknowledgesAndGivesUpTheToken) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const bool grouped : {false, true}) {
    Symbols symbols;
    Netlist netlist(symbols);
    const CellShape shape = grouped
                                ? global_control_cell(2, netlist.add_control_groups({{1, 1}, {2}}))
                                : global_control_cell(1, netlist.add_control_groups({{1}, {1}}));
    const std::string name = grouped ? "DCsetAND2resetOR2_0" : "DCsetreset_0";
    const std::vector<std::string> nets =
        grouped ? std::vector<std::string>{"bk", "s1", "s2", "fw", "r1", "r2"}
                : std::vector<std::string>{"bk", "s1", "fw", "r1"};
    const Cell& cell = netlist.start_cell(name, shape, nets.size());
    for (std::size_t p = 0; p < nets.size(); ++p) netlist.name_pin(cell, p, nets[p]);
    const std::string ports = grouped ? "bk, s[0], s[1], fw, r[0], r[1]" : "bk, s[0], fw, r[0]";
    const std::string set = grouped ? "2'b11" : "2'b01";
    EXPECT_EQ(simulate(netlist, symbols,
                       "module t; reg [1:0] s = 0, r = 0; wire bk, fw; " + name + " u(" + ports +
                           ");\n"
                           "initial begin\n"
                           "  s = 2'b01; #5 $display(\"%b%b\", fw, bk);\n"
                           "  s = " +
                           set +
                           "; #5 $display(\"%b%b\", fw, bk);\n"
                           "  s = 0; #5 $display(\"%b%b\", fw, bk);\n"
                           "  r = 2'b01; #5 $display(\"%b%b\", fw, bk);\n"
                           "end endmodule\n"),
              grouped ? "00\n11\n10\n00\n" : "11\n11\n10\n00\n")
        << name;
  }
}

TEST(CellModels, BufferAndOrFollowTheirInputs) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  Symbols symbols;
  Netlist netlist(symbols);
  netlist.add(buffer_cell(), std::vector<std::string>{"a", "b"});
  netlist.add(or_cell(), std::vector<std::string>{"a", "b", "c"});
  EXPECT_EQ(
      simulate(netlist, symbols,
               "module t; reg a = 0, b = 0; wire y, z; buff u(a, y); OR2 v(a, b, z);\n"
               "initial begin #5 $display(\"%b%b\", y, z); b = 1; #5 $display(\"%b%b\", y, z);\n"
               "a = 1; b = 0; #5 $display(\"%b%b\", y, z); end endmodule\n"),
      "00\n01\n11\n");
}

}  // namespace
}  // namespace syn
