// The span of memory that processors keep coherent as one piece. What one
// thread writes often is kept out of the lines that another thread reads at
// the same time: otherwise each write takes the line from the other core,
// and both wait for it, as if the data were shared.
#pragma once

#include <cstddef>

namespace syn {

inline constexpr std::size_t kCacheLine = 64;

}  // namespace syn
