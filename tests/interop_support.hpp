// Shared by the interoperability tests: a small JSON reader for the
// connection report of the synthesis tool, a reader for the netlist file,
// and the check that a Verilog netlist, as real tools elaborate it, connects
// exactly what the native netlist connects.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "netlist/netlist.hpp"

namespace syn::test {

struct Json {
  enum Kind { null, boolean, number, string, array, object } kind = null;
  std::string text;  // a string's value or a number's or literal's spelling
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json* get(const std::string& key) const;
};

// Throws std::runtime_error on malformed text.
Json parse_json(const std::string& text);

// Reads netlist text back into cells and pins.
Netlist parse_netlist(const std::string& text);

std::string slurp(const std::filesystem::path& path);

// Runs a shell command; returns its exit status, its output in `output`.
int run_command(const std::string& command, std::string& output);

bool have_program(const std::string& name);

// Runs both external tools on `module_file` and `cells_file` in `dir`, with
// top module `top`, and compares the connections the synthesis tool reports
// with `native`, bit for bit. Returns the failures found, empty if none.
// With `allow_warnings` false, a warning of either tool is a failure.
std::string check_with_tools(const Netlist& native, const std::filesystem::path& dir,
                             const std::string& module_file, const std::string& cells_file,
                             const std::string& top, bool allow_warnings = false);

}  // namespace syn::test
