// Text made in numbered blocks by two threads, each formatting every other
// block, and handed on to the sink in block order: while one thread's block
// is written, the other formats its next. A large Verilog module's lines
// are written this way, using both cores of a small machine.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "netlist/text_chunks.hpp"
#include "util/second_thread.hpp"

namespace syn {

class BlockRelay {
 public:
  explicit BlockRelay(const TextSink& sink) : sink_(sink) {}

  // Hands on block `number` once every block before it has been handed on;
  // false when the sink failed, for this block or an earlier one, or the
  // other thread gave up (nothing more is handed on then).
  bool hand_on(std::size_t number, std::string_view text) {
    std::unique_lock lock(mutex_);
    turn_.wait(lock, [&] { return next_ == number || given_up_; });
    if (given_up_) return false;
    if (ok_ && !text.empty()) ok_ = sink_(text);
    ++next_;
    turn_.notify_all();
    return ok_;
  }

  // Called by a thread that stops before its last block (an exception): the
  // other one stops waiting for it.
  void give_up() {
    const std::lock_guard lock(mutex_);
    given_up_ = true;
    ok_ = false;
    turn_.notify_all();
  }

  bool ok() const {
    const std::lock_guard lock(mutex_);
    return ok_;
  }

 private:
  const TextSink& sink_;
  mutable std::mutex mutex_;
  std::condition_variable turn_;
  std::size_t next_ = 0;  // the block whose turn it is
  bool ok_ = true;
  bool given_up_ = false;
};

// A block's text, in a buffer that grows as needed and is reused for the
// thread's next block.
class BlockText {
 public:
  // Room for `size` more bytes, as ChunkedText::room.
  char* room(std::size_t size) {
    if (used_ + size > capacity_) {
      const std::size_t capacity = std::max(2 * capacity_, used_ + size);
      auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
      if (used_ > 0) std::memcpy(bytes.get(), bytes_.get(), used_);
      bytes_ = std::move(bytes);
      capacity_ = capacity;
    }
    return bytes_.get() + used_;
  }
  void advance(const char* end) { used_ = static_cast<std::size_t>(end - bytes_.get()); }
  std::string_view text() const { return {bytes_.get(), used_}; }
  void clear() { used_ = 0; }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};

// Formats items [0, count) in blocks of `per_block`, by `put(text, begin,
// end)` for the items [begin, end) of a block, and hands the blocks on to
// `sink` in order. More than one block is formatted by two threads, every
// other block each, when a second thread is given. False when the sink
// failed.
template <class Put>
bool write_in_blocks(const TextSink& sink, std::size_t count, std::size_t per_block,
                     const Put& put) {
  BlockRelay relay(sink);
  const auto formatter = [&](std::size_t first, std::size_t step) {
    try {
      BlockText text;
      for (std::size_t block = first; block * per_block < count; block += step) {
        const std::size_t begin = block * per_block;
        put(text, begin, std::min(count, begin + per_block));
        if (!relay.hand_on(block, text.text())) return;
        text.clear();
      }
    } catch (...) {
      relay.give_up();
      throw;
    }
  };
  if (count <= per_block) {
    formatter(0, 1);
    return relay.ok();
  }
  std::exception_ptr other_failed;
  {
    const std::jthread other = start_second_thread([&] {
      try {
        formatter(1, 2);
      } catch (...) {
        other_failed = std::current_exception();
      }
    });
    // Without a second thread this one formats every block: the other
    // half's blocks would wait for turns that never come.
    formatter(0, other.joinable() ? 2 : 1);
  }  // the other thread is joined here, also when this one threw
  if (other_failed) std::rethrow_exception(other_failed);
  return relay.ok();
}

}  // namespace syn
