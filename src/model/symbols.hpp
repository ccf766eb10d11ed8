// The symbol table of a run: it owns the bytes of every design name and
// every net name, each once, and gives each a small id. Records, arcs and
// pins hold ids; the text is looked up only to print it or to build a new
// name from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/name_index.hpp"
#include "model/text_blocks.hpp"
#include "util/block_list.hpp"

namespace syn {

using SymbolId = std::uint32_t;
inline constexpr SymbolId kNoSymbol = static_cast<SymbolId>(-1);

// A symbol's text with its id: a net named after a design name is then
// found by the id, without hashing the text again.
struct SymbolText {
  SymbolId id = kNoSymbol;
  std::string_view text;
  operator std::string_view() const { return text; }  // NOLINT: used as text
};

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
  SymbolId intern(std::string_view text) { return intern(text, NameIndex::hash_of(text)); }
  // The same with the text's NameIndex::hash_of worked out before.
  SymbolId intern(std::string_view text, std::uint32_t hash) {
    // Names come back soon after they were seen (a place of two neighbouring
    // transitions, a control net on every cell of a transition): a small
    // table of recent ones, which stays in the cache, answers most of them.
    Recent& recent = recent_[hash % kRecent];
    if (recent.hash == hash && recent.id != kNoSymbol && this->text(recent.id) == text)
      return recent.id;
    const std::size_t found = index_.insert(text, hash, texts_of_.size(), TextOf{this});
    if (found == texts_of_.size()) texts_of_.push_back(texts_.store(text));
    recent = {static_cast<SymbolId>(found), hash};
    return static_cast<SymbolId>(found);
  }
  // Readies the table for interning a text of this hash soon.
  void prefetch(std::uint32_t hash) const { index_.prefetch(hash); }

  // The id of `text` if it was entered, else kNoSymbol.
  SymbolId find(std::string_view text) const {
    const std::size_t found = index_.find(text, TextOf{this});
    return found == NameIndex::npos ? kNoSymbol : static_cast<SymbolId>(found);
  }

  // The text of a symbol. The view stays valid as long as the table.
  std::string_view text(SymbolId id) const { return texts_.view(texts_of_[id]); }

  std::size_t size() const { return texts_of_.size(); }

  // Makes room for about `count` symbols without growing on the way.
  void reserve(std::size_t count) { index_.reserve(count); }

 private:
  TextBlocks texts_;  // every symbol's bytes, in blocks that never move
  // By id. Neither a symbol's place nor its text moves when symbols are
  // added, so the netlist writer may read the names of settled cells on a
  // second thread while mapping goes on.
  BlockList<TextRef> texts_of_;
  NameIndex index_;
  struct Recent {
    SymbolId id = kNoSymbol;
    std::uint32_t hash = 0;
  };
  static constexpr std::size_t kRecent = 4096;
  std::vector<Recent> recent_ = std::vector<Recent>(kRecent);
};

}  // namespace syn
