// Runs the whole pipeline on tables held in memory, for golden tests.
#pragma once

#include <string>

namespace syn::test {

struct Tables {
  std::string io_spec;
  std::string global_net;
  std::string local_net;
  std::string data_net;
};

struct RunResult {
  bool read_ok = false;
  std::string console;   // what mapping printed (from "Initializing......" on)
  std::string errors;    // every diagnostic line, each ended by a newline
  std::string netlist;   // the netlist text (empty when reading failed)
  bool has_errors = false;
  bool has_problems = false;
};

// Reads the four tables (named io.txt, gn.txt, ln.txt, dn.txt in messages),
// maps them and writes the netlist text.
RunResult run_tables(const Tables& tables);

}  // namespace syn::test
