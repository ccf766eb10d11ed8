// What the walks along data chains have learnt, kept for the rest of a
// mapping run. A walk from a transition either answers at one of the
// transitions on its way or goes on from the next one, and the way from a
// transition does not depend on where the walk started; so every transition
// a walk passes has the walk's answer, and a later walk that meets it stops
// there. Without this, walks from every transfer of a long chain would cost
// the square of its length.
//
// The answers stay valid while the data net's lists, kinds and terminal types
// stay as they are, which is the case from the start of the data net's
// mapping on (the mappers change names, marks and instance numbers only).
#pragma once

#include <cstddef>
#include <vector>

#include "model/symbols.hpp"

namespace syn {

// A walk's answer: its outcome (one of the walk's own enum, stored as its
// number) and the name of the record that ends it.
struct TraceAnswer {
  unsigned char how = 0;
  SymbolId end = kNoSymbol;
};

// Answers of one kind of walk, by position in the data transition list.
class TraceTable {
 public:
  enum class State : unsigned char { unknown, on_path, known };

  // Grows to `count` transitions (the list's size) on first use.
  void fit(std::size_t count) {
    if (state_.size() < count) {
      state_.resize(count, State::unknown);
      answer_.resize(count);
    }
  }
  State state(std::size_t t) const { return state_[t]; }
  const TraceAnswer& answer(std::size_t t) const { return answer_[t]; }
  void mark_on_path(std::size_t t) { state_[t] = State::on_path; }
  void set(std::size_t t, const TraceAnswer& answer) {
    state_[t] = State::known;
    answer_[t] = answer;
  }

 private:
  std::vector<State> state_;
  std::vector<TraceAnswer> answer_;
};

struct TraceMemo {
  TraceTable down;  // trace_down
  TraceTable up;    // trace_up
  TraceTable end;   // where chain_ends_at's walk ends
};

}  // namespace syn
