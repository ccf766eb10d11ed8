// The SYN_TOOL_THREADS switch for a test's scope, whatever the environment
// the suite runs in: OneThread sets it to 1, so that every piece of work
// that may go to a second thread runs on the calling one; TwoThreads clears
// it. Changed only while no other thread of the test runs.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace syn::test {

class ThreadSwitch {
 public:
  explicit ThreadSwitch(const char* value) {
    if (const char* was = getenv("SYN_TOOL_THREADS")) was_ = was;
    if (value) setenv("SYN_TOOL_THREADS", value, 1);
    else unsetenv("SYN_TOOL_THREADS");
  }
  ~ThreadSwitch() {
    if (was_) setenv("SYN_TOOL_THREADS", was_->c_str(), 1);
    else unsetenv("SYN_TOOL_THREADS");
  }
  ThreadSwitch(const ThreadSwitch&) = delete;
  ThreadSwitch& operator=(const ThreadSwitch&) = delete;

 private:
  std::optional<std::string> was_;
};

struct OneThread : ThreadSwitch {
  OneThread() : ThreadSwitch("1") {}
};

struct TwoThreads : ThreadSwitch {
  TwoThreads() : ThreadSwitch(nullptr) {}
};

}  // namespace syn::test
