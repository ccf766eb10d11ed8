#include <gtest/gtest.h>

#include <string>

#include "map/main_mapping.hpp"

namespace syn {
namespace {

template <class Node>
void add(NamedList<Node>& list, const std::string& name) {
  Node node;
  node.name = name;
  list.items.push_back(node);
  list.reindex();
}

TEST(Setup, WidthsFromRegistersThenInputsThenOutputs) {
  Design d;
  d.registers = {{"r", 8}, {"both", 4}, {"dup", 2}, {"dup", 3}};
  d.inputs = {{"both", 16}, {"in", 5}, {"io", 6}};
  d.outputs = {{"io", 7}, {"out", 9}, {"in", 11}};
  for (const char* name : {"r", "both", "dup", "in", "io", "out", "none"}) add(d.DNP, name);
  setup_mapping(d);
  EXPECT_EQ(d.DNP.find("r")->data_size, 8);
  EXPECT_EQ(d.DNP.find("both")->data_size, 4);  // register before input
  EXPECT_EQ(d.DNP.find("dup")->data_size, 2);   // first declaration
  EXPECT_EQ(d.DNP.find("in")->data_size, 5);    // input before output
  EXPECT_EQ(d.DNP.find("io")->data_size, 6);
  EXPECT_EQ(d.DNP.find("out")->data_size, 9);
  EXPECT_EQ(d.DNP.find("none")->data_size, 0);
}

TEST(Setup, SharedNamesClassifyPlaces) {
  Design d;
  for (const char* name : {"g_d", "g_l", "g_l_d"}) add(d.GNP, name);
  for (const char* name : {"g_l", "g_l_d", "l", "l_d"}) add(d.LNP, name);
  for (const char* name : {"d", "g_d", "g_l_d", "l_d"}) add(d.DNP, name);
  setup_mapping(d);
  EXPECT_EQ(d.LNP.find("g_l_d")->from_to_inter, "GNP");
  EXPECT_EQ(d.LNP.find("g_l")->from_to_inter, "GNP");
  EXPECT_EQ(d.LNP.find("l_d")->from_to_inter, "DNP");
  EXPECT_EQ(d.LNP.find("l")->from_to_inter, "LNP");
  EXPECT_EQ(d.DNP.find("g_l_d")->from_to_inter, "GNP");
  EXPECT_EQ(d.DNP.find("g_d")->from_to_inter, "GNP");
  EXPECT_EQ(d.DNP.find("l_d")->from_to_inter, "LNP");
  EXPECT_EQ(d.DNP.find("d")->from_to_inter, "DNP");
}

TEST(Setup, EmptyDesign) {
  Design d;
  setup_mapping(d);
  EXPECT_TRUE(d.DNP.items.empty());
}

}  // namespace
}  // namespace syn
