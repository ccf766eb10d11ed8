// The pieces the net readers use to number names, order them and group
// lines, and the end-to-end orders they must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/design.hpp"
#include "read/name_table.hpp"
#include "read/read_design.hpp"
#include "read/table.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

std::vector<std::string> ascending(const NameTable& table) {
  std::vector<std::string> names;
  for (std::uint32_t r = 0; r < table.size(); ++r) names.emplace_back(table.name_at_rank(r));
  return names;
}

TEST(NameTable, NumbersEachNameOnceInOrderOfFirstAppearance) {
  NameTable table;
  EXPECT_EQ(table.id("b"), 0u);
  EXPECT_EQ(table.id("a"), 1u);
  EXPECT_EQ(table.id("b"), 0u);
  EXPECT_EQ(table.id("ab"), 2u);
  EXPECT_EQ(table.id("a"), 1u);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table.name(2), "ab");
}

TEST(NameTable, KeepsItsOwnCopyOfTheNames) {
  NameTable table;
  std::string text = "first";
  table.id(text);
  text = "other";
  EXPECT_EQ(table.name(0), "first");
  EXPECT_EQ(table.id("first"), 0u);
}

TEST(NameTable, RanksAreByteWiseWithHighBytesLast) {
  // Sixteen equal leading bytes make the sort compare whole names; bytes
  // above 0x7f come after the letters (unsigned comparison); a shorter
  // name comes before its extensions, an embedded zero byte included.
  const std::string long_a = "abcdefghijklmnop_2";
  const std::string long_b = "abcdefghijklmnop_10";
  const std::string with_zero = std::string("x") + '\0';
  NameTable table;
  for (const std::string& name :
       {std::string("b"), long_a, std::string("\xe9t\xe9"), long_b, std::string("B"),
        std::string("x"), with_zero, std::string("abcdefghijklmnop"), std::string("_")}) {
    table.id(name);
  }
  table.sort();
  EXPECT_EQ(ascending(table), (std::vector<std::string>{"B", "_", "abcdefghijklmnop", long_b,
                                                        long_a, "b", "x", with_zero, "\xe9t\xe9"}));
  for (std::uint32_t id = 0; id < table.size(); ++id) {
    EXPECT_EQ(table.id_at_rank(table.rank(id)), id);
  }
}

TEST(NameTable, SortedNamesDropRepeats) {
  NameTable table;
  table.id("c");
  table.id("a");
  table.id("b");
  table.sort();
  std::vector<std::uint32_t> ranks = {2, 0, 2, 1, 0};
  EXPECT_EQ(table.sorted_names(ranks), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(NameTable, ItsIndexFindsTheRecordsBuiltInRankOrder) {
  NameTable table;
  for (const char* name : {"delta", "alpha", "charlie", "bravo", "alpha"}) table.id(name);
  table.sort();
  NamedList<LNP_node> list;
  for (std::uint32_t r = 0; r < table.size(); ++r) {
    list.items.emplace_back();
    list.items.back().name = table.name_at_rank(r);
  }
  list.adopt_index(table.index_by_rank());
  for (const char* name : {"alpha", "bravo", "charlie", "delta"}) {
    ASSERT_NE(list.find(name), nullptr) << name;
    EXPECT_EQ(list.find(name)->name, name);
  }
  EXPECT_EQ(list.find("echo"), nullptr);
  EXPECT_EQ(list.find("alph"), nullptr);
}

TEST(Groups, KeepListOrderInsideEachGroup) {
  const std::vector<int> keys = {2, 0, 2, 1, 0, 2};
  const auto groups = group_positions(keys.size(), 4, [&keys](std::size_t i) { return keys[i]; });
  EXPECT_EQ(std::vector<std::uint32_t>(groups[0].begin(), groups[0].end()),
            (std::vector<std::uint32_t>{1, 4}));
  EXPECT_EQ(std::vector<std::uint32_t>(groups[1].begin(), groups[1].end()),
            (std::vector<std::uint32_t>{3}));
  EXPECT_EQ(std::vector<std::uint32_t>(groups[2].begin(), groups[2].end()),
            (std::vector<std::uint32_t>{0, 2, 5}));
  EXPECT_TRUE(groups[3].empty());
}

// ---- the words and lines the readers take -------------------------------

TEST(TransitionAndPlace, TheLineEndBelongsToALastPlaceWord) {
  const ColumnPositions columns("T    P    D\n");
  Diagnostics diag;
  const auto full = transition_and_place("f", TableLine{"t1 p1 i\n", 3, &columns}, diag);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->transition, "t1");
  EXPECT_EQ(full->place, "p1");
  const auto two = transition_and_place("f", TableLine{"  t1   p1\n", 4, &columns}, diag);
  ASSERT_TRUE(two);
  EXPECT_EQ(two->place, "p1\n");
  const auto last = transition_and_place("f", TableLine{"t1 p1", 5, &columns}, diag);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->place, "p1");
  EXPECT_TRUE(diag.all().empty());
}

TEST(TransitionAndPlace, OneWordIsAnErrorEvenBeforeTrailingBlanks) {
  const ColumnPositions columns("T    P    D\n");
  Diagnostics diag;
  EXPECT_FALSE(transition_and_place("f", TableLine{"t1   \n", 7, &columns}, diag));
  EXPECT_FALSE(transition_and_place("f", TableLine{"t1\n", 8, &columns}, diag));
  ASSERT_EQ(diag.all().size(), 2u);
  EXPECT_EQ(diag.all()[0].text,
            "f:7: data line needs a transition and a place (fewer than two words)");
  EXPECT_EQ(diag.all()[1].text,
            "f:8: data line needs a transition and a place (fewer than two words)");
}

TEST(NetTable, ControlCharactersAreFoundOnlyInTheLinesThatHaveThem) {
  // Line 4 has a tab, line 5 a bell; a clean table says nothing.
  const NetTable table("t\nT    P    D\nt1 p1 i\nt1\tp2 o\nt1 p3\a i\n");
  Diagnostics diag;
  table.for_each_data_line(
      [&](const TableLine& line) { table.warn_about_characters("f", line, diag); });
  ASSERT_EQ(diag.all().size(), 2u);
  EXPECT_EQ(diag.all()[0].text.substr(0, 25), "f:4: warning: tab charact");
  EXPECT_EQ(diag.all()[1].text,
            "f:5: warning: control character (code 7) in the line; it is read as part of a word");

  const NetTable clean("t\nT    P    D\nt1 p1 i\n");
  Diagnostics quiet;
  clean.for_each_data_line(
      [&](const TableLine& line) { clean.warn_about_characters("f", line, quiet); });
  EXPECT_TRUE(quiet.all().empty());
}

// ---- end to end: orders of the lists -------------------------------------

std::string column(const std::string& word) { return word + std::string(10 - word.size(), ' '); }

std::string data_line(const std::string& t, const std::string& p, const std::string& dir,
                      const std::string& kind) {
  return column(t) + column(p) + column(dir) + kind + "\n";
}

TEST(DataNetOrder, PlacesAndTransitionsAscendWhateverTheLineOrder) {
  // Control places: "lp" is a local place, "gp" a global one, "both" is
  // in both nets (the local net wins), "own" in neither.
  Design design;
  Diagnostics diag;
  read_global_net("gn.txt",
                  "g\n" + column("T") + column("P") + column("D") + column("X") + "N\n" +
                      column("G1") + column("gp") + column("i") + column("") + "G\n" +
                      column("G1") + column("both") + column("o") + column("") + "G\n",
                  design, diag);
  read_local_net("ln.txt",
                 "l\n" + column("T") + column("P") + "D\n" + column("L1") + column("lp") + "i\n" +
                     column("L1") + column("both") + "o\n",
                 design, diag);
  const std::string header =
      column("T") + column("P") + column("D") + column("K") + column("Y") + column("V") + "R\n";
  read_data_net("dn.txt",
                "d\n" + header + data_line("tz", "own", "i", "c") + data_line("ta", "q", "o", "d") +
                    data_line("tz", "q", "i", "d") + data_line("ta", "lp", "i", "c") +
                    data_line("tm", "q", "i", "d") + data_line("ta", "gp", "o", "c") +
                    data_line("tz", "both", "o", "c") + data_line("ta", "q", "o", "d"),
                design, diag);
  EXPECT_TRUE(diag.all().empty());
  ASSERT_EQ(design.DNT.items.size(), 3u);
  EXPECT_EQ(design.DNT.items[0].name, "ta");
  EXPECT_EQ(design.DNT.items[1].name, "tm");
  EXPECT_EQ(design.DNT.items[2].name, "tz");

  const DNT_node& ta = design.DNT.items[0];
  ASSERT_EQ(ta.in_link.size(), 1u);
  EXPECT_EQ(ta.in_link[0].from_to_inter, "LNP");
  ASSERT_EQ(ta.out_link.size(), 2u);  // the repeated arc to q counts once
  EXPECT_EQ(ta.out_link[0].name, "gp");
  EXPECT_EQ(ta.out_link[0].from_to_inter, "GNP");
  EXPECT_EQ(ta.out_link[1].name, "q");
  EXPECT_EQ(ta.datapath_num_out, 1);
  EXPECT_EQ(ta.control_num_out, 1);

  const DNT_node& tz = design.DNT.items[2];
  ASSERT_EQ(tz.in_link.size(), 2u);
  EXPECT_EQ(tz.in_link[0].name, "own");
  EXPECT_EQ(tz.in_link[0].from_to_inter, "DNP");
  EXPECT_EQ(tz.control_in_DNP, 1);
  EXPECT_EQ(tz.in_link[1].name, "q");
  ASSERT_EQ(tz.out_link.size(), 1u);
  EXPECT_EQ(tz.out_link[0].from_to_inter, "LNP");

  std::vector<std::string> places;
  for (const DNP_node& p : design.DNP.items) places.push_back(p.name);
  EXPECT_EQ(places, (std::vector<std::string>{"both", "gp", "lp", "own", "q"}));
  const DNP_node& q = *design.DNP.find("q");
  EXPECT_EQ(q.in_link, (std::vector<std::string>{"ta"}));
  EXPECT_EQ(q.out_link, (std::vector<std::string>{"tm", "tz"}));
  EXPECT_EQ(q.datapath_num_in, 2);  // lines are counted, the repeat too
  EXPECT_EQ(q.datapath_num_out, 2);
}

}  // namespace
}  // namespace syn
