// Runs the command line in this process, as the binary would, with the
// given standard input; returns its exit status and console texts.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/run.hpp"

namespace syn::test {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

inline ToolRun run_tool_with(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), "syn-tool");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::istringstream in(input);
  std::ostringstream out, err;
  ToolRun run;
  run.status = run_tool(static_cast<int>(argv.size()), argv.data(), in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace syn::test
