// Two jobs that share nothing run at the same time, one on a second thread,
// so that a run uses both cores of a small machine. Where no second thread
// is given (second_thread.hpp) the two run one after the other, `beside`
// first.
#pragma once

#include <exception>
#include <thread>

#include "util/second_thread.hpp"

namespace syn {

// Runs `beside` on a second thread while `here` runs on this one, and
// returns when both are done. An exception of either is thrown here, that
// of `here` first.
template <class Beside, class Here>
void run_beside(const Beside& beside, const Here& here) {
  std::exception_ptr beside_failed;
  const auto guarded = [&beside, &beside_failed] {
    try {
      beside();
    } catch (...) {
      beside_failed = std::current_exception();
    }
  };
  {
    const std::jthread thread = start_second_thread(guarded);
    if (!thread.joinable()) guarded();
    here();  // the thread is joined on the way out, also when this throws
  }
  if (beside_failed) std::rethrow_exception(beside_failed);
}

}  // namespace syn
