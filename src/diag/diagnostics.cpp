#include "diag/diagnostics.hpp"

#include <utility>

namespace syn {

void Diagnostics::add(Severity s, std::string text) {
  if (s == Severity::error) ++errors_;
  if (s == Severity::mapping_problem) ++problems_;
  if (s == Severity::warning) ++warnings_;
  all_.push_back({std::move(text)});
}

void Diagnostics::append(const Diagnostics& other) {
  all_.insert(all_.end(), other.all_.begin(), other.all_.end());
  errors_ += other.errors_;
  problems_ += other.problems_;
  warnings_ += other.warnings_;
}

void Diagnostics::warning_at(const std::string& file, int line, const std::string& what) {
  add(Severity::warning, file + ":" + std::to_string(line) + ": warning: " + what);
}

void Diagnostics::error_at(const std::string& file, int line, const std::string& what) {
  add(Severity::error, file + ":" + std::to_string(line) + ": " + what);
}

void Diagnostics::error(const std::string& what) { add(Severity::error, "syn-tool: " + what); }

void Diagnostics::warning(const std::string& what) {
  add(Severity::warning, "syn-tool: warning: " + what);
}

void Diagnostics::problem(const std::string& what) {
  add(Severity::mapping_problem, "syn-tool: " + what);
}

}  // namespace syn
