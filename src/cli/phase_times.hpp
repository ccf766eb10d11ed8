// The --time report: wall-clock seconds of the three steps of a run and the
// peak memory, on standard error, for users who want to know where a large
// design's time goes.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace syn {

class PhaseTimes {
 public:
  // Starts timing; `enabled` false makes every call a no-op.
  explicit PhaseTimes(bool enabled);

  // Ends the step running since the last call (or the start) under `name`.
  void end_step(const char* name);

  // Leaves the time since the last step out of every step (a prompt waiting
  // for its answer).
  void skip();

  // "syn-tool: time: reading 0.812 s, mapping 1.103 s, writing 0.231 s;
  // total 2.146 s; peak memory 640 MiB"; nothing when not enabled.
  void report(std::ostream& err) const;

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  Clock::time_point last_;
  std::vector<std::pair<const char*, double>> steps_;
};

}  // namespace syn
