// The containers under the symbol table and the netlist. Their promises are
// what the second thread relies on while mapping goes on (an element never
// moves once stored) and what keeps the first of two equal names the one
// that counts, however often the index grows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/name_index.hpp"
#include "util/block_list.hpp"

namespace syn {
namespace {

// Names that share long stretches and differ in a few bytes, as a design's do.
std::vector<std::string> names(std::size_t count) {
  std::vector<std::string> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) out.push_back("acc_" + std::to_string(i) + "_bar");
  return out;
}

TEST(NameIndex, FirstPositionOfANameWinsThroughEveryGrowth) {
  const std::vector<std::string> texts = names(50000);
  // Each name's record lies at its position; a repeat gets a new position
  // past all the names, which the index must not take.
  std::vector<std::string> records = texts;
  const auto name_of = [&records](std::size_t i) { return std::string_view(records[i]); };
  NameIndex index;  // from empty: grows through a dozen sizes
  EXPECT_EQ(index.find("acc_0_bar", name_of), NameIndex::npos);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_EQ(index.insert(texts[i], i, name_of), i);
  }
  for (std::size_t i = 0; i < texts.size(); i += 7) {
    records.push_back(texts[i]);
    EXPECT_EQ(index.insert(texts[i], records.size() - 1, name_of), i);
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(index.find(texts[i], name_of), i);
  EXPECT_EQ(index.find("acc_50000_bar", name_of), NameIndex::npos);
  EXPECT_EQ(index.find("acc_0_ba", name_of), NameIndex::npos);
}

TEST(NameIndex, RenumberedPositionsAreFoundAndReservedRoomKeepsNames) {
  const std::vector<std::string> texts = names(3000);
  NameIndex index;
  index.reserve(10);  // then far past it: the names entered before the growth stay
  const auto by_entry = [&texts](std::size_t i) { return std::string_view(texts[i]); };
  for (std::size_t i = 0; i < texts.size(); ++i) index.insert(texts[i], i, by_entry);
  // The list is put in reverse: the name at position p moves to size - 1 - p.
  std::vector<std::uint32_t> new_position(texts.size());
  for (std::size_t p = 0; p < texts.size(); ++p)
    new_position[p] = static_cast<std::uint32_t>(texts.size() - 1 - p);
  index.renumber(new_position);
  const auto reversed = [&texts](std::size_t i) {
    return std::string_view(texts[texts.size() - 1 - i]);
  };
  for (std::size_t p = 0; p < texts.size(); ++p)
    ASSERT_EQ(index.find(texts[p], reversed), texts.size() - 1 - p);
}

TEST(BlockList, ElementsNeverMoveAndComeBackInOrder) {
  constexpr std::size_t kBlock = BlockList<int>::kBlock;
  BlockList<int> list;
  list.push_back(0);
  const int* first = &list[0];
  for (int i = 1; i < static_cast<int>(kBlock - 1); ++i) list.push_back(i);
  const int* last_of_block = &list.back();
  for (int i = static_cast<int>(kBlock - 1); i < static_cast<int>(2 * kBlock + 5); ++i)
    list.push_back(i);
  // A reader holding an element's address reads it still after blocks were added.
  EXPECT_EQ(&list[0], first);
  EXPECT_EQ(&list[kBlock - 2], last_of_block);
  ASSERT_EQ(list.size(), 2 * kBlock + 5);
  int expected = 0;
  for (const int value : list) ASSERT_EQ(value, expected++);
  EXPECT_EQ(expected, static_cast<int>(2 * kBlock + 5));

  BlockList<int> moved(std::move(list));
  EXPECT_EQ(&moved[0], first);
  EXPECT_EQ(moved[kBlock], static_cast<int>(kBlock));
  EXPECT_TRUE(list.empty());  // NOLINT: a moved-from list holds nothing
}

}  // namespace
}  // namespace syn
