// The command line: arguments and prompts, the run, and the exit status.
#pragma once

#include <iosfwd>


namespace syn {

// Exit statuses.
enum ExitStatus : int {
  exit_ok = 0,        // the netlist was written cleanly
  exit_error = 1,     // an error; no netlist written
  exit_usage = 2,     // a usage error
  exit_problems = 3,  // the netlist was written, with mapping problems
};

// Runs the tool on the command line `argv`, with the console on `in`,
// `out` and `err`; returns the exit status.
int run_tool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace syn
