#include <gtest/gtest.h>

#include "map/global_control_naming.hpp"

namespace syn {
namespace {

std::vector<std::string> names_of(const std::vector<pin_order_node>& list) {
  std::vector<std::string> names;
  for (const auto& entry : list) names.push_back(entry.name + ":" + std::to_string(entry.num));
  return names;
}

TEST(ControlNaming, ListsRunByCountDescendingWithLaterEntriesFirstAmongEquals) {
  EXPECT_EQ(names_of(order_by_count({{1, "a"}, {2, "b"}, {1, "c"}})),
            (std::vector<std::string>{"b:2", "c:1", "a:1"}));
  EXPECT_EQ(names_of(order_by_count({{1, "a"}, {1, "b"}, {1, "c"}})),
            (std::vector<std::string>{"c:1", "b:1", "a:1"}));
  EXPECT_EQ(names_of(order_by_count({{1, "a"}, {3, "b"}, {2, "c"}, {3, "d"}})),
            (std::vector<std::string>{"d:3", "b:3", "c:2", "a:1"}));
  EXPECT_TRUE(order_by_count({}).empty());
}

TEST(ControlNaming, SidePartsFollowThePlaceAndTransitionCounts) {
  EXPECT_EQ(cell_side_name("set", {{1, "p"}}), "set");
  EXPECT_EQ(cell_side_name("set", {{3, "p"}}), "setOR3");
  EXPECT_EQ(cell_side_name("set", {{1, "p"}, {1, "q"}}), "setAND2");
  EXPECT_EQ(cell_side_name("set", {{2, "p"}, {1, "q"}, {1, "r"}}), "setOA211");
  EXPECT_EQ(cell_side_name("reset", {{1, "p"}}), "reset");
  EXPECT_EQ(cell_side_name("reset", {{2, "p"}}), "resetOR2");
  EXPECT_EQ(cell_side_name("reset", {{1, "p"}, {1, "q"}, {1, "r"}}), "resetAND3");
  EXPECT_EQ(cell_side_name("reset", {{3, "p"}, {2, "q"}}), "resetOA32");
  EXPECT_EQ(cell_side_name("set", {{12, "p"}, {1, "q"}}), "setOA121");
}

TEST(ControlNaming, CellNameJoinsBothSides) {
  EXPECT_EQ(control_cell_name({{1, "a"}}, {{1, "b"}}), "DCsetreset_0");
  EXPECT_EQ(control_cell_name({{1, "a"}, {1, "b"}}, {{3, "c"}}), "DCsetAND2resetOR3_0");
  EXPECT_EQ(control_cell_name({{2, "a"}}, {{1, "b"}, {1, "c"}}), "DCsetOR2resetAND2_0");
  // Input places with 1 and 2 producers, in either file order.
  EXPECT_EQ(control_cell_name(order_by_count({{2, "a"}, {1, "b"}}), {{1, "c"}}), "DCsetOA21reset_0");
  EXPECT_EQ(control_cell_name(order_by_count({{1, "b"}, {2, "a"}}), {{1, "c"}}), "DCsetOA21reset_0");
}

TEST(ControlNaming, BackwardNetNamesJoinTheProducersGroups) {
  EXPECT_EQ(backward_net_name(4, {{2, "r11"}, {3, "r21"}}), "I4bk_I2r11_I3r21");
  EXPECT_EQ(backward_net_name(4, {}), "I4bk");
  EXPECT_EQ(backward_net_name(12, {{1, "r21"}, {1, "r11"}}), "I12bk_I1r21_I1r11");
}

}  // namespace
}  // namespace syn
