// The netlist summary: counts per cell type, totals, and the nets that
// reach a single pin, counted bit by bit as bus names mean.
#include <gtest/gtest.h>

#include <sstream>

#include "netlist/stats.hpp"

namespace syn {
namespace {

TEST(NetlistStats, CountsBitsAndJoinsRunsOfSinglePinBits) {
  Netlist netlist;
  netlist.add("c2", {"start", "k", "q"});
  netlist.add("dlatch", {"x[1]", "x_bar[1]", "q", "Reset_signal", "y[1]", "y_bar[1]", "y_done[1]"});
  netlist.add("dlatch", {"x[0]", "x_bar[0]", "q", "Reset_signal", "y[0]", "y_bar[0]", "y_done[0]"});
  netlist.add("done_2", {"y_done[1:0]", "k"});
  netlist.add("buff", {"", "y[3]"});
  const NetlistStats stats = collect_stats(netlist);
  EXPECT_EQ(stats.cells, 5);
  EXPECT_EQ(stats.pins, 21);
  EXPECT_EQ(stats.unconnected_pins, 1);
  // start k q Reset_signal, x[1:0] x_bar[1:0] y[1:0] y_bar[1:0] y_done[1:0], y[3]
  EXPECT_EQ(stats.nets, 15);
  EXPECT_EQ(stats.single_pin_nets, 10);
  std::ostringstream out;
  write_stats(stats, out);
  EXPECT_EQ(out.str(),
            "cell type               cells\n"
            "buff                        1\n"
            "c2                          1\n"
            "dlatch                      2\n"
            "done_2                      1\n"
            "total cells                 5\n"
            "pins                       21\n"
            "unconnected pins            1\n"
            "nets                       15\n"
            "nets on a single pin       10\n"
            "  start\n"
            "  x[1:0]\n"
            "  x_bar[1:0]\n"
            "  y[1:0]\n"
            "  y[3]\n"
            "  y_bar[1:0]\n");
}

TEST(NetlistStats, LongCellNamesWidenTheTableAndAnEmptyNetlistIsAllZero) {
  Netlist netlist;
  netlist.add("DCsetOA12_3resetOA2_10_0", {"a", "a"});
  std::ostringstream out;
  write_stats(collect_stats(netlist), out);
  EXPECT_EQ(out.str(),
            "cell type                   cells\n"
            "DCsetOA12_3resetOA2_10_0        1\n"
            "total cells                     1\n"
            "pins                            2\n"
            "nets                            1\n"
            "nets on a single pin            0\n");
  std::ostringstream empty;
  write_stats(collect_stats(Netlist{}), empty);
  EXPECT_EQ(empty.str(),
            "cell type               cells\n"
            "total cells                 0\n"
            "pins                        0\n"
            "nets                        0\n"
            "nets on a single pin        0\n");
}

}  // namespace
}  // namespace syn
