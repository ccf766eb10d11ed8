// How the netlist finds a net: a name written out, a bus named by its parts
// and a design name passed with its symbol must all reach the same net when
// they spell the same name, and a name that is not a bus bit stays a plain
// net, whatever way it came. One net per name is what the writers and the
// driver checks rely on; the summary counts as nets only the bits on pins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map/names.hpp"
#include "netlist/netlist.hpp"
#include "netlist/stats.hpp"

namespace syn {
namespace {

// The nets of a one-pin cell per name, in order.
class NetFinder {
 public:
  NetFinder() : netlist_(symbols_) {}
  template <class Net>
  NetId net(const Net& name) {
    const Cell& cell = netlist_.start_cell(buffer_cell(), 1);
    netlist_.name_pin(cell, 0, name);
    return netlist_.pins(netlist_.cells().back()).front();
  }
  SymbolText design_name(const std::string& text) {
    const SymbolId id = symbols_.intern(text);
    return {id, symbols_.text(id)};
  }
  const Netlist& netlist() const { return netlist_; }

 private:
  Symbols symbols_;
  Netlist netlist_;
};

TEST(NetlistNets, OneNetPerNameWhicheverWayItIsNamed) {
  NetFinder f;
  const SymbolText acc = f.design_name("acc");
  const NetId by_parts = f.net(bit_bar(std::string_view("acc"), 3));
  EXPECT_EQ(f.net(std::string_view("acc_bar[3]")), by_parts);
  EXPECT_EQ(f.net(bit_bar(acc, 3)), by_parts);
  EXPECT_NE(f.net(bit(acc, 3)), by_parts);
  EXPECT_NE(f.net(bit_done(acc, 3)), by_parts);

  const NetId whole = f.net(bus(acc, 4));
  EXPECT_EQ(f.net(std::string_view("acc[3:0]")), whole);
  EXPECT_NE(f.net(bus(acc, 1)), f.net(bit(acc, 0)));  // acc[0:0] is not acc[0]
  EXPECT_EQ(f.net(std::string_view("acc[0:0]")), f.net(bus(acc, 1)));

  // A design name used as a plain net is the net of that text.
  EXPECT_EQ(f.net(acc), f.net(std::string_view("acc")));
  EXPECT_EQ(f.netlist().net_text(whole), "acc[3:0]");
  EXPECT_EQ(f.netlist().net_text(by_parts), "acc_bar[3]");
}

TEST(NetlistNets, NamesThatAreNotBusBitsStayPlainNets) {
  NetFinder f;
  const std::vector<std::pair<BusNet, std::string>> plain = {
      {bus(std::string_view("x"), 0), "x[-1:0]"},  // no width
      {bit(std::string_view("x"), -2), "x[-2]"},       {bit(std::string_view(""), 3), "[3]"},
      {bit(std::string_view("a[1"), 3), "a[1[3]"},     {bit(std::string_view("a]"), 3), "a][3]"},
      {bit(std::string_view("x"), 65536), "x[65536]"},
  };
  for (const auto& [parts, text] : plain) {
    const NetId net = f.net(parts);
    EXPECT_FALSE(f.netlist().net(net).is_bus()) << text;
    EXPECT_EQ(f.netlist().plain_name(net), text);
    EXPECT_EQ(f.net(std::string_view(text)), net) << text;
  }
  // A design name that reads as a bus bit is that bit.
  const SymbolText named_bit = f.design_name("y[2]");
  EXPECT_EQ(f.net(named_bit), f.net(bit(std::string_view("y"), 2)));
  EXPECT_EQ(f.net(f.design_name("y[90]")), f.net(bit(std::string_view("y"), 90)));
  // Leading zeros make a plain name, apart from the bit.
  EXPECT_NE(f.net(std::string_view("y[02]")), f.net(bit(std::string_view("y"), 2)));
}

// Bits named again and again, in both orders and past the room first kept
// for a vector, keep their nets.
TEST(NetlistNets, BitsKeepTheirNetsAsAVectorGrows) {
  NetFinder f;
  const SymbolText v = f.design_name("v");
  std::vector<NetId> first;
  for (int k = 0; k < 40; ++k) first.push_back(f.net(bit(v, k)));
  for (int k = 39; k >= 0; --k) EXPECT_EQ(f.net(bit(std::string_view("v"), k)), first[k]) << k;
  for (int k = 0; k < 40; ++k)
    EXPECT_EQ(f.netlist().net_text(first[k]), "v[" + std::to_string(k) + "]");
}

// A vector's first slice and the others (kept apart) are each one net,
// written as the slice it is.
TEST(NetlistNets, EverySliceOfAVectorIsItsOwnNet) {
  NetFinder f;
  const SymbolText w = f.design_name("w");
  const NetId low_half = f.net(bus(w, 4));
  const NetId whole = f.net(bus(w, 8));
  const NetId lowest = f.net(bus(w, 1));
  EXPECT_EQ(f.net(std::string_view("w[7:0]")), whole);
  EXPECT_EQ(f.net(bus(std::string_view("w"), 4)), low_half);
  EXPECT_EQ(f.net(std::string_view("w[0:0]")), lowest);
  EXPECT_EQ(f.netlist().net_text(low_half), "w[3:0]");
  EXPECT_EQ(f.netlist().net_text(whole), "w[7:0]");
  EXPECT_EQ(f.netlist().net_text(lowest), "w[0:0]");
}

// A rail is found by its base's symbol however the mapper named it, by its
// parts with the symbol or by text: the design's inputs are looked up so.
TEST(NetlistNets, RailsAreFoundByTheirBaseSymbol) {
  NetFinder f;
  const SymbolText p = f.design_name("p");
  const SymbolText q = f.design_name("q");
  f.net(bit_bar(std::string_view("p"), 0));
  f.net(bit_done(q, 1));
  f.net(q);
  const Netlist& n = f.netlist();
  EXPECT_NE(n.find_vector(p.id, Rail::complement), kNoVector);
  EXPECT_EQ(n.find_vector(p.id, Rail::complement), n.find_vector("p_bar"));
  EXPECT_NE(n.find_vector(q.id, Rail::done), kNoVector);
  EXPECT_EQ(n.find_vector(q.id, Rail::done), n.find_vector("q_done"));
  EXPECT_EQ(n.find_vector(p.id, Rail::done), kNoVector);
  EXPECT_EQ(n.find_vector(p.id, Rail::true_rail), kNoVector);
  EXPECT_EQ(n.find_plain_net(q.id), n.find_plain_net("q"));
  EXPECT_EQ(n.find_plain_net(p.id), kUnnamedNet);
}

// The bits of a vector between those on pins are no nets: x[0] and x[3]
// are two nets, each on a single pin, not four.
TEST(NetlistNets, StatsCountOnlyBitsOnPins) {
  NetFinder f;
  f.net(bit(std::string_view("x"), 0));
  f.net(bit(std::string_view("x"), 3));
  const NetlistStats stats = collect_stats(f.netlist());
  EXPECT_EQ(stats.nets, 2);
  EXPECT_EQ(stats.single_pin_nets, 2);
  EXPECT_EQ(stats.single_pin_names, (std::vector<std::string>{"x[0]", "x[3]"}));
}

// The mappers build names in buffers they use again: a name of the same
// length in the same place is another name all the same. The netlist's
// caches of recent names must look at the bytes, not only where they lie.
TEST(NetlistNets, ANameBuiltAgainInTheSameBufferIsAnotherName) {
  NetFinder f;
  char buffer[] = "n0";
  const std::string_view name(buffer, 2);
  const NetId n0 = f.net(name);
  const NetId n0_bar = f.net(BusNet{name, Rail::complement, 3, 3, false});
  const NetId n0_done = f.net(BusNet{name, Rail::done, 7, 0, true});
  buffer[1] = '1';
  const NetId n1 = f.net(name);
  const NetId n1_bar = f.net(BusNet{name, Rail::complement, 3, 3, false});
  const NetId n1_done = f.net(BusNet{name, Rail::done, 7, 0, true});
  EXPECT_EQ(f.netlist().net_text(n0), "n0");
  EXPECT_EQ(f.netlist().net_text(n1), "n1");
  EXPECT_EQ(f.netlist().net_text(n0_bar), "n0_bar[3]");
  EXPECT_EQ(f.netlist().net_text(n1_bar), "n1_bar[3]");
  EXPECT_EQ(f.netlist().net_text(n0_done), "n0_done[7:0]");
  EXPECT_EQ(f.netlist().net_text(n1_done), "n1_done[7:0]");
  buffer[1] = '0';
  EXPECT_EQ(f.net(name), n0);
  EXPECT_EQ(f.net(BusNet{name, Rail::complement, 3, 3, false}), n0_bar);
}

// The same for the cell types.
TEST(NetlistNets, ACellTypeBuiltAgainInTheSameBufferIsAnotherType) {
  Symbols symbols;
  Netlist netlist(symbols);
  char buffer[] = "c2";
  const std::string_view type(buffer, 2);
  netlist.start_cell(type, join_cell(2), 0);
  buffer[1] = '3';
  netlist.start_cell(type, join_cell(3), 0);
  ASSERT_EQ(netlist.cells().size(), 2u);
  EXPECT_EQ(netlist.text(netlist.cells()[0].type), "c2");
  EXPECT_EQ(netlist.text(netlist.cells()[1].type), "c3");
}

}  // namespace
}  // namespace syn
