// The command line: arguments and prompts, the run, and the exit status.
#pragma once

#include <iosfwd>

#include "diag/exit_status.hpp"


namespace syn {

// Runs the tool on the command line `argv`, with the console on `in`,
// `out` and `err`; returns the exit status.
int run_tool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace syn
