// The one place where a run starts a second thread. Every piece of work
// that may run beside another (reading, writing or tallying while mapping,
// handing chunks of text to a file) asks here, and runs on the calling
// thread instead when no thread is given: when SYN_TOOL_THREADS=1 is set in
// the environment, or when none can be started (a process limit). Both ways
// give the same bytes; the switch makes the one-thread way easy to test and
// to compare.
#pragma once

#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace syn {

// False when SYN_TOOL_THREADS=1 asks for one thread. Read at every start,
// so that a test may change it between runs.
inline bool second_thread_allowed() {
  const char* threads = std::getenv("SYN_TOOL_THREADS");
  return threads == nullptr || std::strcmp(threads, "1") != 0;
}

// Starts `job` on a second thread; a thread that is not joinable when none
// is allowed or none could be started, and the caller then does the work.
template <class Job>
std::jthread start_second_thread(Job&& job) {
  if (!second_thread_allowed()) return {};
  try {
    return std::jthread(std::forward<Job>(job));
  } catch (const std::system_error&) {
    return {};
  }
}

}  // namespace syn
