// The symbol table keeps each name's bytes after its size, in blocks of a
// megabyte; a name longer than a block gets one of its own. Names on either
// side of such a block, an empty name and names that fill a block to its last
// byte must all come back as they went in, and be found again by their text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/symbols.hpp"

namespace syn {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

TEST(Symbols, NamesOfEverySizeComeBackWhole) {
  std::vector<std::string> names = {"a", "", "bb"};
  // Fills the first block up to a few bytes short of its end, so that the
  // next name (size and bytes) does not fit and starts a new block.
  names.push_back(std::string(kBlock - 4 * 4 - 1 - 2 - 64, 'f'));
  names.push_back(std::string(60, 'g'));
  // A block of its own, and a size that needs all four of its bytes.
  names.push_back(std::string((std::size_t{1} << 24) + 5, 'h'));
  names.push_back("after_the_big_one");
  names.push_back(std::string(kBlock - 4, 'i'));  // exactly one block with its size
  names.push_back("last");
  Symbols symbols;
  std::vector<SymbolId> ids;
  for (const std::string& name : names) ids.push_back(symbols.intern(name));
  for (std::size_t k = 0; k < names.size(); ++k) {
    EXPECT_EQ(ids[k], k);
    EXPECT_EQ(symbols.text(ids[k]), names[k]) << "name " << k;
    EXPECT_EQ(symbols.find(names[k]), ids[k]) << "name " << k;
    EXPECT_EQ(symbols.intern(names[k]), ids[k]) << "name " << k;
  }
  EXPECT_EQ(symbols.size(), names.size());
}

TEST(Symbols, MovedTableKeepsItsNames) {
  Symbols symbols;
  const SymbolId id = symbols.intern("x_bar");
  symbols.intern(std::string(2 * kBlock, 'z'));
  Symbols moved(std::move(symbols));
  EXPECT_EQ(moved.text(id), "x_bar");
  EXPECT_EQ(moved.find("x_bar"), id);
}

}  // namespace
}  // namespace syn
