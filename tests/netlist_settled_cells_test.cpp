// The netlist file and the Verilog tally follow the cells on a second thread
// as mapping settles them. Every cell must be visited once, in order, and a
// failure on that thread (a write that fails part way) must reach the run:
// lost there, it would leave a broken file reported as written.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "netlist/settled_cells.hpp"
#include "util/watermark.hpp"

namespace syn {
namespace {

constexpr std::size_t kCells = 5 * 4096 + 17;  // settled in several steps

void add_cells(Netlist& netlist, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    netlist.add("buff", std::vector<std::string>{"n" + std::to_string(i), "m"});
    netlist.settle(netlist.cells().size());
  }
}

TEST(SettledCells, EveryCellVisitedOnceInOrderAcrossTheSteps) {
  Symbols symbols;
  Netlist netlist(symbols);
  std::vector<std::pair<std::size_t, std::size_t>> steps;
  SettledCellsThread thread(
      netlist, [&steps](std::size_t begin, std::size_t end) { steps.emplace_back(begin, end); });
  add_cells(netlist, kCells);
  netlist.settle_all();
  ASSERT_TRUE(thread.finish());
  ASSERT_FALSE(steps.empty());
  std::size_t next = 0;
  for (const auto& [begin, end] : steps) {
    EXPECT_EQ(begin, next);
    EXPECT_LE(begin, end);
    next = end;
  }
  EXPECT_EQ(next, kCells);
}

TEST(SettledCells, AVisitThatFailsIsReportedByFinish) {
  Symbols symbols;
  Netlist netlist(symbols);
  std::atomic<int> visits = 0;
  SettledCellsThread thread(netlist, [&visits](std::size_t, std::size_t) {
    ++visits;
    throw std::runtime_error("disk full");
  });
  add_cells(netlist, kCells);  // mapping goes on after the failure
  netlist.settle_all();
  EXPECT_THROW(thread.finish(), std::runtime_error);
  EXPECT_EQ(visits, 1);  // nothing is visited after the failure
}

TEST(Watermark, WaiterWakesOnARiseOnTheEndAndOnAStop) {
  Watermark mark;
  std::stop_source never;
  std::atomic<std::size_t> seen = 0;
  std::jthread waiter([&] { seen = mark.wait_above(0, never.get_token()).count; });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  mark.raise(5);
  waiter.join();
  EXPECT_EQ(seen, 5u);

  // The end wakes a waiter even when the count does not rise past its mark.
  Watermark::Level level;
  std::jthread at_end([&] { level = mark.wait_above(5, never.get_token()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  mark.finish(5);
  at_end.join();
  EXPECT_TRUE(level.final);
  EXPECT_EQ(level.count, 5u);

  // A stop wakes a waiter on a count that never rises.
  Watermark still;
  std::stop_source stop;
  std::jthread stopped([&] { level = still.wait_above(0, stop.get_token()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  stop.request_stop();
  stopped.join();
  EXPECT_FALSE(level.final);
  EXPECT_EQ(level.count, 0u);
}

}  // namespace
}  // namespace syn
