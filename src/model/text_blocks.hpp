// Storage for many short texts that are kept until the end of a run: each is
// copied once into large blocks that never move, so a view of a stored text
// stays valid as long as the storage does, whatever is stored after it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace syn {

class TextBlocks {
 public:
  // Copies `text` and returns a view of the copy.
  std::string_view store(std::string_view text) {
    char* at = room_for(text.size());
    std::copy(text.begin(), text.end(), at);
    return {at, text.size()};
  }

  // Room for `size` bytes, which the caller fills at once.
  char* room_for(std::size_t size) {
    if (blocks_.empty() || left_ < size) {
      const std::size_t block = std::max(kBlockSize, size);
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(block));
      end_ = blocks_.back().get();
      left_ = block;
    }
    char* at = end_;
    end_ += size;
    left_ -= size;
    return at;
  }

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* end_ = nullptr;  // where the last block's free room starts
  std::size_t left_ = 0;
};

}  // namespace syn
