// The symbol table of a run: it owns the bytes of every design name and
// every net name, each once, and gives each a small id. Records, arcs and
// pins hold ids; the text is looked up only to print it or to build a new
// name from it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/name_index.hpp"

namespace syn {

using SymbolId = std::uint32_t;
inline constexpr SymbolId kNoSymbol = static_cast<SymbolId>(-1);

class Symbols {
  // The index compares a name with the text of the symbol it holds.
  struct TextOf {
    const Symbols* symbols;
    std::string_view operator()(std::size_t i) const {
      return symbols->text(static_cast<SymbolId>(i));
    }
  };

 public:
  // The id of `text`, entered when new. Ids count up from 0 in order of
  // first appearance.
  SymbolId intern(std::string_view text) {
    const std::size_t found = index_.insert(text, spans_.size(), TextOf{this});
    if (found == spans_.size()) spans_.push_back({store(text), text.size()});
    return static_cast<SymbolId>(found);
  }

  // The id of `text` if it was entered, else kNoSymbol.
  SymbolId find(std::string_view text) const {
    const std::size_t found = index_.find(text, TextOf{this});
    return found == NameIndex::npos ? kNoSymbol : static_cast<SymbolId>(found);
  }

  // The text of a symbol. The view stays valid as long as the table.
  std::string_view text(SymbolId id) const { return {spans_[id].start, spans_[id].size}; }

  std::size_t size() const { return spans_.size(); }

  // Makes room for about `count` symbols without growing on the way.
  void reserve(std::size_t count) {
    spans_.reserve(count);
    index_.reserve(count);
  }

 private:
  // Copies `text` to the end of the last block, or to a new one when it does
  // not fit; blocks never move, so the views handed out stay valid while
  // mapping interns new net names.
  const char* store(std::string_view text) {
    if (blocks_.empty() || block_left_ < text.size()) {
      const std::size_t size = std::max(kBlockSize, text.size());
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
      block_left_ = size;
      block_end_ = blocks_.back().get();
    }
    char* at = block_end_;
    std::copy(text.begin(), text.end(), at);
    block_end_ += text.size();
    block_left_ -= text.size();
    return at;
  }

  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  struct Span {
    const char* start;
    std::size_t size;
  };
  std::vector<std::unique_ptr<char[]>> blocks_;  // every symbol's bytes
  char* block_end_ = nullptr;                    // where the last block's free room starts
  std::size_t block_left_ = 0;
  std::vector<Span> spans_;  // by id
  NameIndex index_;
};

}  // namespace syn
