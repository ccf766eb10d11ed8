// The single-pin net listing used to catch names that do not meet.
#include <gtest/gtest.h>

#include "datapath_expect.hpp"
#include "datapath_nets.hpp"

namespace syn::test {
namespace {

TEST(DatapathNets, ListsNetsOnOnePinWithBusesExpandedToBits) {
  const std::string text = cell("buff", 1, {"k", "v[1]"}) + cell("buff", 2, {"k", "v[0]"}) +
                           cell("mux1_2", 3, {"v[1:0]", "v_bar[1:0]", "sel", "ack", "o_bar[1:0]", "o[1:0]"}) +
                           cell("dlatch", 4, {"o[1]", "o_bar[1]", "", "Reset_signal", "d", "e", "f"});
  EXPECT_EQ(single_pin_nets(text),
            (std::vector<std::string>{"", "Reset_signal", "ack", "d", "e", "f", "o[0]", "o_bar[0]",
                                      "sel", "v_bar[0]", "v_bar[1]"}));
}

TEST(DatapathNets, EmptyNetlistHasNone) { EXPECT_TRUE(single_pin_nets("").empty()); }

}  // namespace
}  // namespace syn::test
