// The files a run writes once mapping is done: the netlist in the chosen
// format, and on request the Verilog cell declarations, the Graphviz picture
// and the summary on standard error.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "netlist/netlist.hpp"
#include "netlist/write_dot.hpp"

namespace syn {

struct OutputOptions {
  bool verilog = false;             // --format verilog instead of the netlist file
  std::optional<std::string> top;   // --top NAME
  std::optional<std::string> cells; // --cells FILE
  std::optional<std::string> dot;   // --dot FILE
  bool stats = false;               // --stats
};

// Reads the option at argv[i] if it is one of the above ("--top NAME" or
// "--top=NAME"), moving i past its value. Returns false when it is not one
// of them; sets `error` for a usage error.
bool parse_output_option(int argc, char** argv, int& i, OutputOptions& options,
                         std::optional<std::string>& error);

// Writes the requested extra files, then the netlist to `output_file`, then
// the summary. Every file goes through a temporary file renamed into place;
// when anything fails the netlist is not written. Returns 0, or the exit
// status of the failure after printing its message on `err`.
int write_outputs(const OutputOptions& options, const DrawnDesign& design, const Netlist& netlist,
                  const std::string& output_file, std::ostream& err);

}  // namespace syn
