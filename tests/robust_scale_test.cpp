// A design whose size would break a pass that recurses along the input or
// repeats work per element: a very long chain of plain transfers whose one
// width has to travel the whole chain against list order, and whose first
// transfer walks the whole chain downstream.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pipeline/pipeline.hpp"

namespace syn::test {
namespace {

// The full million in optimised builds; a tenth of it where every step is
// many times slower (no optimisation, or the sanitizers), which still is far
// deeper than any call stack.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr int kChainLength = 1000000;
#else
constexpr int kChainLength = 100000;
#endif

// Names of seven digits sort as their numbers do.
std::string numbered(const char* prefix, int i) {
  std::string digits = std::to_string(i);
  return prefix + std::string(7 - digits.size(), '0') + digits;
}

std::string pins(const Netlist& netlist, const Cell& cell) {
  std::string text(netlist.type_name(cell));
  for (const NetId net : netlist.pins(cell)) text += " " + netlist.net_text(net);
  return text;
}

TEST(Scale, LongChainAgainstListOrder) {
  // t_i moves p_(i+1) into p_i; only the last place, p_N, has a width, so
  // every sweep over the place list would give one more place its width.
  // The transfer t_(N-1) is finished inside the data net: it walks down the
  // whole chain to the register p0.
  const int n = kChainLength;
  std::string data = "Data net\nTrans     Place     Dir       Kind      Type      Value     Rel\n";
  data.reserve(static_cast<std::size_t>(n) * 150);
  for (int i = 0; i < n; ++i) {
    const std::string t = numbered("t", i) + "  ";
    data += t + numbered("p", i + 1) + "  i         d" + (i + 1 == n ? "         V\n" : "\n");
    data += t + numbered("p", i) + "  o         d" + (i == 0 ? "         V\n" : "\n");
    data += t + "q         i         c\n";
    data += t + (i + 1 == n ? "s" : "k") + "         o         c\n";
  }
  const std::string io = "IO\n\n\nreg [1] " + numbered("p", n) + "\n";
  const std::string global = "Global\nTrans     Place     Dir       Type      Net\n";
  const std::string local = "Local\nTrans     Place     Dir\nL1        start     i\n"
                            "L1        q         o\nL2        k         i\nL2        fin       o\n";
  PipelineRun run;
  std::ostringstream console;
  run_pipeline({{"io.txt", io}, {"gn.txt", global}, {"ln.txt", local}, {"dn.txt", data}}, run,
               console);
  ASSERT_TRUE(run.mapped) << run.diag.all().back().text;
  std::string messages;
  for (const Diagnostic& d : run.diag.all()) messages += d.text + "\n";
  // Every place got its width (the register p0, which the IO table does not
  // declare, from the far end of the chain). The walk from t_(N-1) reaches
  // p0, but t_(N-1) alone feeds its place: no multiplexer.
  EXPECT_EQ(messages, "dn.txt:4: warning: register place " + numbered("p", 0) +
                          " (type V) is not declared in the IO table; its width comes only from "
                          "its neighbours\n"
                          "syn-tool: data transition " +
                          numbered("t", n - 1) + ": only transfer into place " +
                          numbered("p", n - 1) + ", no multiplexer needed; not mapped\n");
  // Two buffers of the local net, then a latch and a done cell per plain transfer.
  const auto& cells = run.netlist->cells();
  ASSERT_EQ(cells.size(), 2u + 2u * (n - 1));
  EXPECT_EQ(pins(*run.netlist, cells[2]),
            "dlatch p0000001[0] p0000001_bar[0] q Reset_signal p0000000[0] "
            "p0000000_bar[0] p0000000_done[0]");
  EXPECT_EQ(pins(*run.netlist, cells[3]), "done_1 p0000000_done[0:0] k");
  EXPECT_EQ(console.str(), "The assembling work has been finished.\nNow mapping is atarted.......\n"
                           "Initializing......\nLL" + std::string(n, 'D') + "\n");
}

}  // namespace
}  // namespace syn::test
