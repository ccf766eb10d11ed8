// Output text built in one buffer and handed on in chunks of about 4 MiB:
// few, large writes cost far less than one stream insertion per field.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

namespace syn {

// Takes each chunk of text; false when it could not be written.
using TextSink = std::function<bool(std::string_view)>;

class ChunkedText {
 public:
  static constexpr std::size_t kChunk = 1 << 22;
  static constexpr std::size_t kMaxDigits = 11;  // an int in decimal, with its sign

  explicit ChunkedText(const TextSink& sink) : sink_(sink) {}

  // Room for `size` more bytes, left uninitialised; the caller fills some of
  // it and passes the end of what it wrote to `advance`.
  char* room(std::size_t size) {
    if (used_ + size > capacity_) {
      deliver();
      if (size > capacity_) {
        capacity_ = std::max(kChunk, size);
        bytes_ = std::make_unique_for_overwrite<char[]>(capacity_);
      }
    }
    return bytes_.get() + used_;
  }
  void advance(const char* end) { used_ = static_cast<std::size_t>(end - bytes_.get()); }

  // Hands on what is left; false when any chunk could not be written.
  bool finish() {
    deliver();
    return ok_;
  }
  bool ok() const { return ok_; }

  static char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
  }
  static char* put_number(char* at, long number) {
    return std::to_chars(at, at + kMaxDigits, number).ptr;
  }

 private:
  void deliver() {
    if (used_ > 0 && ok_) ok_ = sink_(std::string_view(bytes_.get(), used_));
    used_ = 0;
  }

  const TextSink& sink_;
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  bool ok_ = true;
};

}  // namespace syn
