#include "outputs/netlist_facts.hpp"

#include <array>
#include <string>
#include <utility>

namespace syn {

NetlistFacts::NetlistFacts(const Netlist& of_netlist, const DrawnDesign& of_design)
    : netlist(of_netlist), drawn(of_design), directions(of_netlist), use(of_netlist, directions) {}

NetlistFacts::NetlistFacts(const Netlist& of_netlist, const DrawnDesign& of_design,
                           PinDirections of_directions, std::vector<NetUse::Counts> pins_by_net)
    : netlist(of_netlist),
      drawn(of_design),
      directions(std::move(of_directions)),
      use(of_netlist, std::move(pins_by_net)) {}

std::vector<std::uint8_t> NetlistFacts::design_inputs() const {
  return design_input_signals(drawn.design, drawn.symbols, netlist, use);
}

namespace {

template <class Transitions>
ModuleFacts::TableLines sources_of(const Transitions& transitions, const std::string& file) {
  ModuleFacts::TableLines sources{file, {}};
  sources.lines.reserve(transitions.size());
  for (const auto& t : transitions) sources.lines.push_back(t.line);
  return sources;
}

std::size_t net_slot(SourceNet net) { return static_cast<std::size_t>(net); }

}  // namespace

ModuleFacts module_facts(const NetlistFacts& facts, const Design& design, const TableFiles& files) {
  ModuleFacts module{&facts.directions, &facts.use, facts.design_inputs(), {}};
  module.sources[net_slot(SourceNet::global_net)] =
      sources_of(design.global_transitions.items, files.global_net);
  module.sources[net_slot(SourceNet::local_net)] =
      sources_of(design.local_transitions.items, files.local_net);
  module.sources[net_slot(SourceNet::data_net)] =
      sources_of(design.data_transitions.items, files.data_net);
  return module;
}

std::size_t report_structure(const Netlist& netlist, const DrawnDesign& drawn,
                             const TableFiles& files, std::ostream& err) {
  const NetlistFacts facts(netlist, drawn);
  const std::vector<NetFinding> findings =
      check_structure(netlist, facts.directions, facts.use, facts.design_inputs());
  for (const NetFinding& finding : findings) {
    err << "syn-tool: warning: "
        << finding_text(finding, facts.use, drawn.design, drawn.symbols, files) << '\n';
  }
  const std::vector<TokenFinding> tokens = check_global_predecessors(drawn.design);
  for (const TokenFinding& finding : tokens)
    err << "syn-tool: warning: " << token_finding_text(finding, drawn.design, drawn.symbols, files)
        << '\n';
  err.flush();
  return findings.size() + tokens.size();
}

void write_cells_by_transition(const Netlist& netlist, const DrawnDesign& drawn,
                               const TableFiles& files, std::ostream& out) {
  const Design& design = drawn.design;
  std::array<std::vector<std::size_t>, 4> count;
  count[net_slot(SourceNet::global_net)].resize(design.global_transitions.items.size());
  count[net_slot(SourceNet::local_net)].resize(design.local_transitions.items.size());
  count[net_slot(SourceNet::data_net)].resize(design.data_transitions.items.size());
  std::vector<CellOrigin> order;  // each transition once, by its first cell
  for (const Cell& cell : netlist.cells()) {
    auto& counts = count[net_slot(cell.origin.net)];
    if (cell.origin.index >= counts.size()) continue;
    if (counts[cell.origin.index]++ == 0) order.push_back(cell.origin);
  }
  out << "cells per transition:\n";
  for (const CellOrigin origin : order) {
    const std::size_t n = count[net_slot(origin.net)][origin.index];
    out << "  " << describe_origin(design, drawn.symbols, files, origin) << ": " << n
        << (n == 1 ? " cell\n" : " cells\n");
  }
}

}  // namespace syn
