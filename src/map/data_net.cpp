// The data net pass: completes the data places and their widths, then maps
// each data transition, in list order, by the rule choose_data_rule picks,
// reporting the transitions no rule takes.
#include "map/cells.hpp"
#include "map/data_places.hpp"
#include "map/data_rule.hpp"
#include "map/datapath.hpp"
#include "map/main_mapping.hpp"
#include "map/mux_cells.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {

void refuse(MapContext& ctx, const DataTransition& t, const std::string& why) {
  ctx.diag.problem("data transition " + ctx.name(t.name) + ": " + why + "; nothing mapped");
}

namespace {

std::string joined(const MapContext& ctx, const std::vector<SymbolId>& names) {
  std::string text;
  for (const SymbolId name : names) {
    if (!text.empty()) text += ", ";
    text += ctx.text(name);
  }
  return text;
}

// True when some transition of any of the three nets puts a token into the
// place. The data place record says, from the reader, which other nets share
// the name (the global net and maybe the local one, the local net only, or
// neither), so that the other lists are asked only when they can have it.
bool has_producer(const Design& design, const DataPlace& data) {
  if (!design.producers_of(data).empty()) return true;
  const bool maybe_local = data.net != PlaceNet::data_net;
  const bool maybe_global = maybe_local && data.net != PlaceNet::local_net;
  if (maybe_local) {
    const LocalPlace* local = design.local_places.find(data.name);
    if (local != nullptr && !design.producers_of(*local).empty()) return true;
  }
  if (maybe_global) {
    const GlobalPlace* global = design.global_places.find(data.name);
    if (global != nullptr && !global->producers.empty()) return true;
  }
  return false;
}

// A control input that nothing drives leaves the transition waiting for a
// request that never comes; the cells are still made as the rules say.
void warn_about_undriven_control(MapContext& ctx, const DataTransition& t,
                                 const std::vector<bool>& produced) {
  for (const DataArc& p : ctx.design.inputs_of(t)) {
    if (p.kind != ArcKind::control || produced[p.place]) continue;
    ctx.diag.warning("data transition " + ctx.name(t.name) + ": control input place " +
                     ctx.name(p.name) +
                     " is produced by no transition of any net, so its request never comes");
  }
}

// Names of the transition's control places of the given net, in list order.
std::vector<SymbolId> control_places_of(DataArcs places, PlaceNet net) {
  std::vector<SymbolId> names;
  for (const DataArc& p : places) {
    if (p.kind == ArcKind::control && p.net == net) names.push_back(p.name);
  }
  return names;
}

// Why a transfer finished inside the data net has no mapping: its data chain,
// followed downstream, runs into no operation and no register or output fed
// by several transfers.
const char* why_chain_has_no_end(MapContext& ctx, const DataTransition& t) {
  switch (downstream_end(ctx.design, t, &ctx.traces)) {
    case Downstream::no_input_several_readers:
      return "a transition on the chain has no data input and several readers";
    case Downstream::several_inputs: return "a transition on the chain has several data inputs";
    case Downstream::no_input: return "a transition on the chain has no data input";
    default: return "the chain breaks off or comes back to itself";
  }
}

// Why no rule takes the transition, as the mapping problem says it.
std::string refusal(MapContext& ctx, const DataTransition& t, DataRule rule) {
  switch (rule) {
    case DataRule::refused_chain_without_end:
      return std::string(
                 "transfer finished inside the data net whose data chain reaches no "
                 "operation and no register or output fed by several transfers (") +
             why_chain_has_no_end(ctx, t) + "); nothing mapped";
    case DataRule::refused_not_multiplication:
      return "operation finished inside the data net is not a multiplication; not mapped";
    case DataRule::refused_not_addition:
      return "operation started inside the data net is not an addition started only there; not "
             "mapped";
    case DataRule::refused_not_late_input:
      return "transfer started inside the data net is not marked as a late multiplexer input; not "
             "mapped";
    default:
      // Started inside the data net but finishing into the control nets.
      return "control input place(s) " +
             joined(ctx, control_places_of(ctx.design.inputs_of(t), PlaceNet::data_net)) +
             " of the data net but no control output place of the data net; no mapping takes "
             "such a transition, nothing mapped";
  }
}

void map_transition(MapContext& ctx, const DataTransition& t, const std::vector<bool>& produced) {
  warn_about_undriven_control(ctx, t, produced);
  const DataRule rule = choose_data_rule(ctx, t);
  switch (rule) {
    case DataRule::plain_transfer: map_plain_transfer(ctx, t); break;
    case DataRule::comparison: map_comparison(ctx, t); break;
    case DataRule::multiplication: map_multiplication(ctx, t); break;
    case DataRule::operand_mux: map_operand_mux_input(ctx, t); break;
    case DataRule::register_mux: map_register_mux_input(ctx, t); break;
    case DataRule::addition: map_addition(ctx, t); break;
    case DataRule::late_mux_input: map_late_mux_input(ctx, t); break;
    default:
      ctx.diag.problem("data transition " + ctx.name(t.name) + ": " + refusal(ctx, t, rule));
      break;
  }
}

// Tells the netlist which cells no mapper will touch again: all those before
// the first multiplexer that may still grow.
void settle_finished_cells(MapContext& ctx) {
  MappingState& state = ctx.state;
  while (state.first_growing_mux < state.muxes.size() &&
         !mux_may_grow(state, state.first_growing_mux))
    ++state.first_growing_mux;
  ctx.netlist.settle(state.first_growing_mux < state.muxes.size()
                         ? state.muxes[state.first_growing_mux].cell
                         : ctx.netlist.cells().size());
}

// The declared widths of the data places, by position.
std::vector<int> declared_widths(const Design& design) {
  std::vector<int> widths;
  widths.reserve(design.data_places.items.size());
  for (const DataPlace& place : design.data_places.items) widths.push_back(place.declared_width);
  return widths;
}

}  // namespace

DataNetPrelude prepare_data_net(const Design& design) {
  DataNetPrelude prelude{propagate_widths(design, declared_widths(design)), {}};
  prelude.produced.reserve(design.data_places.items.size());
  for (const DataPlace& place : design.data_places.items)
    prelude.produced.push_back(has_producer(design, place));
  return prelude;
}

void map_data_net(MapContext& ctx, DataNetPrelude prelude) {
  ctx.state.place_widths = std::move(prelude.widths.widths);
  if (!prelude.widths.missing.empty()) {
    ctx.diag.warning("data places without a width: " + joined(ctx, prelude.widths.missing));
  }
  const std::size_t transitions = ctx.design.data_transitions.items.size();
  ctx.state.fed_mux_instance.assign(transitions, 0);
  ctx.state.late_input.assign(transitions, false);
  for (const DataTransition& t : ctx.design.data_transitions.items) {
    ctx.netlist.set_origin(origin_of(SourceNet::data_net, ctx.design.data_transitions.items, t));
    ctx.console << "D";
    map_transition(ctx, t, prelude.produced);
    settle_finished_cells(ctx);
  }
  // Nothing walks the data chains after this pass: give their tables back
  // before the netlist is written.
  ctx.traces = TraceMemo{};
}

}  // namespace syn
