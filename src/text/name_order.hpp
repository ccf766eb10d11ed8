// Names with their ids in ascending byte-wise order, the order of the
// readers' sorted lists and of the Verilog module's declarations: the order
// of the texts, whatever bytes they hold.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace syn {

// A name with its id, and its first eight bytes as a number that orders as
// the text does (missing bytes count as zero, so equal numbers still need
// the texts): comparing those first decides most pairs without reading the
// texts.
struct NamedId {
  std::uint64_t lead = 0;
  std::string_view text;
  std::uint32_t id = 0;
};

// The eight bytes of `text` from `from` on, as a number that orders as they
// do; bytes past the end count as zero.
inline std::uint64_t eight_bytes_at(std::string_view text, std::size_t from) {
  std::uint64_t bytes = 0;
  if (from + 8 <= text.size()) {
    // All eight there: read at once, the first byte the highest.
    std::memcpy(&bytes, text.data() + from, 8);
    if constexpr (std::endian::native == std::endian::little) bytes = __builtin_bswap64(bytes);
    return bytes;
  }
  for (std::size_t i = from; i < from + 8; ++i)
    bytes = bytes << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
  return bytes;
}

inline NamedId named(std::uint32_t id, std::string_view text) {
  return {eight_bytes_at(text, 0), text, id};
}

inline bool text_before(const NamedId& a, const NamedId& b) {
  return a.lead != b.lead ? a.lead < b.lead : a.text < b.text;
}

inline bool same_text(const NamedId& a, const NamedId& b) {
  return a.lead == b.lead && a.text == b.text;
}

// Sorts the names by text, byte-wise; names of equal text keep no
// particular order.
void sort_by_text(std::vector<NamedId>& names);

}  // namespace syn
