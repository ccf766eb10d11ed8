// A count that one thread raises and another waits on, until the first one
// says it is final: how far a list is ready to be read while it grows.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>

namespace syn {

class Watermark {
 public:
  struct Level {
    std::size_t count = 0;
    bool final = false;  // the count will not rise any more
  };

  void raise(std::size_t count) { set({count, false}); }
  void finish(std::size_t count) { set({count, true}); }

  // Waits until the count is above `past` or final, or until `stop` is
  // requested, and gives the level then.
  Level wait_above(std::size_t past, const std::stop_token& stop) const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, stop, [&] { return level_.count > past || level_.final; });
    return level_;
  }

 private:
  void set(Level level) {
    {
      const std::lock_guard lock(mutex_);
      level_ = level;
    }
    changed_.notify_all();
  }

  mutable std::mutex mutex_;
  mutable std::condition_variable_any changed_;
  Level level_;
};

}  // namespace syn
