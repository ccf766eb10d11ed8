// Designs whose size or shape would break a pass that recurses along the
// input or repeats work per element: a very long chain of plain transfers,
// whose width has to travel the whole chain, and cycles of transfers.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "diag/diagnostics.hpp"
#include "map/main_mapping.hpp"
#include "read/read_design.hpp"
#include "support.hpp"

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

const char* const kDataHeader =
    "Data net\n"
    "Trans     Place     Dir       Kind      Type      Value     Relation\n";

std::string column(const std::string& word) {
  return word.size() >= 10 ? word + " " : word + std::string(10 - word.size(), ' ');
}

std::string data_line(const std::string& t, const std::string& place, const char* dir,
                      const char* kind, const char* type = "") {
  std::string line = column(t) + column(place) + column(dir) + column(kind) + type;
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + "\n";
}

// Local transitions that make the request q of every transfer and take the
// completion k.
const char* const kLocalNet =
    "Local control net\n"
    "Trans     Place     Dir\n"
    "L1        start     i\n"
    "L1        q         o\n"
    "L2        k         i\n"
    "L2        fin       o\n";

struct Mapped {
  Netlist netlist;
  std::string console;
  std::string diagnostics;
};

void map_tables(const Tables& t, Mapped& m) {
  Design design;
  Diagnostics diag;
  read_io_spec("io.txt", t.io_spec, design, diag);
  read_global_net("gn.txt", t.global_net, design, diag);
  read_local_net("ln.txt", t.local_net, design, diag);
  read_data_net("dn.txt", t.data_net, design, diag);
  std::ostringstream console;
  if (!diag.has_errors()) {
    MapContext ctx{design, m.netlist, diag, console, 0, {}};
    main_mapping(ctx);
  }
  m.console = console.str();
  for (const Diagnostic& d : diag.all()) m.diagnostics += d.text + "\n";
}

std::string pins(const comp_node& cell) {
  std::string text = cell.name;
  for (const pin_node& pin : cell.pin_link) text += " " + pin.name;
  return text;
}

TEST(Scale, LongChainOfPlainTransfersWithOneDeclaredWidth) {
  // p0 -> p1 -> ... -> pN, one transfer each; only p0 has a width, every
  // other place takes it from its neighbour.
  Tables t;
  t.io_spec = "IO\n\n\nreg [1] p0\n";
  t.global_net = "Global control net\nTrans     Place     Dir       Type      Net\n";
  t.local_net = kLocalNet;
  t.data_net = kDataHeader;
  t.data_net.reserve(static_cast<std::size_t>(kChainLength) * 170);
  for (int i = 0; i < kChainLength; ++i) {
    const std::string name = "t" + std::to_string(i);
    t.data_net += data_line(name, "p" + std::to_string(i), "i", "d", i == 0 ? "V" : "");
    t.data_net += data_line(name, "p" + std::to_string(i + 1), "o", "d");
    t.data_net += data_line(name, "q", "i", "c");
    t.data_net += data_line(name, "k", "o", "c");
  }
  Mapped m;
  map_tables(t, m);
  EXPECT_EQ(m.diagnostics, "");
  // Two buffers of the local net, then a latch and a done cell per transfer.
  ASSERT_EQ(m.netlist.comps().size(), 2u + 2u * kChainLength);
  // Transitions map in byte order of their names: t0, t1, t10, t100, ...
  EXPECT_EQ(pins(m.netlist.comps()[2]),
            "dlatch p0[0] p0_bar[0] q Reset_signal p1[0] p1_bar[0] p1_done[0]");
  EXPECT_EQ(pins(m.netlist.comps()[3]), "done_1 p1_done[0:0] k");
  EXPECT_EQ(pins(m.netlist.comps()[4]),
            "dlatch p1[0] p1_bar[0] q Reset_signal p2[0] p2_bar[0] p2_done[0]");
  const std::string last = std::to_string(kChainLength - 1);  // "99999...", last in byte order
  const std::string end = std::to_string(kChainLength);
  EXPECT_EQ(pins(m.netlist.comps()[m.netlist.comps().size() - 2]),
            "dlatch p" + last + "[0] p" + last + "_bar[0] q Reset_signal p" + end + "[0] p" +
                end + "_bar[0] p" + end + "_done[0]");
  EXPECT_EQ(m.console.size(), std::string("Initializing......\nLL").size() + kChainLength);
}

TEST(Scale, RingOfPlainTransfersMapsEachTransferOnce) {
  // a -> b -> c -> a, started by the local net: a rotation of three
  // registers; nothing walks the ring, each transfer is mapped on its own.
  Tables t;
  t.io_spec = "IO\n\n\nreg [2] a\n";
  t.local_net = kLocalNet;
  t.data_net = std::string(kDataHeader) + data_line("r1", "a", "i", "d", "V") +
               data_line("r1", "b", "o", "d") + data_line("r1", "q", "i", "c") +
               data_line("r1", "k", "o", "c") + data_line("r2", "b", "i", "d") +
               data_line("r2", "c", "o", "d") + data_line("r2", "q", "i", "c") +
               data_line("r2", "k", "o", "c") + data_line("r3", "c", "i", "d") +
               data_line("r3", "a", "o", "d", "V") + data_line("r3", "q", "i", "c") +
               data_line("r3", "k", "o", "c");
  const RunResult r = run_tables(t);
  EXPECT_EQ(r.errors, "");
  EXPECT_FALSE(r.has_problems);
  // Two buffers, then two latches and a done cell per transfer.
  std::istringstream lines(r.netlist);
  int cells = 0;
  for (std::string line; std::getline(lines, line);) cells += line.rfind("        ", 0) != 0;
  EXPECT_EQ(cells, 2 + 3 * 3);
}

TEST(Scale, RingOfPlainTransfersWithoutAnyWidthNamesItsTransitions) {
  Tables t;
  t.local_net = kLocalNet;
  t.data_net = std::string(kDataHeader) + data_line("r1", "a", "i", "d") +
               data_line("r1", "b", "o", "d") + data_line("r1", "q", "i", "c") +
               data_line("r1", "k", "o", "c") + data_line("r2", "b", "i", "d") +
               data_line("r2", "a", "o", "d") + data_line("r2", "q", "i", "c") +
               data_line("r2", "k", "o", "c");
  const RunResult r = run_tables(t);
  EXPECT_TRUE(r.has_problems);
  EXPECT_EQ(r.errors,
            "syn-tool: warning: data places without a width: a, b\n"
            "syn-tool: data transition r1: no width known for its data places; nothing mapped\n"
            "syn-tool: data transition r2: no width known for its data places; nothing mapped\n");
}

TEST(Scale, LongCycleOfTransfersFinishedInsideTheDataNet) {
  // c0 -> c1 -> ... -> c0, each transfer started by the one before it
  // through a control place of the data net; the first is started by the
  // local net. The chain that the first one follows comes back to it.
  constexpr int kLength = 2000;
  Tables t;
  t.io_spec = "IO\n\n\nreg [1] v0\n";
  t.local_net = kLocalNet;
  t.data_net = kDataHeader;
  for (int i = 0; i < kLength; ++i) {
    const std::string name = "c" + std::to_string(i);
    const std::string next = std::to_string((i + 1) % kLength);
    t.data_net += data_line(name, "v" + std::to_string(i), "i", "d");
    t.data_net += data_line(name, "v" + next, "o", "d");
    t.data_net += data_line(name, i == 0 ? "q" : "s" + std::to_string(i), "i", "c");
    t.data_net += data_line(name, "s" + next, "o", "c");
  }
  const RunResult r = run_tables(t);
  EXPECT_TRUE(r.has_problems);
  EXPECT_NE(r.errors.find("syn-tool: data transition c0: transfer finished inside the data net "
                          "whose data chain reaches no operation and no register or output fed "
                          "by several transfers (the chain breaks off or comes back to itself); "
                          "nothing mapped\n"),
            std::string::npos)
      << r.errors.substr(0, 2000);
}

}  // namespace
}  // namespace syn::test

namespace syn::test {
namespace {

// Every transfer of a long chain finished inside the data net follows the
// chain downstream; were each walk to run to the chain's end, the pass would
// cost the square of the chain's length.
TEST(Scale, LongChainOfTransfersFinishedInsideTheDataNet) {
  constexpr int kLength = kChainLength / 10;
  Tables t;
  t.io_spec = "IO\n\n\nreg [1] p0\n";
  t.local_net = kLocalNet;
  t.data_net = kDataHeader;
  for (int i = 0; i < kLength; ++i) {
    const std::string name = "t" + std::to_string(i);
    t.data_net += data_line(name, "p" + std::to_string(i), "i", "d", i == 0 ? "V" : "");
    t.data_net +=
        data_line(name, "p" + std::to_string(i + 1), "o", "d", i + 1 == kLength ? "V" : "");
    t.data_net += data_line(name, "q", "i", "c");
    t.data_net += data_line(name, "s" + std::to_string(i), "o", "c");
  }
  const RunResult r = run_tables(t);
  EXPECT_TRUE(r.read_ok);
  // Each one feeds a place that only it writes: no multiplexer, no cells.
  EXPECT_TRUE(r.has_problems);
  EXPECT_NE(r.errors.find("syn-tool: data transition t0: only transfer into place p1, no "
                          "multiplexer needed; not mapped\n"),
            std::string::npos)
      << r.errors.substr(0, 1000);
}

}  // namespace
}  // namespace syn::test
