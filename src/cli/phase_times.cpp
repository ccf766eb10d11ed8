#include "cli/phase_times.hpp"

#include <sys/resource.h>

#include <cstdio>

namespace syn {
namespace {

double seconds_between(std::chrono::steady_clock::time_point from,
                       std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string three_decimals(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

// Peak resident memory of the process so far, in MiB (0 when unknown).
long peak_memory_mib() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return usage.ru_maxrss / 1024;  // ru_maxrss is in KiB
}

}  // namespace

PhaseTimes::PhaseTimes(bool enabled) : enabled_(enabled), last_(Clock::now()) {}

void PhaseTimes::end_step(const char* name) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  steps_.emplace_back(name, seconds_between(last_, now));
  last_ = now;
}

void PhaseTimes::skip() { last_ = Clock::now(); }

void PhaseTimes::report(std::ostream& err) const {
  if (!enabled_) return;
  err << "syn-tool: time:";
  const char* separator = " ";
  double total = 0;
  for (const auto& [name, seconds] : steps_) {
    err << separator << name << ' ' << three_decimals(seconds) << " s";
    separator = ", ";
    total += seconds;
  }
  err << "; total " << three_decimals(total) << " s; peak memory "
      << peak_memory_mib() << " MiB\n";
}

}  // namespace syn
