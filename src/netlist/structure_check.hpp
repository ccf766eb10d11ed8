// The structural check of a mapped netlist: signals driven by two or more
// cells, and signals read but driven by no cell that are no input of the
// design. The inputs of the design are the nets the environment drives: the
// reset net, the constant nets, and the nets of every place that no
// transition of any of the three nets produces (input ports, registers that
// are only read, requests from outside).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/design.hpp"
#include "model/symbols.hpp"
#include "netlist/net_use.hpp"
#include "netlist/pin_directions.hpp"
#include "netlist/netlist.hpp"

namespace syn {

// By signal: 1 for an input of the design.
std::vector<std::uint8_t> design_input_signals(const Design& design, const Symbols& symbols,
                                               const Netlist& netlist, const NetUse& use);

struct NetFinding {
  // several_drivers: cells fight over the signal. shared_done: the done bits
  // of a register that the latches of several writers drive; each write's
  // completion reads them all. (The writers' latches on the register's rails
  // are a bus the protocol allows, and no finding.)
  enum class Problem : std::uint8_t { several_drivers, no_driver, shared_done } problem;
  // The signals found: one, or a run of bits of one vector, lowest first,
  // that share the problem and the transitions.
  SignalId signal = 0;
  std::uint32_t count = 1;
  // The transitions whose cells drive the signal (several drivers) or read
  // it (no driver): the global ones, then the local, then the data ones, each
  // in list order and once.
  std::vector<CellOrigin> origins;
};

// The findings, by signal; each signal in at most one.
std::vector<NetFinding> check_structure(const Netlist& netlist, const PinDirections& directions,
                                        const NetUse& use,
                                        const std::vector<std::uint8_t>& design_inputs);

// A global transition set through one of its local input places by a global
// transition that produces none of its global input places: its cell does
// not wait for its predecessors in the global net.
struct TokenFinding {
  std::uint32_t transition = 0;  // in the global transitions' list
  SymbolId local_place = kNoSymbol;
  std::uint32_t setter = 0;        // the producer of the local place
  SymbolId global_place = kNoSymbol;  // a global input place, with its producer
  std::uint32_t predecessor = 0;
};

std::vector<TokenFinding> check_global_predecessors(const Design& design);

// The table files as given, by the net a cell's origin names.
struct TableFiles {
  std::string global_net, local_net, data_net;
  const std::string& of(SourceNet net) const {
    return net == SourceNet::global_net  ? global_net
           : net == SourceNet::local_net ? local_net
                                         : data_net;
  }
};

// "data transition t1 (data.txt:3)".
std::string describe_origin(const Design& design, const Symbols& symbols, const TableFiles& files,
                            CellOrigin origin);

std::string token_finding_text(const TokenFinding& finding, const Design& design,
                               const Symbols& symbols, const TableFiles& files);

// The warning text of a finding, without the "syn-tool: warning: " lead.
std::string finding_text(const NetFinding& finding, const NetUse& use, const Design& design,
                         const Symbols& symbols, const TableFiles& files);

}  // namespace syn
