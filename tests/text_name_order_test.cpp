// The byte-wise order of the readers' sorted lists and of the Verilog
// module's declarations. The
// sort works eight bytes at a time, so what can break is a name that ends
// inside those eight bytes or runs on past them, and bytes that are zero
// or above 127.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/name_order.hpp"

namespace syn {
namespace {

std::vector<std::string> sorted_texts(const std::vector<std::string>& texts) {
  std::vector<NamedId> names;
  for (std::size_t k = 0; k < texts.size(); ++k)
    names.push_back(named(static_cast<std::uint32_t>(k), texts[k]));
  sort_by_text(names);
  std::vector<std::string> out;
  for (const NamedId& name : names) {
    EXPECT_EQ(name.text, texts[name.id]);  // each name keeps its id
    out.emplace_back(name.text);
  }
  return out;
}

std::vector<std::string> expected_order(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());  // byte-wise: std::string compares as unsigned char
  return texts;
}

TEST(NameOrder, PrefixesComeFirstWithinAndPastEightBytes) {
  const std::vector<std::string> texts = {"bin_10000_bar",
                                          "bin_1000",
                                          "bin_10000",
                                          "bin_1000_bar",
                                          "bin_1",
                                          "bin_10001",
                                          "bin_100000000000000000_x",
                                          "bin_10000000000000000",
                                          "b",
                                          "",
                                          "bin_1000000000000000",
                                          "a_very_long_shared_prefix_2",
                                          "a_very_long_shared_prefix_10",
                                          "a_very_long_shared_prefix_1"};
  EXPECT_EQ(sorted_texts(texts), expected_order(texts));
}

TEST(NameOrder, ZeroAndHighBytesOrderAsBytes) {
  const std::vector<std::string> texts = {
      std::string("ab\0", 3),       "ab",       std::string("ab\0c", 4), "ab\x80", "ab\x7f",
      std::string("abcdefgh\0", 9), "abcdefgh", "abcdefgh\xff",          "\xff"};
  EXPECT_EQ(sorted_texts(texts), expected_order(texts));
}

TEST(NameOrder, ManyNamesSharingLongPrefixes) {
  std::mt19937 random(7);
  const std::string alphabet = std::string("_ab0\xfe", 5) + std::string(1, '\0');
  std::vector<std::string> texts;
  for (int k = 0; k < 5000; ++k) {
    std::string text = k % 2 ? "place_with_a_long_name_" : "";
    const int length = static_cast<int>(random() % 20);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  std::shuffle(texts.begin(), texts.end(), random);
  EXPECT_EQ(sorted_texts(texts), expected_order(texts));
}

}  // namespace
}  // namespace syn
