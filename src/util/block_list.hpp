// A list that grows at its end in blocks that never move, with the table of
// blocks made once at its full size. No element ever moves, and growing
// never touches an element or a table entry already in use: another thread
// may read the elements it was told about while this one appends more.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <utility>

#include "util/cache_line.hpp"

namespace syn {

// Blocks of 2^BlockBits elements, room for 2^MaxBits: by default for lists
// indexed by 32-bit ids; a short list takes small blocks, since a block's
// elements are constructed when it is made.
template <class T, std::size_t BlockBits = 16, std::size_t MaxBits = 32>
class BlockList {
 public:
  static constexpr std::size_t kBlockBits = BlockBits;
  static constexpr std::size_t kBlock = std::size_t{1} << kBlockBits;
  static constexpr std::size_t kMaxBlocks = (std::size_t{1} << MaxBits) >> kBlockBits;

  // The table's entries past the blocks in use are never read, so they are
  // left as the system gives them: untouched pages cost no memory.
  BlockList() : blocks_(std::make_unique_for_overwrite<T*[]>(kMaxBlocks)) {}
  BlockList(const BlockList&) = delete;
  BlockList& operator=(const BlockList&) = delete;
  BlockList(BlockList&& other) noexcept
      : blocks_(std::move(other.blocks_)), size_(std::exchange(other.size_, 0)) {}
  BlockList& operator=(BlockList&& other) noexcept {
    std::swap(blocks_, other.blocks_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~BlockList() {
    if (blocks_ == nullptr) return;
    for (std::size_t b = 0; b * kBlock < size_; ++b) delete[] blocks_[b];
  }

  void push_back(const T& value) {
    if (size_ % kBlock == 0) {
      if (size_ / kBlock >= kMaxBlocks) throw std::length_error("list longer than its room");
      blocks_[size_ >> kBlockBits] = new T[kBlock];
    }
    (*this)[size_] = value;
    ++size_;
  }

  T& operator[](std::size_t i) { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }
  const T& operator[](std::size_t i) const { return blocks_[i >> kBlockBits][i & (kBlock - 1)]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;

    const_iterator() = default;
    const_iterator(const BlockList* list, std::size_t i) : list_(list), i_(i) {}
    reference operator*() const { return (*list_)[i_]; }
    pointer operator->() const { return &(*list_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++i_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return i_ == other.i_; }

   private:
    const BlockList* list_ = nullptr;
    std::size_t i_ = 0;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  // The table and the size lie in cache lines of their own: a thread that
  // reads the list while another appends reads a line that appending does
  // not write.
  alignas(kCacheLine) std::unique_ptr<T*[]> blocks_;  // the first ceil(size_ / kBlock) are blocks
  alignas(kCacheLine) std::size_t size_ = 0;
};

}  // namespace syn
