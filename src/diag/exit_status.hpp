// The tool's exit statuses.
#pragma once

namespace syn {

enum ExitStatus : int {
  exit_ok = 0,        // the netlist was written cleanly
  exit_error = 1,     // an error; no netlist written
  exit_usage = 2,     // a usage error
  exit_problems = 3,  // the netlist was written, with mapping problems
};

}  // namespace syn
