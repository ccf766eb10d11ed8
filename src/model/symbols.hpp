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

namespace syn {

using SymbolId = std::uint32_t;
inline constexpr SymbolId kNoSymbol = static_cast<SymbolId>(-1);

class Symbols {
  // The texts by position, as the index compares them; defined before its
  // first use so that its return type is known there.
  auto text_of() const {
    return [this](std::size_t i) { return text(static_cast<SymbolId>(i)); };
  }

 public:
  // The id of `text`, entered when new. Ids count up from 0 in order of
  // first appearance.
  SymbolId intern(std::string_view text) {
    const std::size_t found = index_.insert(text, spans_.size(), text_of());
    if (found == spans_.size()) {
      spans_.push_back({chars_.size(), text.size()});
      chars_.append(text);
    }
    return static_cast<SymbolId>(found);
  }

  // The id of `text` if it was entered, else kNoSymbol.
  SymbolId find(std::string_view text) const {
    const std::size_t found = index_.find(text, text_of());
    return found == NameIndex::npos ? kNoSymbol : static_cast<SymbolId>(found);
  }

  // The text of a symbol. The view stays valid until the next `intern`.
  std::string_view text(SymbolId id) const {
    return std::string_view(chars_).substr(spans_[id].start, spans_[id].size);
  }

  std::size_t size() const { return spans_.size(); }

  // Makes room for about `count` symbols of `bytes` bytes in all.
  void reserve(std::size_t count, std::size_t bytes) {
    spans_.reserve(count);
    chars_.reserve(bytes);
    index_.reserve(count);
  }

 private:
  struct Span {
    std::size_t start;
    std::size_t size;
  };
  std::string chars_;        // every symbol's bytes, one after the other
  std::vector<Span> spans_;  // by id
  NameIndex index_;
};

}  // namespace syn
