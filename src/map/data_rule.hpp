// Which mapping rule a data transition takes. The choice is made once per
// transition, when its turn comes in the data pass: the late multiplexer
// input depends on marks that earlier transitions' mappings leave.
#pragma once

#include "map/context.hpp"

namespace syn {

enum class DataRule {
  plain_transfer,    // started and finished by the control nets, no operation
  comparison,        // an operation started and finished by the control nets
  multiplication,    // an operation finished inside the data net, named "mul..."
  operand_mux,       // a transfer finished inside, whose chain runs into an operation
  register_mux,      // a transfer finished inside, whose chain ends in a register or output
  addition,          // an operation started and finished inside, named "add..."
  late_mux_input,    // a transfer started and finished inside, marked by a mapping before
  // The refusals: no rule takes the transition, and it gets no cells.
  refused_chain_without_end,       // finished inside, its chain reaches no end to map towards
  refused_not_multiplication,      // an operation finished inside, not named "mul..."
  refused_not_addition,            // started inside, not an addition started only there
  refused_not_late_input,          // a transfer started inside, not marked as a late input
  refused_started_inside,          // started inside, finished into the control nets
};

DataRule choose_data_rule(MapContext& ctx, const DataTransition& t);

}  // namespace syn
