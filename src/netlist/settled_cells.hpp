// Work on a netlist's cells done on a second thread as they settle
// (Netlist::settle), while mapping goes on: formatting the netlist file, or
// the tally of the cells for the Verilog module.
#pragma once

#include <cstddef>
#include <exception>
#include <stop_token>
#include <thread>

#include "netlist/netlist.hpp"
#include "util/second_thread.hpp"

namespace syn {

class SettledCellsThread {
 public:
  // Calls `visit(begin, end)` on a second thread for the cells [begin, end)
  // of each step in which cells settle, the steps in order, until every cell
  // has settled. Where no second thread is given, nothing is called (see
  // finish).
  // Dropped before then, the thread stops.
  template <class Visit>
  SettledCellsThread(const Netlist& netlist, Visit visit) {
    // Without a second thread the caller visits the cells itself.
    thread_ = start_second_thread(
        [this, &netlist, visit](const std::stop_token& stop) { follow(netlist, visit, stop); });
  }
  SettledCellsThread(const SettledCellsThread&) = delete;
  SettledCellsThread& operator=(const SettledCellsThread&) = delete;

  // Once mapping has settled every cell: waits until all have been visited,
  // and throws what a visit threw. False when there was no thread, and no
  // cell was visited.
  bool finish() {
    if (!thread_.joinable()) return false;
    thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return true;
  }

 private:
  template <class Visit>
  void follow(const Netlist& netlist, const Visit& visit, const std::stop_token& stop) {
    try {
      for (std::size_t done = 0;;) {
        const Watermark::Level settled = netlist.settled_cells().wait_above(done, stop);
        if (stop.stop_requested()) return;
        visit(done, settled.count);
        done = settled.count;
        if (settled.final) return;
      }
    } catch (...) {
      failure_ = std::current_exception();
    }
  }

  std::exception_ptr failure_;  // what a visit threw
  std::jthread thread_;         // last: stopped and joined first
};

}  // namespace syn
