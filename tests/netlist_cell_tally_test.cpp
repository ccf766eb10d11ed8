// For a Verilog run the cells are tallied on a second thread as they
// settle, while the data net is still mapped. The tally must come out as a
// tally of the finished netlist would: every cell once, in order, across
// the steps in which settling is announced, and a cell whose pins are named
// late (a multiplexer) read only once it is final.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/cell_tally.hpp"
#include "netlist/netlist.hpp"

namespace syn {
namespace {

constexpr int kCells = 3 * 4096 + 100;  // settled in several steps
constexpr int kMuxAt = 5000;            // the multiplexer's place in the list

std::string bit(const std::string& base, int i) { return base + "[" + std::to_string(i) + "]"; }

// Makes the netlist as a mapper would, settling as it goes: buffers and
// latches on bits and slices, a multiplexer whose pins are named only at the
// end (so nothing from it on settles before then), and a cell entered under
// an earlier cell's instance number.
void map_cells(Netlist& netlist) {
  std::size_t mux = 0;
  for (int i = 0; i < kCells; ++i) {
    if (i == kMuxAt) {
      mux = netlist.cells().size();
      netlist.start_cell(multiplexer_cell(2, 4), 6);
    } else if (i % 3 == 0) {
      netlist.add(buffer_cell(), std::vector<std::string>{"n" + std::to_string(i), bit("v", i % 64)});
    } else {
      netlist.add(latch_cell(), std::vector<std::string>{bit("x", i % 8), bit("x_bar", i % 8), "go",
                                                     "Reset_signal", bit("y", i % 8),
                                                     bit("y_bar", i % 8), "y_done[7:0]"});
    }
    netlist.settle(i < kMuxAt ? netlist.cells().size() : mux);
  }
  Cell again = netlist.reserve_cell(buffer_cell(), 1, 2);
  netlist.place_pin(again, std::string("n1"));
  netlist.place_pin(again, std::string("again"));
  netlist.append(again);
  const Cell& late = netlist.cells()[mux];
  const std::vector<std::string> mux_nets = {"a[3:0]", "s1", "b[3:0]", "s2", "done", "z[3:0]"};
  for (std::size_t p = 0; p < mux_nets.size(); ++p) netlist.name_pin(late, p, mux_nets[p]);
  netlist.settle_all();
}

void expect_same_ports(const VerilogCell& got, const VerilogCell& want) {
  EXPECT_EQ(got.ports, want.ports);
  EXPECT_EQ(got.port_widths, want.port_widths);
  EXPECT_EQ(got.port_directions, want.port_directions);
}

TEST(CellTally, WhileMappingEqualsTallyOfFinishedNetlist) {
  Symbols symbols;
  Netlist netlist(symbols);
  CellTallyWhileMapping while_mapping(netlist, PortDetail::widths_and_directions);
  map_cells(netlist);
  CellTally got = while_mapping.finish();
  CellTally want(netlist, PortDetail::widths_and_directions);

  EXPECT_EQ(got.types.types, want.types.types);
  EXPECT_EQ(got.types.cell_type, want.types.cell_type);
  ASSERT_EQ(got.types.ports.size(), want.types.ports.size());
  for (std::size_t t = 0; t < got.types.ports.size(); ++t)
    expect_same_ports(got.types.ports[t], want.types.ports[t]);
  EXPECT_EQ(got.types.unusual_instances, std::vector<std::size_t>{netlist.cells().size() - 1});
  EXPECT_EQ(got.types.unusual_instances, want.types.unusual_instances);
  // The multiplexer's pins are counted as finally named: its slices widen
  // its ports to 4 bits, and no pin is left on the unnamed net.
  const std::size_t mux_type = got.types.cell_type[kMuxAt];
  EXPECT_EQ(got.types.ports[mux_type].port_widths, (std::vector<int>{4, 1, 4, 1, 1, 4}));
  for (NetId id = 0; id < netlist.net_count(); ++id) {
    const auto count = [id](const CellTally& tally) {
      const NetUse::Counts none{};
      const NetUse::Counts& c = id < tally.pins_by_net.size() ? tally.pins_by_net[id] : none;
      return std::pair<int, int>(c.drivers, c.readers);
    };
    EXPECT_EQ(count(got), count(want)) << netlist.net_text(id);
  }
  for (const Cell& cell : netlist.cells()) {
    for (std::size_t p = 0; p < cell.pin_count; ++p)
      ASSERT_EQ(got.directions.of(cell, p), want.directions.of(cell, p));
  }
  // The names of the nets on pins, the multiplexer's among them.
  const SortedNetNames got_names = std::move(got.names).sorted(netlist);
  const SortedNetNames want_names = std::move(want.names).sorted(netlist);
  const auto texts = [](const std::vector<NamedId>& names) {
    std::vector<std::string> listed;
    for (const NamedId& name : names) listed.emplace_back(name.text);
    return listed;
  };
  EXPECT_EQ(texts(got_names.vectors), texts(want_names.vectors));
  EXPECT_EQ(texts(got_names.plain), texts(want_names.plain));
  EXPECT_EQ(texts(got_names.vectors),
            (std::vector<std::string>{"a", "b", "v", "x", "x_bar", "y", "y_bar", "y_done", "z"}));
}

}  // namespace
}  // namespace syn
