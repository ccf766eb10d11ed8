// A comparison started and finished by the control nets: a comparator cell
// "comp_" + W on the two operands (constants get their drivers), and an OR2
// or buff gate for each output place, chosen by the place's relation.
#include <array>

#include "map/cells.hpp"
#include "map/data_places.hpp"
#include "map/datapath.hpp"
#include "map/names.hpp"
#include "text/fields.hpp"

namespace syn {
namespace {

bool is_comparator(const MapContext& ctx, const DataTransition& t) {
  return contains(ctx.text(t.name), "cmp");
}

std::vector<const DataArc*> data_inputs(const Design& design, const DataTransition& t) {
  std::vector<const DataArc*> inputs;
  for (const DataArc& p : design.inputs_of(t)) {
    if (p.kind == ArcKind::data) inputs.push_back(&p);
  }
  return inputs;
}

void report_missing_cell(MapContext& ctx, const DataTransition& t) {
  ctx.console << "The advanced-quorvel tool has not been fully developed\n"
              << "This bug is caused by adding other kinds of components\n"
              << "that the supplied library does not have.\n"
              << "Please report it to the authors. Thanks\n";
  ctx.diag.problem("data transition " + ctx.name(t.name) +
                   ": a comparison whose name does not contain \"cmp\" has no library cell;"
                   " nothing mapped");
}

// The comparator's three outputs and the gates that drive output places.
struct Outputs {
  std::string great, equal, less;
};

void buff(MapContext& ctx, const std::string& from, const NetName& to) {
  add_cell(ctx.netlist, buffer_cell(), from, to);
}
void or2(MapContext& ctx, const std::string& a, const std::string& b, const NetName& to) {
  add_cell(ctx.netlist, or_cell(), a, b, to);
}

NetName place_net(const MapContext& ctx, const DataTransition& t, const DataArc& p) {
  return data_control_net(ctx.design, ctx.symbols, t.name, p);
}

// Gate for one output place of a two-way branch with two relations; false
// for a relation that names no gate.
bool drive_by_relation(MapContext& ctx, const Outputs& out, Relation relation, const NetName& net) {
  struct Gate {
    Relation relation;
    const std::string Outputs::*first;
    const std::string Outputs::*second;  // null for a "buff"
  };
  static const Gate gates[] = {
      {Relation::greater_or_equal, &Outputs::great, &Outputs::equal},
      {Relation::less_or_equal, &Outputs::less, &Outputs::equal},
      {Relation::not_equal, &Outputs::great, &Outputs::less},
      {Relation::greater, &Outputs::great, nullptr},
      {Relation::less, &Outputs::less, nullptr},
      {Relation::equal, &Outputs::equal, nullptr},
  };
  for (const Gate& g : gates) {
    if (relation != g.relation) continue;
    if (g.second != nullptr) {
      or2(ctx, out.*g.first, out.*g.second, net);
    } else {
      buff(ctx, out.*g.first, net);
    }
    return true;
  }
  return false;
}

// The output places that carry a relation, in list order, and the first one
// that carries none.
struct Branches {
  std::vector<const DataArc*> with_relation;
  const DataArc* without = nullptr;
};

Branches branches(const Design& design, const DataTransition& t) {
  Branches b;
  for (const DataArc& p : design.outputs_of(t)) {
    if (p.relation != Relation::none) {
      b.with_relation.push_back(&p);
    } else if (b.without == nullptr) {
      b.without = &p;
    }
  }
  return b;
}

void two_way_branch(MapContext& ctx, const DataTransition& t, const Outputs& out) {
  const auto [with_relation, without] = branches(ctx.design, t);
  if (with_relation.empty()) {
    ctx.console << "Datapath net format is not correct\n";
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": no output place of the two-way branch carries a relation;"
                     " the outputs are left undriven");
    return;
  }
  if (with_relation.size() == 1) {
    const DataArc& p = *with_relation.front();
    const bool supported =
        p.relation == Relation::greater_or_equal || p.relation == Relation::less_or_equal;
    if (!supported || without == nullptr) {
      ctx.diag.problem("data transition " + ctx.name(t.name) +
                       ": a two-way branch with the single relation \"" +
                       ctx.name(p.relation_word) + "\" on place " + ctx.name(p.name) +
                       " is not supported (only \">=\" and \"<=\"); the outputs are left undriven");
      return;
    }
    // The place without a relation takes the complement of p's condition.
    if (p.relation == Relation::greater_or_equal) {
      or2(ctx, out.great, out.equal, place_net(ctx, t, p));
      buff(ctx, out.less, place_net(ctx, t, *without));
    } else {
      or2(ctx, out.less, out.equal, place_net(ctx, t, p));
      buff(ctx, out.great, place_net(ctx, t, *without));
    }
    return;
  }
  for (const DataArc* p : with_relation) {
    if (!drive_by_relation(ctx, out, p->relation, place_net(ctx, t, *p))) {
      ctx.diag.problem("data transition " + ctx.name(t.name) + ": the relation \"" +
                       ctx.name(p->relation_word) + "\" on place " + ctx.name(p->name) +
                       " names no comparator output; it is left undriven");
    }
  }
}

// Weight of a three-way relation: ">" 4, "=" 2, "<" 1, anything else 0.
int weight(Relation relation) {
  if (relation == Relation::greater) return 4;
  if (relation == Relation::equal) return 2;
  if (relation == Relation::less) return 1;
  return 0;
}

const std::string& output_of_weight(const Outputs& out, int w) {
  return w == 4 ? out.great : w == 2 ? out.equal : out.less;
}

void three_way_branch(MapContext& ctx, const DataTransition& t, const Outputs& out) {
  const auto [with_relation, without] = branches(ctx.design, t);
  // Two different ones of ">", "=", "<" leave exactly one output for the
  // place without a relation: the one whose weight is 7 less their sum.
  bool valid = with_relation.size() == 2 && without != nullptr;
  int sum = 0;
  if (valid) {
    const int a = weight(with_relation[0]->relation);
    const int b = weight(with_relation[1]->relation);
    valid = a != 0 && b != 0 && a != b;
    sum = a + b;
  }
  if (!valid) {
    ctx.diag.problem("data transition " + ctx.name(t.name) +
                     ": a three-way branch needs two different relations of \">\", \"=\" and \"<\""
                     " and one output place without a relation; the outputs are left undriven");
    return;
  }
  for (const DataArc* p : with_relation) {
    buff(ctx, output_of_weight(out, weight(p->relation)), place_net(ctx, t, *p));
  }
  buff(ctx, output_of_weight(out, 7 - sum), place_net(ctx, t, *without));
}

// Why a comparison transition cannot be mapped (too few or too many data
// inputs, no width), or nothing when it can. A transition whose name does
// not mark it as a comparator is not judged here.
std::optional<std::string> comparator_refusal(const MapContext& ctx, const DataTransition& t) {
  if (!is_comparator(ctx, t)) return std::nullopt;
  const std::vector<const DataArc*> inputs = data_inputs(ctx.design, t);
  if (inputs.size() != 2) {
    return "a comparison needs two data input places, it has " +
           decimal(static_cast<long long>(inputs.size()));
  }
  if (inputs[0]->order + inputs[1]->order != 3 || inputs[0]->order == inputs[1]->order) {
    return "the data inputs of a comparison must be operands 1 and 2";
  }
  if (own_width(ctx, t) < 1) return "no width known for the operands of the comparison";
  return std::nullopt;
}

void emit_comparator(MapContext& ctx, const DataTransition& t, const NetName& request) {
  if (!is_comparator(ctx, t)) {
    report_missing_cell(ctx, t);
    return;
  }
  if (auto refusal = comparator_refusal(ctx, t)) {
    ctx.diag.problem("data transition " + ctx.name(t.name) + ": " + *refusal + "; nothing mapped");
    return;
  }
  const int width = own_width(ctx, t);

  // Pins 1 to 4: operand 1 and operand 2 by their order, constants first
  // getting their drivers.
  std::array<BusNet, 4> operands;
  for (const DataArc* p : data_inputs(ctx.design, t)) {
    const std::size_t slot = p->order == 1 ? 0 : 2;
    if (p->terminal == Terminal::constant) {
      auto rails = emit_comparator_constant(ctx, ctx.text(p->name), width, p->initial_value);
      operands[slot] = rails.first;
      operands[slot + 1] = rails.second;
    } else {
      operands[slot] = bus(ctx.text(p->name), width);
      operands[slot + 1] = bus_bar(ctx.text(p->name), width);
    }
  }
  const std::string name = ctx.name(t.name);
  const Outputs out{name + "_great", name + "_equal", name + "_less"};
  add_cell(ctx.netlist, comparator_cell(width), std::move(operands[0]),
           std::move(operands[1]), std::move(operands[2]), std::move(operands[3]), request,
           out.great, out.equal, out.less);

  if (t.control_net_outputs == 2) {
    two_way_branch(ctx, t, out);
  } else if (t.control_net_outputs == 3) {
    three_way_branch(ctx, t, out);
  } else {
    ctx.diag.warning("data transition " + name + ": a comparison with " +
                     decimal(t.control_net_outputs) +
                     " control output places drives none of them");
  }
  ctx.state.last_width = width;
}

}  // namespace

void map_comparison(MapContext& ctx, const DataTransition& t) {
  if (t.control_net_inputs < 1) {
    refuse(ctx, t, "a comparison needs a control input place and has none");
    return;
  }
  if (auto refusal = comparator_refusal(ctx, t)) {
    refuse(ctx, t, *refusal);
    return;
  }
  const NetName request = emit_join(ctx, control_inputs(ctx, t), "_");
  emit_comparator(ctx, t, request);
}

}  // namespace syn
