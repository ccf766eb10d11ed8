// The net tables' layout (data lines, letters under the titles, the first
// two words) and the name table that numbers and sorts their names. What
// whole tables give is in the cases of tests/cases/read.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "read/name_table.hpp"
#include "read/table.hpp"

namespace syn {
namespace {

// Each data line as "number:letters under titles 1 to 5", then '+' when it
// reaches the third title's position.
std::vector<std::string> letters(const std::string& text) {
  const NetTable table(text);
  std::vector<std::string> seen;
  table.for_each_data_line([&seen](const TableLine& line) {
    std::string s = std::to_string(line.number) + ":";
    for (int column = 1; column <= 5; ++column) s += line.letter(column);
    seen.push_back(s + (line.reaches(3) ? "+" : ""));
  });
  return seen;
}

// Lines 1 and 2 are never data, nor empty lines or lines starting with '#'
// or '/'. Letters stand at the header's title starts (here 0, 4, 8, 12; a
// missing fifth title is position 0) whatever word covers them; a line
// that ends before a position has a blank there.
TEST(NetTable, DataLinesAndTheLettersUnderTheTitles) {
  EXPECT_EQ(letters("T1 P1 i\nTr  Pl  D   X\n# c\n/ n\n\nA   B   i\nxy  z\nlast    o"),
            (std::vector<std::string>{"6:ABi A+", "7:xz  x", "8:l o l+"}));
  EXPECT_EQ(letters("T1 P1 i\nT2 P2 o\n"), std::vector<std::string>{});
}

// The transition and the place are the first two words; a place word that
// ends the line keeps its line end. One word is an error, named by line.
TEST(NetTable, TransitionAndPlaceAreTheFirstTwoWords) {
  const ColumnPositions columns("T    P    D\n");
  const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
      {"t1 p1 i\n", "p1"}, {"  t1   p1\n", "p1\n"}, {"t1 p1", "p1"},
      {"t1   \n", std::nullopt}, {"t1\n", std::nullopt}};
  Diagnostics diag;
  for (const auto& [text, place] : rows) {
    const auto names = transition_and_place("f", TableLine{text, 7, &columns}, diag);
    EXPECT_EQ(names ? std::optional<std::string>(names->place) : std::nullopt, place) << text;
    if (names) {
      EXPECT_EQ(names->transition, "t1");
    }
  }
  ASSERT_EQ(diag.all().size(), 2u);
  EXPECT_EQ(diag.all()[0].text,
            "f:7: data line needs a transition and a place (fewer than two words)");
}

// Ids number the names in order of first appearance; ranks order them byte
// by byte: bytes above 0x7f after the letters, a name before its
// extensions (a zero byte too), whole names compared past 16 equal bytes.
TEST(NameTable, IdsByFirstAppearanceRanksByBytes) {
  const std::string zero = std::string("x") + '\0';
  const std::vector<std::string> names = {"b", "abcdefghijklmnop_2", "\xe9t\xe9",
                                          "abcdefghijklmnop_10", "B", "x", zero,
                                          "abcdefghijklmnop", "_", "b"};
  Symbols symbols;
  NameTable table(symbols);
  std::vector<std::uint32_t> ids;
  for (const std::string& name : names) ids.push_back(table.id(name));
  EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
  table.sort();
  std::vector<std::uint32_t> ranks;
  for (std::uint32_t id = 0; id < table.size(); ++id) {
    ranks.push_back(table.rank(id));
    EXPECT_EQ(table.id_at_rank(table.rank(id)), id);
  }
  std::vector<std::string> ascending;
  for (std::uint32_t rank = 0; rank < table.size(); ++rank)
    ascending.emplace_back(table.name(table.id_at_rank(rank)));
  EXPECT_EQ(ascending,
            (std::vector<std::string>{"B", "_", "abcdefghijklmnop", "abcdefghijklmnop_10",
                                      "abcdefghijklmnop_2", "b", "x", zero, "\xe9t\xe9"}));
}

}  // namespace
}  // namespace syn
