// The names of global control cells and backward nets follow from counts of
// producers and consumers; each rule with its examples in one table.
#include <gtest/gtest.h>

#include "map/global_control_naming.hpp"

namespace syn {
namespace {

using List = std::vector<CountedPlace>;

std::string names_of(const List& list) {
  std::string names;
  for (const auto& entry : list)
    names += std::string(1, static_cast<char>(entry.index)) + ":" + std::to_string(entry.num) + " ";
  return names;
}

TEST(ControlNaming, ListsRunByCountDescendingWithLaterEntriesFirstAmongEquals) {
  const std::pair<List, std::string> table[] = {
      {{{1, 'a'}, {2, 'b'}, {1, 'c'}}, "b:2 c:1 a:1 "},
      {{{1, 'a'}, {1, 'b'}, {1, 'c'}}, "c:1 b:1 a:1 "},
      {{{1, 'a'}, {3, 'b'}, {2, 'c'}, {3, 'd'}}, "d:3 b:3 c:2 a:1 "},
      {{}, ""}};
  for (const auto& [list, expected] : table) EXPECT_EQ(names_of(order_by_count(list)), expected);
}

TEST(ControlNaming, SidePartsFollowThePlaceAndTransitionCounts) {
  const std::tuple<std::string, List, std::string> table[] = {
      {"set", {{1, 'p'}}, "set"},
      {"set", {{3, 'p'}}, "setOR3"},
      {"set", {{1, 'p'}, {1, 'q'}}, "setAND2"},
      {"set", {{2, 'p'}, {1, 'q'}, {1, 'r'}}, "setOA211"},
      {"reset", {{1, 'p'}}, "reset"},
      {"reset", {{2, 'p'}}, "resetOR2"},
      {"reset", {{1, 'p'}, {1, 'q'}, {1, 'r'}}, "resetAND3"},
      {"reset", {{3, 'p'}, {2, 'q'}}, "resetOA32"},
      {"set", {{12, 'p'}, {1, 'q'}}, "setOA121"}};
  for (const auto& [base, side, expected] : table) EXPECT_EQ(cell_side_name(base, side), expected);
}

TEST(ControlNaming, CellNameJoinsBothSides) {
  const std::tuple<List, List, std::string> table[] = {
      {{{1, 'a'}}, {{1, 'b'}}, "DCsetreset_0"},
      {{{1, 'a'}, {1, 'b'}}, {{3, 'c'}}, "DCsetAND2resetOR3_0"},
      {{{2, 'a'}}, {{1, 'b'}, {1, 'c'}}, "DCsetOR2resetAND2_0"},
      // Input places with 1 and 2 producers, in either file order.
      {order_by_count({{2, 'a'}, {1, 'b'}}), {{1, 'c'}}, "DCsetOA21reset_0"},
      {order_by_count({{1, 'b'}, {2, 'a'}}), {{1, 'c'}}, "DCsetOA21reset_0"}};
  for (const auto& [set, reset, expected] : table) EXPECT_EQ(control_cell_name(set, reset), expected);
}

TEST(ControlNaming, BackwardNetNamesJoinTheProducersGroups) {
  const std::tuple<int, std::vector<backward_group>, std::string> table[] = {
      {4, {{2, "r11"}, {3, "r21"}}, "I4bk_I2r11_I3r21"},
      {4, {}, "I4bk"},
      {12, {{1, "r21"}, {1, "r11"}}, "I12bk_I1r21_I1r11"}};
  for (const auto& [instance, groups, expected] : table) {
    EXPECT_EQ(backward_net_name(instance, groups), expected);
  }
}

}  // namespace
}  // namespace syn
