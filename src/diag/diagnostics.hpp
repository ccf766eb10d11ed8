// Problems found during a run. Every stage reports here; the command line
// prints them on standard error and turns them into the exit status.
#pragma once

#include <string>
#include <vector>

namespace syn {

enum class Severity {
  warning,          // the run goes on with the specified effect
  mapping_problem,  // the netlist is written but incomplete (exit 3)
  error,            // no netlist is written (exit 1)
};

struct Diagnostic {
  std::string text;  // the whole line as printed, without line end
};

class Diagnostics {
 public:
  // "FILE:LINE: warning: what"
  void warning_at(const std::string& file, int line, const std::string& what);
  // "FILE:LINE: what"
  void error_at(const std::string& file, int line, const std::string& what);
  // "syn-tool: what"
  void error(const std::string& what);
  void warning(const std::string& what);
  void problem(const std::string& what);

  // Adds what another stage found, after what is here.
  void append(const Diagnostics& other);

  bool has_errors() const { return errors_ != 0; }
  bool has_problems() const { return problems_ != 0; }
  bool has_warnings() const { return warnings_ != 0; }
  const std::vector<Diagnostic>& all() const { return all_; }

 private:
  void add(Severity s, std::string text);
  std::vector<Diagnostic> all_;
  int errors_ = 0;
  int problems_ = 0;
  int warnings_ = 0;
};

}  // namespace syn
