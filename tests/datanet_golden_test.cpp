// Whole designs through the readers and the mapper: the data net's cells,
// its console letters and texts, and its problems.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/run.hpp"
#include "datanet_builder.hpp"
#include "support.hpp"

namespace syn::test {
namespace {

// One table line in ten-character columns.
std::string row(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    line += fields[i];
    if (i + 1 < fields.size()) line += std::string(10 - fields[i].size(), ' ');
  }
  return line + "\n";
}

std::string table(const std::vector<std::string>& header, const std::vector<std::string>& lines) {
  std::string text = "title\n" + row(header);
  for (const std::string& line : lines) text += line;
  return text;
}
std::string control_net(const std::vector<std::string>& lines) {
  return table({"Trans", "Place", "Dir", "Init", "Net"}, lines);
}
std::string data_net(const std::vector<std::string>& lines) {
  return table({"Trans", "Place", "Dir", "Kind", "Type", "Value", "Rel"}, lines);
}
// Local transitions with one input place each and no output: they make the
// places local without making any cell.
std::string local_places(const std::vector<std::string>& places) {
  std::vector<std::string> lines;
  for (const std::string& p : places) lines.push_back(row({"L_" + p, p, "i"}));
  return control_net(lines);
}

int count_cells(const std::string& netlist) {
  int cells = 0;
  std::istringstream in(netlist);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != ' ') ++cells;
  }
  return cells;
}

// The data net's cells come last in the netlist: checks that its tail is
// `expected(first)`, the cells numbered on from the control nets' cells.
void expect_data_cells(const RunResult& r, const std::function<std::string(int)>& expected) {
  const int own = count_cells(expected(1));
  const int first = count_cells(r.netlist) - own + 1;
  ASSERT_GE(first, 1) << r.netlist;
  const std::string tail = expected(first);
  ASSERT_GE(r.netlist.size(), tail.size()) << r.netlist;
  EXPECT_EQ(r.netlist.substr(r.netlist.size() - tail.size()), tail);
}

std::string data_console(const RunResult& r) {
  const auto d = r.console.find('D');
  return d == std::string::npos ? "" : r.console.substr(d);
}

std::string latch(int instance, const std::string& x, const std::string& c, const std::string& y,
                  int k) {
  const std::string b = "[" + std::to_string(k) + "]";
  return cell("dlatch", instance,
              {x + b, x + "_bar" + b, c, "Reset_signal", y + b, y + "_bar" + b, y + "_done" + b});
}

TEST(DatanetGolden, RoadOfOneRegisterTransfer) {
  Tables t;
  t.io_spec = "io\n\n\nreg [8] x\nreg [8] y\n";
  t.local_net = control_net({row({"L1", "s", "i"}), row({"L1", "q", "o"}), row({"L2", "k", "i"})});
  t.data_net = data_net({row({"t1", "x", "i", "d", "V"}), row({"t1", "y", "o", "d", "V"}),
                         row({"t1", "q", "i", "c"}), row({"t1", "k", "o", "c"})});
  const RunResult r = run_tables(t);
  ASSERT_TRUE(r.read_ok) << r.errors;
  expect_data_cells(r, [](int n) {
    std::string cells;
    for (int k = 7; k >= 0; --k) cells += latch(n++, "x", "q", "y", k);
    return cells + cell("done_8", n, {"y_done[7:0]", "k"});
  });
  EXPECT_EQ(data_console(r), "D");
  EXPECT_EQ(r.errors, "");
}

TEST(DatanetGolden, ConstantInputDriversComeFirstInBitOrder) {
  Tables t;
  t.io_spec = "io\n\n\nreg [4] b\n";
  t.local_net = local_places({"c", "k"});
  t.data_net = data_net({row({"t", "a", "i", "d", "C", "5"}), row({"t", "b", "o", "d", "V"}),
                         row({"t", "c", "i", "c"}), row({"t", "k", "o", "c"})});
  const RunResult r = run_tables(t);
  ASSERT_TRUE(r.read_ok) << r.errors;
  EXPECT_EQ(r.netlist, cell("buff", 1, {"DCasyncValue0", "a[3]"}) +
                           cell("buff", 2, {"DCasyncValue1", "a_bar[3]"}) +
                           cell("buff", 3, {"DCasyncvalue1", "a[2]"}) +
                           cell("buff", 4, {"DCasyncvalue0", "a_bar[2]"}) +
                           cell("buff", 5, {"DCasyncValue0", "a[1]"}) +
                           cell("buff", 6, {"DCasyncValue1", "a_bar[1]"}) +
                           cell("buff", 7, {"DCasyncvalue1", "a[0]"}) +
                           cell("buff", 8, {"DCasyncvalue0", "a_bar[0]"}) +
                           latch(9, "a", "c", "b", 3) + latch(10, "a", "c", "b", 2) +
                           latch(11, "a", "c", "b", 1) + latch(12, "a", "c", "b", 0) +
                           cell("done_4", 13, {"b_done[3:0]", "k"}));
  EXPECT_EQ(data_console(r), "D");
  EXPECT_EQ(r.errors, "");
}

TEST(DatanetGolden, ComparatorsOfBothBranchShapes) {
  // p is a place of both control nets: the comparator must drive cmp1_p, the
  // net the global control cell reads; q and the x places are local.
  Tables t;
  t.io_spec = "io\n\n\nreg [4] a\nreg [4] b\n";
  t.global_net = control_net({row({"G1", "p", "i", "", "G"})});
  t.local_net = local_places({"go", "p", "q", "x1", "x2", "x3"});
  t.data_net = data_net({
      row({"cmp1", "p", "o", "c", "", "", ">="}),
      row({"cmp1", "a", "i", "d", "V"}),
      row({"cmp1", "b", "i", "d", "V"}),
      row({"cmp1", "go", "i", "c"}),
      row({"cmp1", "q", "o", "c"}),
      row({"cmp2", "x1", "o", "c", "", "", ">"}),
      row({"cmp2", "n", "i", "d", "C", "3"}),
      row({"cmp2", "a", "i", "d", "V"}),
      row({"cmp2", "go", "i", "c"}),
      row({"cmp2", "x2", "o", "c"}),
      row({"cmp2", "x3", "o", "c", "", "", "<"}),
  });
  const RunResult r = run_tables(t);
  ASSERT_TRUE(r.read_ok) << r.errors;
  expect_data_cells(r, [](int n) {
    std::string cells;
    cells += cell("comp_4", n++,
                  {"a[3:0]", "a_bar[3:0]", "b[3:0]", "b_bar[3:0]", "go", "cmp1_great", "cmp1_equal",
                   "cmp1_less"});
    cells += cell("OR2", n++, {"cmp1_great", "cmp1_equal", "cmp1_p"});
    cells += cell("buff", n++, {"cmp1_less", "q"});
    // cmp2 compares n (operand 1, 3 = 0011, width 4 from a) with a.
    cells += cell("buff", n++, {"DCasyncValue0", "n[3]"});
    cells += cell("buff", n++, {"DCasyncValue1", "n_bar[3]"});
    cells += cell("buff", n++, {"DCasyncValue0", "n[2]"});
    cells += cell("buff", n++, {"DCasyncValue1", "n_bar[2]"});
    cells += cell("buff", n++, {"DCasyncValue1", "n[1]"});
    cells += cell("buff", n++, {"DCasyncValue0", "n_bar[1]"});
    cells += cell("buff", n++, {"DCasyncValue1", "n[0]"});
    cells += cell("buff", n++, {"DCasyncValue0", "n_bar[0]"});
    cells += cell("comp_4", n++,
                  {"n[3:0]", "n_bar[3:0]", "a[3:0]", "a_bar[3:0]", "go", "cmp2_great", "cmp2_equal",
                   "cmp2_less"});
    cells += cell("buff", n++, {"cmp2_great", "x1"});
    cells += cell("buff", n++, {"cmp2_less", "x3"});
    cells += cell("buff", n++, {"cmp2_equal", "x2"});
    return cells;
  });
  EXPECT_EQ(data_console(r), "DD");
  EXPECT_FALSE(r.has_problems) << r.errors;
}

TEST(DatanetGolden, TransferWhoseWidthArrivesInALaterSweep) {
  // r (2 bits) -> t3 -> c -> t2 -> b -> t1 -> a: c gets its width in the
  // first sweep, b in the second, a in the third.
  Tables t;
  t.io_spec = "io\n\n\nreg [2] r\n";
  t.local_net = local_places({"g1", "g2", "g3", "k1", "k2", "k3"});
  t.data_net = data_net({
      row({"t1", "b", "i", "d"}),
      row({"t1", "a", "o", "d"}),
      row({"t1", "g1", "i", "c"}),
      row({"t1", "k1", "o", "c"}),
      row({"t2", "c", "i", "d"}),
      row({"t2", "b", "o", "d"}),
      row({"t2", "g2", "i", "c"}),
      row({"t2", "k2", "o", "c"}),
      row({"t3", "r", "i", "d", "V"}),
      row({"t3", "c", "o", "d"}),
      row({"t3", "g3", "i", "c"}),
      row({"t3", "k3", "o", "c"}),
  });
  const RunResult r = run_tables(t);
  ASSERT_TRUE(r.read_ok) << r.errors;
  EXPECT_EQ(r.netlist, latch(1, "b", "g1", "a", 1) + latch(2, "b", "g1", "a", 0) +
                           cell("done_2", 3, {"a_done[1:0]", "k1"}) + latch(4, "c", "g2", "b", 1) +
                           latch(5, "c", "g2", "b", 0) + cell("done_2", 6, {"b_done[1:0]", "k2"}) +
                           latch(7, "r", "g3", "c", 1) + latch(8, "r", "g3", "c", 0) +
                           cell("done_2", 9, {"c_done[1:0]", "k3"}));
  EXPECT_EQ(data_console(r), "DDD");
  EXPECT_EQ(r.errors, "");
}

TEST(DatanetGolden, RefusalsAndMessagesLeaveTheRestMapped) {
  Tables t;
  t.io_spec = "io\n\n\nreg [1] a\nreg [1] b\n";
  t.local_net = local_places({"c", "go", "k", "k1", "k2"});
  t.data_net = data_net({
      // No control output: refused.
      row({"bad", "a", "i", "d", "V"}),
      row({"bad", "b", "o", "d", "V"}),
      row({"bad", "c", "i", "c"}),
      // A comparison without "cmp" in its name: the four lines.
      row({"diff", "k1", "o", "c", "", "", ">="}),
      row({"diff", "a", "i", "d", "V"}),
      row({"diff", "b", "i", "d", "V"}),
      row({"diff", "go", "i", "c"}),
      row({"diff", "k2", "o", "c"}),
      // A good transfer after them.
      row({"good", "b", "i", "d", "V"}),
      row({"good", "a", "o", "d", "V"}),
      row({"good", "c", "i", "c"}),
      row({"good", "k", "o", "c"}),
  });
  const RunResult r = run_tables(t);
  ASSERT_TRUE(r.read_ok) << r.errors;
  EXPECT_EQ(r.netlist, latch(1, "b", "c", "a", 0) + cell("done_1", 2, {"a_done[0:0]", "k"}));
  EXPECT_EQ(data_console(r),
            "DD"
            "The advanced-quorvel tool has not been fully developed\n"
            "This bug is caused by adding other kinds of components\n"
            "that the supplied library does not have.\n"
            "Please report it to the authors. Thanks\n"
            "D");
  EXPECT_TRUE(r.has_problems);
  EXPECT_EQ(r.errors,
            "syn-tool: data transition bad: a transfer needs a control output place and has none;"
            " nothing mapped\n"
            "syn-tool: data transition diff: a comparison whose name does not contain \"cmp\" has"
            " no library cell; nothing mapped\n");
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(DatanetGolden, NetlistWithMappingProblemsEndsWithStatusThree) {
  const std::string dir = std::string(SYN_TEST_DATA) + "/datanet/messages/";
  const std::string output = (std::filesystem::temp_directory_path() /
                              ("datanet_messages_" + std::to_string(::getpid()) + ".net"))
                                 .string();
  std::vector<std::string> args = {"syn-tool",     "-o",           output,        dir + "io.txt",
                                   dir + "gn.txt", dir + "ln.txt", dir + "dn.txt"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::istringstream in;
  std::ostringstream out, err;
  const int status = run_tool(static_cast<int>(argv.size()), argv.data(), in, out, err);
  EXPECT_EQ(status, 3);
  EXPECT_NE(out.str().find("DDatapath net format is not correct\nD"), std::string::npos)
      << out.str();
  EXPECT_EQ(
      err.str(),
      "syn-tool: data transition cmp1: no output place of the two-way branch carries a relation;"
      " the outputs are left undriven\n");
  EXPECT_EQ(read_file(output), read_file(dir + "expected.net"));
  std::remove(output.c_str());
}

}  // namespace
}  // namespace syn::test
