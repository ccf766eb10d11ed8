// The work a run does on a second thread: two jobs side by side
// (run_beside), the cells followed as mapping settles them (Watermark,
// SettledCellsThread), the chunks of a large text handed to the file by a
// thread of their own (ChunkedText). Each must give what one thread alone
// gives, and with SYN_TOOL_THREADS=1, or where no thread can be started,
// all of it must run on the calling thread. No test here waits on a sleep:
// a wait that a fault could make endless is bounded and fails as a test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "netlist/settled_cells.hpp"
#include "netlist/text_chunks.hpp"
#include "one_thread.hpp"
#include "util/run_beside.hpp"
#include "util/watermark.hpp"

namespace syn {
namespace {

using std::chrono::seconds;

using test::OneThread;
using test::TwoThreads;

// Runs `job` on a thread of its own and gives whether it ended within a
// bound far beyond what it needs; a job that hangs is left behind (the test
// has failed by then, and the process ends with it).
template <class Job>
bool ends_in_time(Job job) {
  std::packaged_task<void()> task(std::move(job));
  std::future<void> done = task.get_future();
  std::thread(std::move(task)).detach();
  return done.wait_for(seconds(30)) == std::future_status::ready;
}

TEST(RunBeside, BothJobsRunAndTheSecondOnAnotherThread) {
  const TwoThreads two;
  const std::thread::id caller = std::this_thread::get_id();
  std::thread::id beside_on, here_on;
  run_beside([&] { beside_on = std::this_thread::get_id(); },
             [&] { here_on = std::this_thread::get_id(); });
  EXPECT_EQ(here_on, caller);
  EXPECT_NE(beside_on, caller);
  EXPECT_NE(beside_on, std::thread::id());
}

TEST(RunBeside, OneThreadRunsBothHereTheSecondFirst) {
  const OneThread one;
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<std::pair<std::string, std::thread::id>> ran;
  run_beside([&] { ran.emplace_back("beside", std::this_thread::get_id()); },
             [&] { ran.emplace_back("here", std::this_thread::get_id()); });
  const std::vector<std::pair<std::string, std::thread::id>> expected{{"beside", caller},
                                                                      {"here", caller}};
  EXPECT_EQ(ran, expected);
}

// A failure on either side reaches the caller, that of the calling thread's
// job first, and both jobs still run to their end: the other side's data
// must not be dropped while it is in use.
TEST(RunBeside, FailuresComeBackHereFirst) {
  for (const bool one_thread : {false, true}) {
    SCOPED_TRACE(one_thread ? "one thread" : "two threads");
    const test::ThreadSwitch threads(one_thread ? "1" : nullptr);
    std::atomic<int> ended = 0;
    const auto fails = [&ended](const char* what) {
      return [&ended, what] {
        ++ended;
        throw std::runtime_error(what);
      };
    };
    try {
      run_beside(fails("beside"), fails("here"));
      ADD_FAILURE() << "nothing thrown";
    } catch (const std::runtime_error& failure) {
      EXPECT_STREQ(failure.what(), "here");
    }
    EXPECT_EQ(ended, 2);
    EXPECT_THROW(run_beside(fails("beside"), [] {}), std::runtime_error);
  }
}

TEST(Watermark, WaiterWakesOnARiseOnTheEndAndOnAStop) {
  Watermark mark;
  std::stop_source never;
  // A rise past the waiter's mark wakes it, whether it waited before the
  // rise or comes after it.
  std::future<Watermark::Level> risen =
      std::async(std::launch::async, [&] { return mark.wait_above(0, never.get_token()); });
  mark.raise(5);
  ASSERT_EQ(risen.wait_for(seconds(30)), std::future_status::ready);
  EXPECT_EQ(risen.get().count, 5u);

  // The end wakes a waiter also when the count does not rise past its mark.
  std::future<Watermark::Level> ended =
      std::async(std::launch::async, [&] { return mark.wait_above(5, never.get_token()); });
  mark.finish(5);
  ASSERT_EQ(ended.wait_for(seconds(30)), std::future_status::ready);
  const Watermark::Level level = ended.get();
  EXPECT_TRUE(level.final);
  EXPECT_EQ(level.count, 5u);

  // A stop wakes a waiter on a count that never rises.
  Watermark still;
  std::stop_source stop;
  std::future<Watermark::Level> stopped =
      std::async(std::launch::async, [&] { return still.wait_above(0, stop.get_token()); });
  stop.request_stop();
  ASSERT_EQ(stopped.wait_for(seconds(30)), std::future_status::ready);
  EXPECT_FALSE(stopped.get().final);
}

constexpr std::size_t kCells = 5 * 4096 + 17;  // settled in several steps

void add_cells(Netlist& netlist, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    netlist.add(buffer_cell(), std::vector<std::string>{"n" + std::to_string(i), "m"});
    netlist.settle(netlist.cells().size());
  }
}

TEST(SettledCells, EveryCellVisitedOnceInOrderAcrossTheSteps) {
  const TwoThreads two;
  Symbols symbols;
  Netlist netlist(symbols);
  std::vector<std::pair<std::size_t, std::size_t>> steps;
  std::atomic<std::size_t> visited = 0;
  SettledCellsThread thread(netlist, [&](std::size_t begin, std::size_t end) {
    steps.emplace_back(begin, end);
    visited = end;
  });
  // Each step of settled cells is awaited before the next is made, so that
  // the follower sees them one by one however the threads are scheduled.
  for (std::size_t made = 0; made < kCells; made += 4096) {
    add_cells(netlist, std::min<std::size_t>(4096, kCells - made));
    const std::size_t settled = netlist.cells().size() - netlist.cells().size() % 4096;
    const auto until = std::chrono::steady_clock::now() + seconds(30);
    while (visited < settled && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  }
  netlist.settle_all();
  ASSERT_TRUE(thread.finish());
  ASSERT_GE(steps.size(), kCells / 4096);
  std::size_t next = 0;
  for (const auto& [begin, end] : steps) {
    EXPECT_EQ(begin, next);
    EXPECT_LE(begin, end);
    next = end;
  }
  EXPECT_EQ(next, kCells);
}

TEST(SettledCells, AVisitThatFailsIsReportedByFinish) {
  const TwoThreads two;
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

// Mapping that fails never settles all cells: the follower dropped then
// must stop without having visited anything, instead of waiting forever.
TEST(SettledCells, DroppedBeforeMappingEndsStopsUnvisited) {
  const TwoThreads two;
  Symbols symbols;
  Netlist netlist(symbols);
  std::atomic<int> visits = 0;
  EXPECT_TRUE(ends_in_time([&] {
    SettledCellsThread thread(netlist, [&visits](std::size_t, std::size_t) { ++visits; });
    netlist.add(buffer_cell(), std::vector<std::string>{"a", "b"});
  }));
  EXPECT_EQ(visits, 0);
}

// With one thread the follower visits nothing and says so: its caller does
// the work once mapping ends.
TEST(SettledCells, OneThreadVisitsNothing) {
  const OneThread one;
  Symbols symbols;
  Netlist netlist(symbols);
  int visits = 0;
  SettledCellsThread thread(netlist, [&visits](std::size_t, std::size_t) { ++visits; });
  add_cells(netlist, kCells);
  netlist.settle_all();
  EXPECT_FALSE(thread.finish());
  EXPECT_EQ(visits, 0);
}

// A text of several chunks, each chunk's bytes telling its place.
std::string chunked_text(const TextSink& sink, std::size_t chunks) {
  std::string expected;
  ChunkedText text(sink);
  for (std::size_t c = 0; c < chunks; ++c) {
    const std::string piece(1000, static_cast<char>('a' + c % 26));
    for (std::size_t i = 0; i < ChunkedText::kChunk / piece.size() + 1; ++i) {
      text.advance(ChunkedText::put(text.room(piece.size()), piece));
      expected += piece;
    }
  }
  EXPECT_TRUE(text.finish());
  return expected;
}

// Every chunk arrives once, in order, on a thread of its own, or on the
// calling thread with one thread.
TEST(ChunkedText, ChunksArriveWholeAndInOrder) {
  for (const bool one_thread : {false, true}) {
    SCOPED_TRACE(one_thread ? "one thread" : "two threads");
    const test::ThreadSwitch threads(one_thread ? "1" : nullptr);
    std::string got;
    bool on_caller = true;
    const std::thread::id caller = std::this_thread::get_id();
    const TextSink sink = [&](std::string_view bytes) {
      got += bytes;
      on_caller = on_caller && std::this_thread::get_id() == caller;
      return true;
    };
    const std::string expected = chunked_text(sink, 5);
    EXPECT_TRUE(got == expected);  // not EXPECT_EQ: no diff of megabytes
    EXPECT_EQ(on_caller, one_thread);
  }
}

// After a chunk fails nothing more is handed on, and finish says so.
TEST(ChunkedText, AFailedChunkStopsTheRest) {
  for (const bool one_thread : {false, true}) {
    SCOPED_TRACE(one_thread ? "one thread" : "two threads");
    const test::ThreadSwitch threads(one_thread ? "1" : nullptr);
    std::atomic<int> calls = 0;
    const TextSink sink = [&calls](std::string_view) { return ++calls < 2; };
    ChunkedText text(sink);
    const std::string piece(1000, 'x');
    for (int i = 0; i < 6000; ++i) text.advance(ChunkedText::put(text.room(piece.size()), piece));
    EXPECT_FALSE(text.finish());
    EXPECT_EQ(calls, 2);
  }
}

}  // namespace
}  // namespace syn
