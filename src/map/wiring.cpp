#include "map/cells.hpp"
#include "map/datapath.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

// Binary digit of bit b of a constant; a value wider than its place keeps
// only its low bits, and bits above the int's own are its sign.
int constant_digit(int value, int b) {
  if (b >= 32) return value < 0 ? 1 : 0;
  return static_cast<int>((static_cast<unsigned>(value) >> b) & 1u);
}

struct RailSources {
  FixedName true_rail;
  FixedName complement_rail;
};

// The constant nets that drive the two rails of a digit. The comparator's
// drivers and the other builders spell the one digit's nets differently.
RailSources rail_sources(int digit, ConstantNets spelling) {
  if (digit == 0) return {kAsyncValue0, kAsyncValue1};
  if (spelling == ConstantNets::comparator) return {kAsyncValue1, kAsyncValue0};
  return {kAsyncLowerValue1, kAsyncLowerValue0};
}

}  // namespace

void emit_constant_drivers(MapContext& ctx, const SymbolText& place, int value, int width,
                           ConstantNets spelling) {
  for (int b = width - 1; b >= 0; --b) {
    const RailSources from = rail_sources(constant_digit(value, b), spelling);
    add_cell(ctx.netlist, buffer_cell(), from.true_rail, bit(place, b));
    add_cell(ctx.netlist, buffer_cell(), from.complement_rail, bit_bar(place, b));
  }
}

void constant_part(MapContext& ctx, const DataPlace& place, int width) {
  emit_constant_drivers(ctx, ctx.text(place.name), place.initial_value, width,
                        ConstantNets::datapath);
}

std::pair<BusNet, BusNet> emit_comparator_constant(MapContext& ctx,
                                                             const SymbolText& place, int width,
                                                             int value) {
  emit_constant_drivers(ctx, place, value, width, ConstantNets::comparator);
  return {bus(place, width), bus_bar(place, width)};
}

NetName emit_join(MapContext& ctx, const std::vector<NetName>& inputs,
                  const std::string& separator) {
  if (inputs.empty()) return {};
  if (inputs.size() == 1) return inputs.front();
  std::string joined(inputs.front().text());
  for (std::size_t i = 1; i < inputs.size(); ++i) {
    joined += separator;
    joined += inputs[i].text();
  }
  std::vector<NetName> nets{joined};
  nets.insert(nets.end(), inputs.begin(), inputs.end());
  ctx.netlist.add(join_cell(static_cast<int>(inputs.size())), nets);
  return joined;
}

std::vector<NetName> control_inputs(const MapContext& ctx, const DataTransition& t) {
  std::vector<NetName> names;
  for (const DataArc& p : ctx.design.inputs_of(t)) {
    if (static_cast<int>(names.size()) >= t.control_net_inputs) break;
    if (p.kind == ArcKind::control) names.emplace_back(ctx.text(p.name));
  }
  return names;
}

std::optional<NetName> control_part(MapContext& ctx, const DataTransition& t) {
  const std::vector<NetName> inputs = control_inputs(ctx, t);
  if (inputs.empty()) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no control input place from the control nets to start it");
    return std::nullopt;
  }
  return emit_join(ctx, inputs, "_");
}

}  // namespace syn
