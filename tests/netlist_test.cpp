#include <gtest/gtest.h>

#include <sstream>

#include "netlist/netlist.hpp"
#include "netlist/write_netlist.hpp"

namespace syn {
namespace {

std::vector<int> numbers(const comp_node& cell) {
  std::vector<int> out;
  for (const pin_node& p : cell.pin_link) out.push_back(p.pin_num);
  return out;
}

std::vector<std::string> nets(const comp_node& cell) {
  std::vector<std::string> out;
  for (const pin_node& p : cell.pin_link) out.push_back(p.name);
  return out;
}

comp_node cell_with_pins(std::vector<int> pin_numbers) {
  comp_node cell;
  for (int n : pin_numbers) cell.pin_link.push_back({"e" + std::to_string(n), {}, n, 0});
  return cell;
}

TEST(AddToPin, NumbersPinsFromOneInSlotOrder) {
  auto pins = add_to_pin({"a", "b", "c"});
  ASSERT_EQ(pins.size(), 3u);
  EXPECT_EQ(pins[0].pin_num, 1);
  EXPECT_EQ(pins[2].pin_num, 3);
  EXPECT_EQ(pins[1].name, "b");
  EXPECT_TRUE(add_to_pin({}).empty());
}

TEST(AddToPinPart, FillsTheGapBeforeTheFirstLaterPin) {
  comp_node cell = cell_with_pins({1, 5});
  Netlist::add_to_pin_part(cell, 2, {"s2", "s3", "s4"});
  EXPECT_EQ(numbers(cell), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(nets(cell), (std::vector<std::string>{"e1", "s2", "s3", "s4", "e5"}));
}

TEST(AddToPinPart, AppendsWhenNoPinComesLater) {
  comp_node cell = cell_with_pins({1, 2});
  Netlist::add_to_pin_part(cell, 3, {"s3"});
  EXPECT_EQ(numbers(cell), (std::vector<int>{1, 2, 3}));
}

TEST(AddToPinPart, PutsTheBlockInFrontOfAllPins) {
  comp_node cell = cell_with_pins({4});
  Netlist::add_to_pin_part(cell, 2, {"s2", "s3"});
  EXPECT_EQ(numbers(cell), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(cell.pin_link.front().name, "s2");
}

TEST(AddToPinPart, KeepsAnExistingPinOfTheSameNumberAfterTheBlock) {
  comp_node cell = cell_with_pins({1, 2});
  Netlist::add_to_pin_part(cell, 2, {"s2", "s3"});
  EXPECT_EQ(numbers(cell), (std::vector<int>{1, 2, 3, 2}));
  EXPECT_EQ(nets(cell), (std::vector<std::string>{"e1", "s2", "s3", "e2"}));
}

TEST(AddToPinPart, IntoAnEmptyCellAndWithAnEmptyBlock) {
  comp_node cell;
  Netlist::add_to_pin_part(cell, 0, {"a", "b", "c"});
  EXPECT_EQ(numbers(cell), (std::vector<int>{0, 1, 2}));
  Netlist::add_to_pin_part(cell, 3, {});
  EXPECT_EQ(cell.pin_link.size(), 3u);
}

TEST(Netlist, RegistryIsSortedByteWiseAndUnique) {
  Netlist netlist;
  for (const char* name : {"buff", "OR2", "buff", "DCset"}) netlist.add(name, {}, 0, 0);
  EXPECT_EQ(std::vector<std::string>(netlist.registry().begin(), netlist.registry().end()),
            (std::vector<std::string>{"DCset", "OR2", "buff"}));
}

TEST(Netlist, InstanceNumbersRunInCreationOrderAndCanBeReserved) {
  Netlist netlist;
  const int reserved = netlist.new_instance();
  netlist.add("c2", {"a_b", "a", "b"}, 2, 1);
  comp_node mux;
  mux.name = "mux2_8";
  mux.instant_num = reserved;
  netlist.append(mux);
  ASSERT_EQ(netlist.comps().size(), 2u);
  EXPECT_EQ(netlist.comps()[0].instant_num, 2);
  EXPECT_EQ(netlist.comps()[1].instant_num, 1);
  EXPECT_EQ(netlist.look_for_comp(1)->name, "mux2_8");
  EXPECT_EQ(netlist.look_for_comp(7), nullptr);
}

TEST(WriteNetlist, CellLineThenPinLinesWithPositions) {
  Netlist netlist;
  netlist.add("buff", {"a", "b"}, 1, 1);
  comp_node odd;
  odd.name = "c2";
  odd.instant_num = netlist.new_instance();
  odd.pin_link = {{"", {}, 7, 0}, {"x", {}, 3, 0}};
  netlist.append(odd);
  comp_node bare;
  bare.name = "dele";
  bare.instant_num = netlist.new_instance();
  netlist.append(bare);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_EQ(out.str(),
            "buff          1\n"
            "        Pin 1        a\n"
            "        Pin 2        b\n"
            "c2          2\n"
            "        Pin 1        \n"
            "        Pin 2        x\n"
            "dele          3\n");
}

TEST(WriteNetlist, InstanceNumbersPast999AreWrittenInFull) {
  Netlist netlist;
  for (int i = 0; i < 1234; ++i) netlist.new_instance();
  netlist.add("buff", {"a", "b"}, 1, 1);
  std::ostringstream out;
  write_netlist(netlist, out);
  EXPECT_EQ(out.str().substr(0, 18), "buff          1235");
}

TEST(WriteNetlist, EmptyNetlistIsAnEmptyText) {
  std::ostringstream out;
  write_netlist(Netlist{}, out);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace syn
