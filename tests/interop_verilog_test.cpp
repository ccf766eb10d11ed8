// Bus names: which net names the Verilog writer and the statistics read as
// bits of a vector. Only the plain decimal forms base[i] and base[h:l] with
// h >= l are bits; anything else is a plain name and must never meet a bit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "netlist/net_names.hpp"

namespace syn {
namespace {

TEST(BusNames, OnlyPlainDecimalIndexesAndSlicesAreBits) {
  struct Row {
    const char* name;
    const char* base;
    int high, low;
    bool slice;
  };
  for (const Row& row : std::vector<Row>{{"a_done[7:0]", "a_done", 7, 0, true},
                                         {"a_bar[3]", "a_bar", 3, 3, false},
                                         {"x[0]", "x", 0, 0, false},
                                         {"x[15:8]", "x", 15, 8, true},
                                         {"a[65535]", "a", 65535, 65535, false}}) {
    const auto bus = parse_bus_name(row.name);
    ASSERT_TRUE(bus) << row.name;
    EXPECT_EQ(bus->base, row.base) << row.name;
    EXPECT_EQ(bus->high, row.high) << row.name;
    EXPECT_EQ(bus->low, row.low) << row.name;
    EXPECT_EQ(bus->slice, row.slice) << row.name;
  }
  for (const char* plain : {"a", "", "[3]", "a[]", "a[07]", "a[0:7]", "a[-1]", "a[+1]", "a[1][2]",
                            "a]b[2]", "a[3:]", "a[:3]", "a[3 ]", "a[3]x", "a[65536]",
                            "a[99999999999]", "a[1:2:3]"}) {
    EXPECT_FALSE(parse_bus_name(plain)) << plain;
  }
}

}  // namespace
}  // namespace syn
