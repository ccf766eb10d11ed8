// Storage for many short texts that are kept until the end of a run: each is
// copied once, after its size, into large blocks that never move. A stored
// text is found by where it lies (a TextRef: eight bytes, half a string
// view, which matters for a million names), and another thread may look up
// the texts it was told about while more are stored.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "util/cache_line.hpp"

namespace syn {

struct TextRef {
  std::uint32_t block = 0;
  std::uint32_t offset = 0;  // of the text's first byte; its size lies in the bytes before
};

class TextBlocks {
 public:
  // The table's entries past the blocks in use are never read, so they are
  // left as the system gives them: untouched pages cost no memory.
  TextBlocks() : blocks_(std::make_unique_for_overwrite<char*[]>(kMaxBlocks)) {}
  TextBlocks(const TextBlocks&) = delete;
  TextBlocks& operator=(const TextBlocks&) = delete;
  TextBlocks(TextBlocks&& other) noexcept
      : blocks_(std::move(other.blocks_)),
        used_(std::exchange(other.used_, 0)),
        end_(std::exchange(other.end_, nullptr)),
        left_(std::exchange(other.left_, 0)) {}
  TextBlocks& operator=(TextBlocks&& other) noexcept {
    std::swap(blocks_, other.blocks_);
    std::swap(used_, other.used_);
    std::swap(end_, other.end_);
    std::swap(left_, other.left_);
    return *this;
  }
  ~TextBlocks() {
    for (std::size_t b = 0; b < used_; ++b) delete[] blocks_[b];
  }

  // Copies `text`; gives where the copy lies.
  TextRef store(std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
      throw std::length_error("name longer than 4 GiB");
    const std::size_t room = kSizeBytes + text.size();
    if (used_ == 0 || left_ < room) new_block(room);
    const auto size = static_cast<std::uint32_t>(text.size());
    std::memcpy(end_, &size, kSizeBytes);
    char* at = end_ + kSizeBytes;
    std::copy(text.begin(), text.end(), at);
    end_ += room;
    left_ -= room;
    return {static_cast<std::uint32_t>(used_ - 1),
            static_cast<std::uint32_t>(at - blocks_[used_ - 1])};
  }

  // The stored text; the view stays valid as long as the storage.
  std::string_view view(TextRef ref) const {
    const char* at = blocks_[ref.block] + ref.offset;
    std::uint32_t size = 0;
    std::memcpy(&size, at - kSizeBytes, kSizeBytes);
    return {at, size};
  }

 private:
  static constexpr std::size_t kSizeBytes = sizeof(std::uint32_t);
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  // Room for a terabyte of names in blocks of a megabyte.
  static constexpr std::size_t kMaxBlocks = std::size_t{1} << 20;

  void new_block(std::size_t room) {
    if (used_ == kMaxBlocks) throw std::length_error("names take more than a terabyte");
    const std::size_t size = std::max(kBlockSize, room);
    blocks_[used_] = new char[size];
    end_ = blocks_[used_];
    left_ = size;
    ++used_;
  }

  // The table, which readers use, lies apart from the end of the storage,
  // which every stored text moves (see BlockList).
  alignas(kCacheLine) std::unique_ptr<char*[]> blocks_;  // the first used_ entries are blocks
  alignas(kCacheLine) std::size_t used_ = 0;
  char* end_ = nullptr;  // where the last block's free room starts
  std::size_t left_ = 0;
};

}  // namespace syn
