#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/run.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"

namespace syn {
namespace {

// One table line laid out in ten-character columns; the last field is not
// padded unless `trailing` asks for blanks after it.
std::string row(const std::vector<std::string>& fields, bool trailing = false) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    line += fields[i];
    if (i + 1 < fields.size() || trailing) line += std::string(10 - fields[i].size(), ' ');
  }
  return line + "\n";
}

const std::string kNetHeader = row({"Trans", "Place", "Dir", "Init", "Net"});
const std::string kDataHeader = row({"Trans", "Place", "Dir", "Kind", "Type", "Value", "Rel"});

std::string net(const std::vector<std::string>& lines, const std::string& header = kNetHeader) {
  std::string text = "title\n" + header;
  for (const std::string& line : lines) text += line;
  return text;
}

std::vector<std::string> names(const std::vector<GN_place_node>& places) {
  std::vector<std::string> out;
  for (const auto& p : places) out.push_back(p.name);
  return out;
}
std::vector<std::string> names(const std::vector<LN_place_node>& places) {
  std::vector<std::string> out;
  for (const auto& p : places) out.push_back(p.name);
  return out;
}
std::vector<std::string> names(const std::vector<DN_place_node>& places) {
  std::vector<std::string> out;
  for (const auto& p : places) out.push_back(p.name);
  return out;
}
template <class Node>
std::vector<std::string> names(const NamedList<Node>& list) {
  std::vector<std::string> out;
  for (const auto& n : list.items) out.push_back(n.name);
  return out;
}

std::string messages(const Diagnostics& diag) {
  std::string text;
  for (const Diagnostic& d : diag.all()) text += d.text + "\n";
  return text;
}

using Names = std::vector<std::string>;

// ---- table layout -------------------------------------------------------

// Every data line of a table, gathered in a list.
std::vector<TableLine> data_lines(const NetTable& table) {
  std::vector<TableLine> lines;
  table.for_each_data_line([&lines](const TableLine& line) { lines.push_back(line); });
  return lines;
}

TEST(NetTable, HeaderPositionsAndDataLines) {
  const std::string text = "first line\nTr  Pl  D   X\n# comment\n/ note\n\nA B i\nlast x";
  const NetTable table(text);
  ASSERT_EQ(data_lines(table).size(), 2u);
  const TableLine a = data_lines(table)[0];
  EXPECT_EQ(a.number, 6);
  EXPECT_EQ(a.columns->at(1), 0);
  EXPECT_EQ(a.columns->at(3), 8);
  EXPECT_EQ(a.columns->at(4), 12);
  EXPECT_EQ(a.columns->at(5), 0);  // missing title
  EXPECT_EQ(data_lines(table)[1].text, "last x");
  EXPECT_EQ(data_lines(table)[1].number, 7);
}

TEST(NetTable, LettersPastTheLineEndReadAsBlank) {
  const NetTable table("t\nA   B   C   D \nxy  z   i\n");
  const TableLine line = data_lines(table)[0];
  EXPECT_EQ(line.letter(3), 'i');
  EXPECT_TRUE(line.reaches(3));
  EXPECT_EQ(line.letter(4), ' ');  // on the newline
  EXPECT_FALSE(line.reaches(4));
  EXPECT_EQ(line.letter(5), 'x');  // no fifth title: position 0
}

TEST(NetTable, LinesOneAndTwoAreNeverData) {
  const NetTable table("T1 P1 i\nT2 P2 o\n");
  EXPECT_TRUE(data_lines(table).empty());
}

// ---- IO specification ---------------------------------------------------

struct IoResult {
  Design design;
  Diagnostics diag;
};

IoResult read_io(const std::string& text) {
  IoResult r;
  read_io_spec("io.txt", text, r.design, r.diag);
  return r;
}

TEST(IoSpec, DeclarationsFromLineFour) {
  auto r = read_io("input [4] x\noutput y\nreg [2] z\ninput [16] a\noutput b\nreg [3] c\n");
  ASSERT_EQ(r.design.inputs.size(), 1u);
  EXPECT_EQ(r.design.inputs[0].name, "a");
  EXPECT_EQ(r.design.inputs[0].data_size, 16);
  ASSERT_EQ(r.design.outputs.size(), 1u);
  EXPECT_EQ(r.design.outputs[0].name, "b");
  EXPECT_EQ(r.design.outputs[0].data_size, 1);
  ASSERT_EQ(r.design.registers.size(), 1u);
  EXPECT_EQ(r.design.registers[0].name, "c");
  EXPECT_EQ(r.design.registers[0].data_size, 3);
  EXPECT_EQ(messages(r.diag), "");
}

TEST(IoSpec, KeywordsAnywhereInTheLine) {
  auto r = read_io("1\n2\n3\noutput [8] my_input\noutput reg [4] q\ninput a b  c\ninput\n");
  ASSERT_EQ(r.design.outputs.size(), 2u);
  EXPECT_EQ(r.design.outputs[0].name, "my_input");
  EXPECT_EQ(r.design.outputs[0].data_size, 8);
  EXPECT_EQ(r.design.outputs[1].name, "q");
  ASSERT_EQ(r.design.inputs.size(), 3u);
  EXPECT_EQ(r.design.inputs[0].name, "my_input");
  EXPECT_EQ(r.design.inputs[1].name, "c");  // only the last name
  EXPECT_EQ(r.design.inputs[2].name, "input");
  ASSERT_EQ(r.design.registers.size(), 1u);
  EXPECT_EQ(r.design.registers[0].name, "q");
  EXPECT_EQ(r.design.registers[0].data_size, 4);
}

TEST(IoSpec, RegisterKeywordNeedsItsBlank) {
  auto r = read_io("1\n2\n3\nregister [8] r\nregfile\nreg [8] r\n");
  ASSERT_EQ(r.design.registers.size(), 1u);
  EXPECT_EQ(r.design.registers[0].data_size, 8);
  EXPECT_EQ(messages(r.diag),
            "io.txt:4: warning: no \"reg\", \"input\" or \"output\" keyword; line ignored\n"
            "io.txt:5: warning: no \"reg\", \"input\" or \"output\" keyword; line ignored\n");
}

TEST(IoSpec, CommentsEmptyLinesAndLastLine) {
  auto r = read_io("1\n2\n3\n# input [2] hidden\n\n   \n #x input y\noutput [5] last");
  ASSERT_EQ(r.design.inputs.size(), 1u);
  EXPECT_EQ(r.design.inputs[0].name, "y");
  ASSERT_EQ(r.design.outputs.size(), 1u);
  EXPECT_EQ(r.design.outputs[0].name, "last");
  EXPECT_EQ(r.design.outputs[0].data_size, 5);
  EXPECT_EQ(messages(r.diag), "");
}

TEST(IoSpec, DuplicatesAreKeptInFileOrder) {
  auto r = read_io("1\n2\n3\ninput [2] a\ninput [3] a\n");
  ASSERT_EQ(r.design.inputs.size(), 2u);
  EXPECT_EQ(r.design.inputs[0].data_size, 2);
  EXPECT_EQ(r.design.inputs[1].data_size, 3);
}

TEST(IoSpec, WidthThatIsNotAPlainNumberIsWarned) {
  auto r = read_io("1\n2\n3\ninput [7:0] a\noutput reg [] b\ninput [4 c\ninput [8] d\n");
  ASSERT_EQ(r.design.inputs.size(), 3u);
  EXPECT_EQ(r.design.inputs[0].data_size, 800);
  EXPECT_EQ(r.design.outputs[0].data_size, 0);
  EXPECT_EQ(r.design.registers[0].data_size, 0);
  EXPECT_EQ(r.design.inputs[2].data_size, 8);
  EXPECT_EQ(messages(r.diag),
            "io.txt:4: warning: width between the brackets is not a plain number; read as 800\n"
            "io.txt:5: warning: width between the brackets is not a plain number; read as 0\n"
            "io.txt:6: warning: width between the brackets is not a plain number; read as 2872\n");
  EXPECT_EQ(r.design.inputs[1].data_size, 2872);  // "4 c\n" by the digit rule
}

// ---- global control net -------------------------------------------------

struct NetResult {
  Design design;
  Diagnostics diag;
};

NetResult read_gn(const std::string& text) {
  NetResult r;
  read_global_net("gn.txt", text, r.design, r.diag);
  return r;
}

TEST(GlobalNet, ConsecutiveLinesExtendOneRecord) {
  auto r = read_gn(net({row({"T1", "P1", "i", "", "G"}), row({"T1", "P2", "o", "", "G"}),
                        row({"T2", "P2", "i", "", "L"}), row({"T1", "P3", "i", "", "G"})}));
  const auto& t = r.design.GNT.items;
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].name, "T1");
  EXPECT_EQ(names(t[0].in_link), Names({"P1"}));
  EXPECT_EQ(names(t[0].out_link), Names({"P2"}));
  EXPECT_EQ(t[0].line, 3);
  EXPECT_EQ(t[1].name, "T2");
  EXPECT_EQ(t[1].in_link[0].type_where, "LNP");
  EXPECT_EQ(t[2].name, "T1");
  EXPECT_EQ(names(t[2].in_link), Names({"P3"}));
  EXPECT_EQ(t[2].line, 6);
  EXPECT_EQ(r.design.GNT.find("T1"), &t[0]);  // the first record wins

  const auto& p = r.design.GNP.items;
  ASSERT_EQ(names(r.design.GNP), Names({"P1", "P2", "P3"}));
  EXPECT_EQ(p[0].out_link, Names({"T1"}));
  EXPECT_TRUE(p[0].in_link.empty());
  EXPECT_EQ(p[1].in_link, Names({"T1"}));
  EXPECT_EQ(p[1].out_link, Names({"T2"}));
  EXPECT_EQ(p[2].out_link, Names({"T1"}));
  EXPECT_EQ(messages(r.diag), "");
}

TEST(GlobalNet, PlaceListsAscendingAndUnique) {
  auto r = read_gn(net({row({"T3", "q", "i", "", "G"}), row({"T1", "q", "i", "", "G"}),
                        row({"T1", "q", "i", "", "G"}), row({"T2", "b", "o", "", "G"})}));
  const auto& t1 = r.design.GNT.items[1];
  EXPECT_EQ(names(t1.in_link), Names({"q", "q"}));  // repeated arc kept
  EXPECT_EQ(names(r.design.GNP), Names({"b", "q"}));
  EXPECT_EQ(r.design.GNP.find("q")->out_link, Names({"T1", "T3"}));
  EXPECT_EQ(r.design.GNP.find("b")->in_link, Names({"T2"}));
}

TEST(GlobalNet, NetLetterOtherThanGOrLLeavesThePlaceUntagged) {
  auto r = read_gn(net({row({"T1", "a", "i", "", ""}, true), row({"T1", "b", "o", "", "X"}),
                        row({"T1", "c", "i"})}));
  const auto& t = r.design.GNT.items.at(0);
  ASSERT_EQ(names(t.in_link), Names({"a", "c"}));
  EXPECT_EQ(t.in_link[0].type_where, "");
  EXPECT_EQ(t.out_link.at(0).type_where, "");
  EXPECT_EQ(messages(r.diag),
            "gn.txt:3: warning: net letter ' ' is neither G nor L; place not tagged\n"
            "gn.txt:4: warning: net letter 'X' is neither G nor L; place not tagged\n"
            "gn.txt:5: warning: line ends before the net column; place not tagged\n");
}

TEST(GlobalNet, UnknownDirectionCreatesTheTransitionOnly) {
  auto r = read_gn(net({row({"T1", "a", "x", "", "G"}), row({"T2", "b"})}));
  ASSERT_EQ(names(r.design.GNT), Names({"T1", "T2"}));
  EXPECT_TRUE(r.design.GNT.items[0].in_link.empty());
  EXPECT_TRUE(r.design.GNT.items[0].out_link.empty());
  EXPECT_TRUE(r.design.GNP.items.empty());
  EXPECT_EQ(messages(r.diag),
            "gn.txt:3: warning: direction letter 'x' is neither i nor o; no arc added\n"
            "gn.txt:4: warning: line ends before the direction column; no arc added\n");
}

TEST(GlobalNet, LettersAreReadAtTheTitlePositions) {
  // The third title starts at 20: the letter is the line's character 20,
  // whatever word it belongs to.
  const std::string header = "Trans     Place     Dir  Init Net\n";
  auto r = read_gn(net({"T1        longplacexi         G\n", "T2        p         o    x    G\n"}, header));
  ASSERT_EQ(r.design.GNT.items.size(), 2u);
  EXPECT_EQ(names(r.design.GNT.items[0].in_link), Names({"longplacexi"}));
  EXPECT_EQ(r.design.GNT.items[0].in_link[0].type_where, "GNP");
  EXPECT_EQ(names(r.design.GNT.items[1].out_link), Names({"p"}));
}

TEST(GlobalNet, ShortHeaderMakesMissingColumnsZero) {
  // No fifth title: the net letter is the first character of each line.
  auto r = read_gn(net({"G1   p  i\n", "L1   q  o\n"}, "Tr   Pl D\n"));
  ASSERT_EQ(r.design.GNT.items.size(), 2u);
  EXPECT_EQ(r.design.GNT.items[0].in_link.at(0).type_where, "GNP");
  EXPECT_EQ(r.design.GNT.items[1].out_link.at(0).type_where, "LNP");
}

TEST(GlobalNet, CommentsEmptyLinesAndFinalNewline) {
  const std::string body = row({"T1", "a", "i", "", "G"}) + "# T9 z i G\n\n/ T8\n" +
                           row({"T1", "b", "o", "", "G"});
  auto with = read_gn("T0 x i G\n" + kNetHeader + body);
  auto without = read_gn("T0 x i G\n" + kNetHeader + body.substr(0, body.size() - 1));
  for (auto* r : {&with, &without}) {
    ASSERT_EQ(names(r->design.GNT), Names({"T1"}));
    EXPECT_EQ(names(r->design.GNT.items[0].in_link), Names({"a"}));
    EXPECT_EQ(names(r->design.GNT.items[0].out_link), Names({"b"}));
    EXPECT_EQ(names(r->design.GNP), Names({"a", "b"}));
    EXPECT_EQ(messages(r->diag), "");
  }
}

TEST(GlobalNet, LineWithFewerThanTwoWordsIsAnError) {
  auto r = read_gn(net({"T1\n", row({"T1", "a", "i", "", "G"}), "T2 \n", "   \n"}));
  EXPECT_TRUE(r.diag.has_errors());
  EXPECT_EQ(messages(r.diag),
            "gn.txt:3: data line needs a transition and a place (fewer than two words)\n"
            "gn.txt:5: data line needs a transition and a place (fewer than two words)\n"
            "gn.txt:6: data line needs a transition and a place (fewer than two words)\n");
  ASSERT_EQ(names(r.design.GNT), Names({"T1"}));
}

// ---- local control net --------------------------------------------------

NetResult read_ln(const std::string& text) {
  NetResult r;
  read_local_net("ln.txt", text, r.design, r.diag);
  return r;
}

void expect_small_local_net(const NetResult& r) {
  ASSERT_EQ(names(r.design.LNT), Names({"T1", "T2"}));
  EXPECT_EQ(names(r.design.LNT.items[0].in_link), Names({"P1"}));
  EXPECT_TRUE(r.design.LNT.items[0].out_link.empty());
  EXPECT_EQ(names(r.design.LNT.items[1].in_link), Names({"P1"}));
  EXPECT_EQ(names(r.design.LNT.items[1].out_link), Names({"P2"}));
  ASSERT_EQ(names(r.design.LNP), Names({"P1", "P2"}));
  EXPECT_EQ(r.design.LNP.items[0].out_link, Names({"T1", "T2"}));
  EXPECT_TRUE(r.design.LNP.items[0].in_link.empty());
  EXPECT_EQ(r.design.LNP.items[1].in_link, Names({"T2"}));
  EXPECT_TRUE(r.design.LNP.items[1].out_link.empty());
}

TEST(LocalNet, SortedWhateverTheLineOrder) {
  const std::string a = row({"T2", "P1", "i"}), b = row({"T1", "P1", "i"}),
                    c = row({"T2", "P2", "o"});
  expect_small_local_net(read_ln(net({a, b, c})));
  expect_small_local_net(read_ln(net({c, b, a})));
  expect_small_local_net(read_ln(net({b, c, a, a, c})));  // repeated arcs once
  auto r = read_ln(net({a, b, c}));
  EXPECT_EQ(messages(r.diag), "");
  EXPECT_EQ(r.design.LNT.find("T2"), &r.design.LNT.items[1]);
  EXPECT_EQ(r.design.LNP.find("P2"), &r.design.LNP.items[1]);
}

TEST(LocalNet, ByteOrderOfNames) {
  auto r = read_ln(net({row({"t", "b", "i"}), row({"t", "\xc3\xa9", "i"}), row({"t", "B", "i"}),
                        row({"t", "a", "i"}), row({"t", "a1", "i"})}));
  EXPECT_EQ(names(r.design.LNT.items.at(0).in_link), Names({"B", "a", "a1", "b", "\xc3\xa9"}));
  EXPECT_EQ(names(r.design.LNP), Names({"B", "a", "a1", "b", "\xc3\xa9"}));
}

TEST(LocalNet, UnknownDirectionNamesTransitionAndPlaceOnly) {
  auto r = read_ln(net({row({"T5", "P9", "x"}), row({"T1", "P1", "o"}), row({"T1", "P2", "?"})}));
  EXPECT_EQ(names(r.design.LNT), Names({"T1", "T5"}));
  EXPECT_TRUE(r.design.LNT.find("T5")->in_link.empty());
  EXPECT_TRUE(r.design.LNT.find("T5")->out_link.empty());
  EXPECT_EQ(names(r.design.LNT.find("T1")->out_link), Names({"P1"}));
  EXPECT_EQ(names(r.design.LNP), Names({"P1", "P2", "P9"}));
  EXPECT_TRUE(r.design.LNP.find("P9")->in_link.empty());
  EXPECT_TRUE(r.design.LNP.find("P2")->out_link.empty());
  EXPECT_EQ(messages(r.diag),
            "ln.txt:3: warning: direction letter 'x' is neither i nor o; no arc added\n"
            "ln.txt:5: warning: direction letter '?' is neither i nor o; no arc added\n");
}

TEST(LocalNet, LineEndingBeforeTheDirectionColumn) {
  // The place word ends the line and keeps its newline, as tokens do.
  auto r = read_ln(net({"T1 P1\n", "T1  P2   \n"}));
  EXPECT_EQ(names(r.design.LNP), Names({"P1\n", "P2"}));
  EXPECT_EQ(messages(r.diag),
            "ln.txt:3: warning: line ends before the direction column; no arc added\n"
            "ln.txt:4: warning: line ends before the direction column; no arc added\n");
}

TEST(LocalNet, ErrorsAreReportedOncePerLine) {
  auto r = read_ln(net({"lonely\n", row({"T1", "P1", "i"}), "x\n"}));
  EXPECT_EQ(messages(r.diag),
            "ln.txt:3: data line needs a transition and a place (fewer than two words)\n"
            "ln.txt:5: data line needs a transition and a place (fewer than two words)\n");
  EXPECT_EQ(names(r.design.LNT), Names({"T1"}));
  EXPECT_EQ(names(r.design.LNP), Names({"P1"}));
}

// ---- data net -----------------------------------------------------------

// The control nets that the data net reader consults: local places go and
// both, global places gp and both.
Design control_nets() {
  Design design;
  Diagnostics diag;
  read_global_net("gn.txt",
                  net({row({"G1", "gp", "i", "", "G"}), row({"G1", "both", "o", "", "G"})}),
                  design, diag);
  read_local_net("ln.txt", net({row({"L1", "go", "o"}), row({"L1", "both", "i"})}), design,
                 diag);
  return design;
}

NetResult read_dn(const std::vector<std::string>& lines) {
  NetResult r;
  r.design = control_nets();
  read_data_net("dn.txt", net(lines, kDataHeader), r.design, r.diag);
  return r;
}

const DN_place_node& place_of(const std::vector<DN_place_node>& list, const std::string& name) {
  for (const auto& p : list) {
    if (p.name == name) return p;
  }
  throw std::runtime_error("no place " + name);
}

TEST(DataNet, ClassifiesPlacesAndCounts) {
  auto r = read_dn({row({"t1", "a", "i", "d", "V"}), row({"t1", "b", "o", "d", "V"}),
                    row({"t1", "go", "i", "c"}), row({"t1", "fin", "o", "c"})});
  ASSERT_EQ(names(r.design.DNT), Names({"t1"}));
  const DNT_node& t = r.design.DNT.items[0];
  ASSERT_EQ(names(t.in_link), Names({"a", "go"}));
  ASSERT_EQ(names(t.out_link), Names({"b", "fin"}));
  EXPECT_EQ(t.in_link[0].type_c_d, "d");
  EXPECT_EQ(t.in_link[0].type_term, "R");
  EXPECT_EQ(t.in_link[0].order, 1);
  EXPECT_EQ(t.in_link[0].from_to_inter, "");
  EXPECT_EQ(t.in_link[1].type_c_d, "c");
  EXPECT_EQ(t.in_link[1].from_to_inter, "LNP");
  EXPECT_EQ(t.in_link[1].order, 0);
  EXPECT_EQ(t.in_link[1].type_term, "");
  EXPECT_EQ(t.out_link[0].order, 1);
  EXPECT_EQ(t.out_link[1].from_to_inter, "DNP");
  EXPECT_EQ(t.datapath_num_in, 1);
  EXPECT_EQ(t.datapath_num_out, 1);
  EXPECT_EQ(t.control_num_in, 1);
  EXPECT_EQ(t.control_num_out, 0);
  EXPECT_EQ(t.control_in_DNP, 0);
  EXPECT_EQ(t.control_out_DNP, 1);
  EXPECT_EQ(t.func_part, 0);
  EXPECT_EQ(messages(r.diag), "");
}

TEST(DataNet, ControlPlaceNetLocalThenGlobal) {
  auto r = read_dn({row({"t", "both", "i", "c"}), row({"t", "gp", "i", "c"}),
                    row({"t", "own", "o", "c"}), row({"t", "go", "o", "c"})});
  const DNT_node& t = r.design.DNT.items.at(0);
  EXPECT_EQ(place_of(t.in_link, "both").from_to_inter, "LNP");
  EXPECT_EQ(place_of(t.in_link, "gp").from_to_inter, "GNP");
  EXPECT_EQ(place_of(t.out_link, "own").from_to_inter, "DNP");
  EXPECT_EQ(place_of(t.out_link, "go").from_to_inter, "LNP");
  EXPECT_EQ(t.control_num_in, 2);
  EXPECT_EQ(t.control_num_out, 1);
  EXPECT_EQ(t.control_out_DNP, 1);
}

TEST(DataNet, SortedListsAndOrderOfAppearance) {
  auto r = read_dn({row({"t2", "B", "i", "d"}), row({"t1", "x", "i", "d"}),
                    row({"t2", "A", "i", "d"}), row({"t2", "C", "o", "d"}),
                    row({"t1", "c", "i", "c"})});
  ASSERT_EQ(names(r.design.DNT), Names({"t1", "t2"}));
  const DNT_node& t2 = r.design.DNT.items[1];
  ASSERT_EQ(names(t2.in_link), Names({"A", "B"}));
  EXPECT_EQ(t2.in_link[0].order, 2);
  EXPECT_EQ(t2.in_link[1].order, 1);
  EXPECT_EQ(t2.out_link.at(0).order, 1);
  // A transition met again later gets the later line's place.
  EXPECT_EQ(names(r.design.DNT.items[0].in_link), Names({"c", "x"}));
  EXPECT_EQ(r.design.DNT.find("t2"), &t2);
}

TEST(DataNet, RelationFromTheFirstLineOnly) {
  auto r = read_dn({row({"cmp", "a", "i", "d", "V", "", ">="}), row({"cmp", "k", "o", "c", "", "", ">="}),
                    row({"mv", "a", "i", "d", "V"}), row({"mv", "k", "o", "c", "", "", "<"})});
  const DNT_node& cmp = *r.design.DNT.find("cmp");
  const DNT_node& mv = *r.design.DNT.find("mv");
  EXPECT_EQ(cmp.func_part, 1);
  EXPECT_EQ(place_of(cmp.in_link, "a").relation_ship, "");  // data places carry none
  EXPECT_EQ(place_of(cmp.out_link, "k").relation_ship, ">=");
  EXPECT_EQ(mv.func_part, 0);
  EXPECT_EQ(place_of(mv.out_link, "k").relation_ship, "<");
  EXPECT_EQ(messages(r.diag), "");
}

TEST(DataNet, RelationWithOrWithoutTrailingBlanks) {
  for (bool trailing : {false, true}) {
    auto r = read_dn({row({"c", "k", "o", "c", "", "", "!="}, trailing),
                      row({"c", "j", "o", "c", "", "", ">"}, trailing)});
    const DNT_node& c = r.design.DNT.items.at(0);
    EXPECT_EQ(c.func_part, 1);
    EXPECT_EQ(place_of(c.out_link, "k").relation_ship, "!=");
    EXPECT_EQ(place_of(c.out_link, "j").relation_ship, ">");
    EXPECT_EQ(messages(r.diag), "");
  }
}

TEST(DataNet, TerminalTypesAndConstants) {
  for (bool trailing : {false, true}) {
    auto r = read_dn({row({"t", "i1", "i", "d", "I"}, trailing),
                      row({"t", "k5", "i", "d", "C", "5"}, trailing),
                      row({"t", "k0", "i", "d", "C", "042"}, trailing),
                      row({"t", "o1", "o", "d", "O"}, trailing),
                      row({"t", "r1", "o", "d", "R"}, trailing),
                      row({"t", "v1", "o", "d", "V", "7"}, trailing)});
    const DNT_node& t = r.design.DNT.items.at(0);
    EXPECT_EQ(place_of(t.in_link, "i1").type_term, "I");
    EXPECT_EQ(place_of(t.in_link, "k5").type_term, "C");
    EXPECT_EQ(place_of(t.in_link, "k5").initial_value, 5);
    EXPECT_EQ(place_of(t.in_link, "k0").initial_value, 42);
    EXPECT_EQ(place_of(t.out_link, "o1").type_term, "O");
    EXPECT_EQ(place_of(t.out_link, "r1").type_term, "");
    EXPECT_EQ(place_of(t.out_link, "v1").type_term, "R");
    EXPECT_EQ(place_of(t.out_link, "v1").initial_value, 0);  // only constants have one
    EXPECT_EQ(messages(r.diag),
              "dn.txt:7: warning: type letter 'R' is none of I, O, V, C; the place gets no "
              "terminal type\n");
  }
}

TEST(DataNet, RepeatedArcIgnoredForTransitionsButCountedForPlaces) {
  auto r = read_dn({row({"t", "a", "i", "d"}), row({"t", "a", "i", "d"}), row({"t", "a", "o", "d"}),
                    row({"u", "a", "i", "d"}), row({"u", "q", "i", "c"})});
  const DNT_node& t = *r.design.DNT.find("t");
  EXPECT_EQ(names(t.in_link), Names({"a"}));
  EXPECT_EQ(names(t.out_link), Names({"a"}));
  EXPECT_EQ(t.datapath_num_in, 1);
  EXPECT_EQ(t.datapath_num_out, 1);
  const DNP_node& a = *r.design.DNP.find("a");
  EXPECT_EQ(a.out_link, Names({"t", "u"}));
  EXPECT_EQ(a.in_link, Names({"t"}));
  EXPECT_EQ(a.datapath_num_out, 3);  // lines, not transitions
  EXPECT_EQ(a.datapath_num_in, 1);
  const DNP_node& q = *r.design.DNP.find("q");
  EXPECT_EQ(q.out_link, Names({"u"}));
  EXPECT_EQ(q.datapath_num_in + q.datapath_num_out, 0);  // control lines are not counted
  EXPECT_EQ(q.new_name, "");
}

TEST(DataNet, PlaceWrittenOnceReadTwice) {
  auto r = read_dn({row({"w", "x", "o", "d"}), row({"r2", "x", "i", "d"}), row({"r1", "x", "i", "d"})});
  const DNP_node& x = *r.design.DNP.find("x");
  EXPECT_EQ(x.datapath_num_in, 1);
  EXPECT_EQ(x.datapath_num_out, 2);
  EXPECT_EQ(x.in_link, Names({"w"}));
  EXPECT_EQ(x.out_link, Names({"r1", "r2"}));
}

TEST(DataNet, EveryNameHasItsRecordInTheOtherList) {
  auto r = read_dn({row({"t3", "z", "i", "d"}), row({"t1", "y", "o", "d"}), row({"t2", "go", "i", "c"}),
                    row({"t1", "z", "o", "d"}), row({"t4", "w", "x", "d"})});
  EXPECT_EQ(names(r.design.DNP), Names({"go", "w", "y", "z"}));
  for (const DNT_node& t : r.design.DNT.items) {
    for (const auto* list : {&t.in_link, &t.out_link}) {
      for (const DN_place_node& p : *list) EXPECT_TRUE(r.design.DNP.contains(p.name)) << p.name;
    }
  }
  for (const DNP_node& p : r.design.DNP.items) {
    for (const auto* list : {&p.in_link, &p.out_link}) {
      for (const std::string& t : *list) EXPECT_TRUE(r.design.DNT.contains(t)) << t;
    }
  }
}

TEST(DataNet, UnknownDirectionKeepsTransitionAndPlaceEmpty) {
  auto r = read_dn({row({"t", "p", "x", "d", "C", "3", ">"}), row({"t", "q", "i", "d"})});
  const DNT_node& t = r.design.DNT.items.at(0);
  EXPECT_EQ(t.func_part, 1);  // the first line decides, whatever its direction
  EXPECT_EQ(names(t.in_link), Names({"q"}));
  EXPECT_EQ(t.datapath_num_in, 1);
  EXPECT_EQ(place_of(t.in_link, "q").order, 1);
  const DNP_node& p = *r.design.DNP.find("p");
  EXPECT_TRUE(p.in_link.empty());
  EXPECT_TRUE(p.out_link.empty());
  EXPECT_EQ(p.datapath_num_in + p.datapath_num_out, 0);
  EXPECT_EQ(messages(r.diag),
            "dn.txt:3: warning: direction letter 'x' is neither i nor o; no arc added\n");
}

TEST(DataNet, SameDesignWithOrWithoutFinalNewline) {
  const std::string body = row({"t", "a", "i", "d", "C", "5"}) + row({"t", "k", "o", "c", "", "", "="});
  for (const std::string& text : {body, body.substr(0, body.size() - 1)}) {
    NetResult r;
    read_data_net("dn.txt", "title\n" + kDataHeader + text, r.design, r.diag);
    const DNT_node& t = r.design.DNT.items.at(0);
    EXPECT_EQ(place_of(t.in_link, "a").initial_value, 5);
    EXPECT_EQ(place_of(t.out_link, "k").relation_ship, "=");
    EXPECT_EQ(names(r.design.DNP), Names({"a", "k"}));
    EXPECT_EQ(messages(r.diag), "");
  }
}

TEST(DataNet, ShortLinesAreNormalForControlPlaces) {
  // Lines ending before the type or the relation column need no warning;
  // a line ending before the kind column makes a control place, warned.
  auto r = read_dn({"t         a         i         d\n", "t         go        i         c\n",
                    "t         own       o\n"});
  const DNT_node& t = r.design.DNT.items.at(0);
  EXPECT_EQ(place_of(t.in_link, "a").type_c_d, "d");
  EXPECT_EQ(place_of(t.out_link, "own").type_c_d, "c");
  EXPECT_EQ(t.control_out_DNP, 1);
  EXPECT_EQ(messages(r.diag),
            "dn.txt:5: warning: line ends before the kind column; read as a control place\n");
}

TEST(DataNet, MalformedLinesAreErrorsWithTheirLineNumbers) {
  auto r = read_dn({row({"t", "a", "i", "d", "C"}), "t \n", row({"t", "b", "i", "d", "C", "1x"}),
                    row({"t", "k", "o", "c", "", "", ">=thirteen!"}), "single\n",
                    row({"t", "m", "o", "c", "", "", "ok"})});
  EXPECT_TRUE(r.diag.has_errors());
  EXPECT_EQ(messages(r.diag),
            "dn.txt:3: constant without its value (sixth word)\n"
            "dn.txt:4: data line needs a transition and a place (fewer than two words)\n"
            "dn.txt:5: warning: constant value '1x' is not a plain decimal number; read as 82\n"
            "dn.txt:6: relation marker at position 60 without a blank-terminated word in "
            "positions 60 to 69\n"
            "dn.txt:7: data line needs a transition and a place (fewer than two words)\n");
  EXPECT_EQ(place_of(r.design.DNT.items.at(0).out_link, "m").relation_ship, "ok");
}

TEST(DataNet, ShortHeaderPutsTheRelationMarkerOnTheFirstCharacter) {
  NetResult r;
  r.design = control_nets();
  read_data_net("dn.txt", "t\nTrans     Place     Dir       Kind\nt1        a         i         d\n",
                r.design, r.diag);
  EXPECT_EQ(r.design.DNT.items.at(0).func_part, 1);
  EXPECT_EQ(messages(r.diag),
            "dn.txt:2: warning: header has 4 titles; the data net reads the letters under "
            "titles 3, 4, 5 and 7, and a letter whose title is missing is read at position 0\n"
            "dn.txt:3: relation marker at position 0 (the header has no 7th title, so every "
            "line has one) without a blank-terminated word in positions 60 to 69\n");
}

// ---- opening the files --------------------------------------------------

class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("syn_readers_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name, const std::string& content) const {
    const std::string p = (path_ / name).string();
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  std::string path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

int run_with(std::vector<std::string> args, std::string& out, std::string& err) {
  args.insert(args.begin(), "syn-tool");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::istringstream in;
  std::ostringstream o, e;
  const int status = run_tool(static_cast<int>(argv.size()), argv.data(), in, o, e);
  out = o.str();
  err = e.str();
  return status;
}

TEST(ReadDesign, CommandLineStopsWithoutOutput) {
  TempDir dir;
  const std::string output = dir.path("out.net");
  std::string out, err;
  const std::string io = dir.file("io", ""), gn = dir.file("gn", ""), ln = dir.file("ln", "");
  EXPECT_EQ(run_with({"-o", output, io, gn, ln, dir.path("nope")}, out, err), 1);
  EXPECT_EQ(err, "syn-tool: cannot open " + dir.path("nope") + ": No such file or directory\n");
  EXPECT_EQ(out, "");
  EXPECT_FALSE(std::filesystem::exists(output));

  const std::string bad = dir.file("bad", net({row({"t", "k", "o", "c", "", "", "C"}), "t\n"}, kDataHeader));
  EXPECT_EQ(run_with({"-o", output, io, gn, ln, bad}, out, err), 1);
  EXPECT_EQ(err, bad + ":4: data line needs a transition and a place (fewer than two words)\n");
  EXPECT_EQ(out, "");
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace syn
