#include "map/cells.hpp"
#include "map/data_places.hpp"
#include "map/datapath.hpp"
#include "map/main_mapping.hpp"
#include "map/names.hpp"
#include "map/place_records.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

const DN_place_node* first_of_kind(const std::vector<DN_place_node>& places, const char* kind) {
  for (const DN_place_node& p : places) {
    if (p.type_c_d == kind) return &p;
  }
  return nullptr;
}

// The control input places from the control nets, in list order.
std::vector<std::string> control_inputs(const DNT_node& t) {
  std::vector<std::string> names;
  for (const DN_place_node& p : t.in_link) {
    if (static_cast<int>(names.size()) >= t.control_num_in) break;
    if (p.type_c_d == "c") names.push_back(p.name);
  }
  return names;
}

void refuse(MapContext& ctx, const DNT_node& t, const std::string& why) {
  ctx.diag.problem("data transition " + t.name + ": " + why + "; nothing mapped");
}

// What a plain transfer lacks, or nothing.
const char* transfer_lacks(const DNT_node& t) {
  if (first_of_kind(t.in_link, "d") == nullptr) return "a data input place";
  if (first_of_kind(t.out_link, "d") == nullptr) return "a data output place";
  if (t.control_num_in < 1) return "a control input place";
  if (first_of_kind(t.out_link, "c") == nullptr) return "a control output place";
  return nullptr;
}

// Width of a transfer: the larger of its input's and output's, else the
// width left behind by the last mapping.
int transfer_width(const MapContext& ctx, const DNP_node& x, const DNP_node& y) {
  const int width = get_bigger(x.data_size, y.data_size);
  return width != 0 ? width : ctx.data_size;
}

// One latch per bit from the input place to the output place, most
// significant bit first, and the cell that reports all bits done.
void map_plain_transfer(MapContext& ctx, DNT_node& t) {
  if (const char* lacks = transfer_lacks(t)) {
    refuse(ctx, t, std::string("a transfer needs ") + lacks + " and has none");
    return;
  }
  const DN_place_node& x_place = *first_of_kind(t.in_link, "d");
  const DN_place_node& y_place = *first_of_kind(t.out_link, "d");
  const std::string& x = x_place.name;
  const std::string& y = y_place.name;
  const DNP_node& x_record = *record_of(ctx.design, x_place);
  const int width = transfer_width(ctx, x_record, *record_of(ctx.design, y_place));
  if (width < 1) {
    refuse(ctx, t, "no width known for its data places");
    return;
  }
  const std::string control = emit_join(ctx, control_inputs(t), "_");
  ctx.data_size = width;

  if (x_record.type_term == "C") constant_part(ctx, x_record, width);
  for (int k = width - 1; k >= 0; --k) {
    add_cell(ctx.netlist, "dlatch", bit(x, k), bit_bar(x, k), control, "Reset_signal",
             bit(y, k), bit_bar(y, k), bit_done(y, k));
  }
  const DN_place_node& done_place = *first_of_kind(t.out_link, "c");
  add_cell(ctx.netlist, "done_" + i_to_string(width), done_bus(y, width),
           data_control_net(ctx.design, t.name, done_place));
}

void map_comparison(MapContext& ctx, DNT_node& t) {
  if (t.control_num_in < 1) {
    refuse(ctx, t, "a comparison needs a control input place and has none");
    return;
  }
  if (auto refusal = comparator_refusal(ctx, t)) {
    refuse(ctx, t, *refusal);
    return;
  }
  const std::string request = emit_join(ctx, control_inputs(t), "_");
  function_part_1(ctx, t, request);
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// True when some transition of any of the three nets puts a token into the
// place. The data place record says, since set-up, which other nets share
// the name ("GNP": the global net and maybe the local one, "LNP": the local
// net only, "DNP": neither), so that the other lists are asked only when
// they can have the place.
bool has_producer(const Design& design, const DN_place_node& place) {
  const DNP_node* data = record_of(design, place);
  if (!data->in_link.empty()) return true;
  const std::string& shared = data->from_to_inter;
  const bool maybe_local = shared != "DNP";
  const bool maybe_global = maybe_local && shared != "LNP";
  if (maybe_local) {
    const LNP_node* local = design.LNP.find(place.name);
    if (local != nullptr && !local->in_link.empty()) return true;
  }
  if (maybe_global) {
    const GNP_node* global = design.GNP.find(place.name);
    if (global != nullptr && !global->in_link.empty()) return true;
  }
  return false;
}

// A control input that nothing drives leaves the transition waiting for a
// request that never comes; the cells are still made as the rules say.
void warn_about_undriven_control(MapContext& ctx, const DNT_node& t) {
  for (const DN_place_node& p : t.in_link) {
    if (p.type_c_d != "c" || has_producer(ctx.design, p)) continue;
    ctx.diag.warning("data transition " + t.name + ": control input place " + p.name +
                     " is produced by no transition of any net, so its request never comes");
  }
}

// Names of the transition's control places of the given net, in list order.
std::vector<std::string> control_places_of(const std::vector<DN_place_node>& places,
                                           const char* net) {
  std::vector<std::string> names;
  for (const DN_place_node& p : places) {
    if (p.type_c_d == "c" && p.from_to_inter == net) names.push_back(p.name);
  }
  return names;
}

// A transfer finished inside the data net is mapped by what its data chain,
// followed downstream, runs into: an operation or a register or output fed
// by several transfers. Why the chain gives no such end, or null.
const char* why_dispatch_leaves_unmapped(MapContext& ctx, const DNT_node& t) {
  if (t.func_part == 1) return nullptr;
  // The run's shared answers: a fresh walk would set up a table the size of
  // the whole data net for every such transition.
  switch (downstream_end(ctx.design, t, &ctx.traces)) {
    case Downstream::operation:
    case Downstream::register_or_output: return nullptr;
    case Downstream::no_input_several_readers:
      return "a transition on the chain has no data input and several readers";
    case Downstream::several_inputs: return "a transition on the chain has several data inputs";
    case Downstream::no_input: return "a transition on the chain has no data input";
    case Downstream::broken: break;
  }
  return "the chain breaks off or comes back to itself";
}

// Hands a transition finished inside the data net to its mapping, and
// reports it when the mapping leaves no trace because its chain has no end
// to map towards.
void map_finished_inside(MapContext& ctx, DNT_node& t) {
  const std::size_t cells = ctx.netlist.comps().size();
  const std::size_t reported = ctx.diag.all().size();
  function_part_2(ctx, t);
  // Asked only when nothing happened.
  if (cells != ctx.netlist.comps().size() || reported != ctx.diag.all().size()) return;
  if (const char* why = why_dispatch_leaves_unmapped(ctx, t)) {
    ctx.diag.problem("data transition " + t.name +
                     ": transfer finished inside the data net whose data chain reaches no "
                     "operation and no register or output fed by several transfers (" +
                     why + "); nothing mapped");
  }
}

// Started inside the data net but finishing into the control nets: no
// mapping makes cells for that shape, so the netlist lacks them.
void report_started_inside(MapContext& ctx, const DNT_node& t) {
  ctx.diag.problem("data transition " + t.name + ": control input place(s) " +
                   joined(control_places_of(t.in_link, "DNP")) +
                   " of the data net but no control output place of the data net; no "
                   "mapping takes such a transition, nothing mapped");
}

void map_transition(MapContext& ctx, DNT_node& t) {
  warn_about_undriven_control(ctx, t);
  if (t.control_in_DNP == 0 && t.control_out_DNP == 0) {
    if (t.func_part == 1)
      map_comparison(ctx, t);
    else
      map_plain_transfer(ctx, t);
  } else if (t.control_in_DNP == 0) {
    map_finished_inside(ctx, t);
  } else if (t.control_out_DNP != 0) {
    function_part_4(ctx, t);
  } else {
    report_started_inside(ctx, t);
  }
}

// Completes the data places and gives them widths; returns the data places
// still without a width. The positions of the places end with this step.
std::vector<std::string> prepare_places(Design& design) {
  const TransitionPlaces places = complete_data_places(design);
  return propagate_widths(design, places);
}

}  // namespace

void map_data_net(MapContext& ctx) {
  const std::vector<std::string> without_width = prepare_places(ctx.design);
  if (!without_width.empty()) {
    ctx.diag.warning("data places without a width: " + joined(without_width));
  }
  for (DNT_node& t : ctx.design.DNT.items) {
    ctx.console << "D";
    map_transition(ctx, t);
  }
  // Nothing walks the data chains after this pass: give their tables back
  // before the netlist is written.
  ctx.traces = TraceMemo{};
}

}  // namespace syn
