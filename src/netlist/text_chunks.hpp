// Output text built in a buffer and handed on in chunks of about 1 MiB:
// few, large writes cost far less than one stream insertion per field. A
// text of more than one chunk is handed on by a second thread, one for the
// whole text, so that the writing of one chunk (the kernel's copy of its
// bytes is a good part of a run) overlaps the formatting of the next.
#pragma once

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "util/second_thread.hpp"

namespace syn {

// Takes each chunk of text; false when it could not be written.
using TextSink = std::function<bool(std::string_view)>;

class ChunkedText {
 public:
  static constexpr std::size_t kChunk = 1 << 20;
  static constexpr std::size_t kMaxDigits = 11;  // an int in decimal, with its sign

  explicit ChunkedText(const TextSink& sink) : sink_(sink) {}
  ChunkedText(const ChunkedText&) = delete;
  ChunkedText& operator=(const ChunkedText&) = delete;
  ~ChunkedText() { wait_for_delivery(); }

  // Room for `size` more bytes, left uninitialised; the caller fills some of
  // it and passes the end of what it wrote to `advance`.
  char* room(std::size_t size) {
    Buffer& filling = buffers_[filling_];
    if (filling.used + size > filling.capacity) {
      deliver();
      Buffer& fresh = buffers_[filling_];
      if (size > fresh.capacity) fresh.reserve(std::max(kChunk, size));
    }
    Buffer& buffer = buffers_[filling_];
    return buffer.bytes.get() + buffer.used;
  }
  void advance(const char* end) {
    Buffer& buffer = buffers_[filling_];
    buffer.used = static_cast<std::size_t>(end - buffer.bytes.get());
  }

  // Hands on what is left and waits until all is written; false when any
  // chunk could not be written.
  bool finish() {
    if (!deliverer_.joinable()) {
      // A text of one chunk is handed on here: no thread for a small file.
      Buffer& buffer = buffers_[filling_];
      if (buffer.used > 0 && ok_) ok_ = sink_(std::string_view(buffer.bytes.get(), buffer.used));
      buffer.used = 0;
      return ok_;
    }
    deliver();
    wait_for_delivery();
    return ok();
  }
  bool ok() const { return ok_; }

  // Most texts put are names and words of a few bytes: those are copied
  // with moves of fixed size (two of them may overlap), without a call.
  static char* put(char* at, std::string_view text) {
    const char* from = text.data();
    const std::size_t size = text.size();
    if (size >= 8 && size <= 16) {
      std::memcpy(at, from, 8);
      std::memcpy(at + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
      std::memcpy(at, from, 4);
      std::memcpy(at + size - 4, from + size - 4, 4);
    } else if (size < 4) {
      for (std::size_t i = 0; i < size; ++i) at[i] = from[i];
    } else {
      std::memcpy(at, from, size);
    }
    return at + size;
  }
  static char* put_number(char* at, long number) {
    return std::to_chars(at, at + kMaxDigits, number).ptr;
  }

 private:
  struct Buffer {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity = 0;
    std::size_t used = 0;
    void reserve(std::size_t size) {
      bytes = std::make_unique_for_overwrite<char[]>(size);
      capacity = size;
    }
  };

  // Hands the filled buffer to the delivering thread (started with the
  // first chunk) and goes on filling the other one once its bytes are out.
  void deliver() {
    Buffer& filled = buffers_[filling_];
    if (filled.used == 0) return;
    if (!deliverer_.joinable() && !start_deliverer()) {
      // No second thread given: this one writes.
      if (ok_ && !sink_(std::string_view(filled.bytes.get(), filled.used))) ok_ = false;
      filled.used = 0;
      return;
    }
    wait_for_delivery();
    {
      const std::lock_guard lock(mutex_);
      delivering_ = filling_;
      has_chunk_ = true;
    }
    filling_ = 1 - filling_;
    changed_.notify_all();
  }

  bool start_deliverer() {
    if (no_thread_) return false;
    deliverer_ = start_second_thread([this](std::stop_token stop) { deliver_chunks(stop); });
    no_thread_ = !deliverer_.joinable();
    return !no_thread_;
  }

  void wait_for_delivery() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !has_chunk_; });
  }

  void deliver_chunks(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, stop, [this] { return has_chunk_; });
      if (!has_chunk_) return;  // stopped with nothing left to deliver
      Buffer& buffer = buffers_[delivering_];
      lock.unlock();
      // After a failed delivery nothing more is delivered.
      if (ok_ && !sink_(std::string_view(buffer.bytes.get(), buffer.used))) ok_ = false;
      buffer.used = 0;
      lock.lock();
      has_chunk_ = false;
      changed_.notify_all();
    }
  }

  const TextSink& sink_;
  Buffer buffers_[2];
  int filling_ = 0;     // the buffer being filled
  int delivering_ = 0;  // the buffer being handed on, while has_chunk_
  std::mutex mutex_;
  std::condition_variable_any changed_;
  bool has_chunk_ = false;
  std::atomic<bool> ok_ = true;
  bool no_thread_ = false;  // no second thread was given
  std::jthread deliverer_;  // last: stopped and joined before the rest goes
};

}  // namespace syn
