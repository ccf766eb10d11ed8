// The command line: arguments and prompts, the run, and the exit status.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "pipeline/pipeline.hpp"
#include "read/read_design.hpp"

namespace syn {

// Exit statuses.
enum ExitStatus : int {
  exit_ok = 0,        // the netlist was written cleanly
  exit_error = 1,     // an error; no netlist written
  exit_usage = 2,     // a usage error
  exit_problems = 3,  // the netlist was written, with mapping problems
};

// Where a run leaves its design and netlist instead of freeing them. A process
// that ends right after the run hands them to the operating system whole:
// freeing millions of small records one by one costs a good part of a run.
struct RunLeftovers {
  std::unique_ptr<PipelineRun> run;
};

// Called with the four file names once they are known, before reading.
using BeforeReading = std::function<void(const InputFiles&)>;

// Runs the tool; with `leftovers` the design and netlist end up there instead
// of being freed on return.
int run_tool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
             RunLeftovers* leftovers = nullptr, const BeforeReading& before_reading = {});

}  // namespace syn
