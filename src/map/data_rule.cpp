#include "map/data_rule.hpp"

#include "map/datapath.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// Finished inside the data net: what the data chain, followed downstream,
// runs into decides. The walk shares the run's answers.
DataRule rule_finished_inside(MapContext& ctx, const DataTransition& t) {
  if (t.is_operation) {
    return contains(ctx.text(t.name), "mul") ? DataRule::multiplication
                                              : DataRule::refused_not_multiplication;
  }
  switch (downstream_end(ctx.design, t, &ctx.traces)) {
    case Downstream::operation: return DataRule::operand_mux;
    case Downstream::register_or_output: return DataRule::register_mux;
    default: return DataRule::refused_chain_without_end;
  }
}

// Started and finished inside the data net.
DataRule rule_started_and_finished_inside(const MapContext& ctx, const DataTransition& t) {
  if (t.is_operation) {
    const bool addition = contains(ctx.text(t.name), "add") && t.control_net_inputs == 0;
    return addition ? DataRule::addition : DataRule::refused_not_addition;
  }
  const std::uint32_t i = position_of(ctx, t);
  const bool marked = ctx.state.late_input[i] && ctx.state.fed_mux_instance[i] != 0;
  return marked ? DataRule::late_mux_input : DataRule::refused_not_late_input;
}

}  // namespace

DataRule choose_data_rule(MapContext& ctx, const DataTransition& t) {
  const bool started_inside = t.data_net_control_inputs != 0;
  const bool finished_inside = t.data_net_control_outputs != 0;
  if (!started_inside && !finished_inside) {
    return t.is_operation ? DataRule::comparison : DataRule::plain_transfer;
  }
  if (!started_inside) return rule_finished_inside(ctx, t);
  if (finished_inside) return rule_started_and_finished_inside(ctx, t);
  return DataRule::refused_started_inside;
}

}  // namespace syn
