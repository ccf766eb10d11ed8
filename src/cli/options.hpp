// The command line's options and their help text.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace syn {

struct Options {
  std::vector<std::string> files;
  std::optional<std::string> output;  // -o FILE
  bool help = false;
  bool version = false;
  bool time = false;
  bool quiet = false;                    // no progress texts
  bool strict = false;                   // a warning stops the run like an error
  bool check = false;                    // --check
  bool verilog = false;                  // --format verilog instead of the netlist file
  std::optional<std::string> top;        // --top NAME
  std::optional<std::string> cells;      // --cells FILE
  std::optional<std::string> models;     // --models FILE
  std::optional<std::string> testbench;  // --testbench FILE
  std::optional<std::string> dot;        // --dot FILE
  bool stats = false;                    // --stats
  bool stats_by_transition = false;      // --stats-by-transition
};

extern const char* const kUsage;

// Parses the arguments; options may stand anywhere and "--" ends them.
// Returns an error text for a usage error.
std::optional<std::string> parse_arguments(int argc, char** argv, Options& options);

}  // namespace syn
