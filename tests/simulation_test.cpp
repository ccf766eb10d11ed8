// Designs simulated end to end: each is mapped to its Verilog module, with
// the behavioural models of its cells and its testbench, and run in Icarus
// Verilog with the models' default delays. What the testbench prints must be
// what the design's tables compute, worked out here from the operation each
// design performs (the widths wrap the results). The multiply-accumulate
// example shows the race of two writers that share a register's done bits.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "case_file.hpp"
#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

bool have_icarus() { return std::system("iverilog -V >/dev/null 2>&1") == 0; }

// A design written into a fresh folder and built for simulation once.
class Simulated {
 public:
  // From a case file's tables, or from a folder of the four tables.
  // `defines` go to the compiler (-DSYN_CELL_DELAY=3: other delays).
  explicit Simulated(const fs::path& source, const std::string& defines = "") {
    const char* names[4][2] = {{"io.txt", "io.txt"},
                               {"global.txt", "gn.txt"},
                               {"local.txt", "ln.txt"},
                               {"data.txt", "dn.txt"}};
    if (fs::is_directory(source)) {
      for (const auto& name : names) fs::copy_file(source / name[0], dir_.path() / name[0]);
    } else {
      const Case c = parse_case(source);
      for (const auto& name : names) {
        const Section* found = c.find(name[0]);
        if (found == nullptr) found = c.find(name[1]);
        write_file(dir_.path() / name[0], found ? found->text : "");
      }
    }
    std::vector<std::string> args = {"--quiet",
                                     "--format",
                                     "verilog",
                                     "--models",
                                     (dir_.path() / "models.v").string(),
                                     "--testbench",
                                     (dir_.path() / "tb.v").string(),
                                     "-o",
                                     (dir_.path() / "design.v").string()};
    for (const auto& name : names) args.push_back((dir_.path() / name[0]).string());
    const ToolRun run = run_tool_with(args);
    EXPECT_TRUE(run.status == 0 || run.status == 3) << run.err;
    std::string log;
    EXPECT_EQ(
        shell(dir_.path(), "iverilog -g2012 " + defines + " -o sim tb.v design.v models.v", log), 0)
        << log;
    EXPECT_EQ(log, "");
  }

  int shell_in(const std::string& command, std::string& log) const {
    return shell(dir_.path(), command, log);
  }

  // What the testbench prints with these plusargs; `status` its exit status.
  std::string run(const std::string& plusargs, int* status = nullptr) const {
    std::string log;
    const int exit = shell(dir_.path(), "vvp -n sim " + plusargs, log);
    if (status != nullptr)
      *status = exit;
    else
      EXPECT_EQ(exit, 0) << plusargs << "\n" << log;
    return log;
  }

 private:
  TempDir dir_;
};

const fs::path kReference = fs::path(SYN_CASES) / "reference";
const fs::path kSimulation = fs::path(SYN_CASES).parent_path() / "simulation";

std::string plusarg(const std::string& name, int value) {
  return "+" + name + "=" + std::to_string(value) + " ";
}

TEST(Simulation, TransferCopiesEveryValueEachCycle) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(fs::path(SYN_EXAMPLES) / "transfer");
  for (int x = 0; x < 256; x += 15) {
    const std::string y = "y = " + std::to_string(x) + "\nacknowledge fin\n";
    EXPECT_EQ(design.run(plusarg("x", x) + "+cycles=2"), y + "cycle 1\n" + y + "cycle 2\n");
  }
}

TEST(Simulation, InputPortThroughRegisterToOutputPort) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kSimulation / "port_to_register_to_port.case");
  for (const int din : {0, 5, 10, 15})
    EXPECT_EQ(design.run(plusarg("din", din)),
              "dout = " + std::to_string(din) + "\nacknowledge fin\ncycle 1\n");
}

TEST(Simulation, TransferWrapsToTheRegistersWidth) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kReference / "plain_transfer.case");
  EXPECT_EQ(design.run("+x=2"), "y = 2\nacknowledge fin\ncycle 1\n");
  EXPECT_EQ(design.run("+x=7"), "y = 3\nacknowledge fin\ncycle 1\n");
}

TEST(Simulation, MultiplicationOfEveryPairOfTwoBitValues) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kReference / "multiplication.case");
  for (int a = 0; a < 4; ++a) {
    for (int b = 0; b < 4; ++b) {
      EXPECT_EQ(design.run(plusarg("a", a) + plusarg("b", b)),
                "c = " + std::to_string(a * b % 4) + "\nacknowledge md\ncycle 1\n")
          << a << " * " << b;
    }
  }
}

// Also with every cell three times slower: the handshakes, not the delays,
// order the steps.
TEST(Simulation, AdditionStartedByTheProductsCompletion) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  for (const char* defines : {"", "-DSYN_CELL_DELAY=3"}) {
    SCOPED_TRACE(defines);
    const Simulated design(kReference / "addition.case", defines);
    for (const auto& [a, b, d] : std::vector<std::array<int, 3>>{{1, 3, 0}, {2, 3, 1}, {3, 3, 3}}) {
      EXPECT_EQ(design.run(plusarg("a", a) + plusarg("b", b) + plusarg("d", d)),
                "s = " + std::to_string((a * b % 4 + d) % 4) + "\nacknowledge ks\ncycle 1\n")
          << a << " * " << b << " + " << d;
    }
  }
}

TEST(Simulation, ComparisonsTakeTheirBranch) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated two_way(kReference / "comparison_two_way.case");
  EXPECT_EQ(two_way.run("+a=5 +b=3"), "acknowledge then\ncycle 1\n");
  EXPECT_EQ(two_way.run("+a=4 +b=4"), "acknowledge then\ncycle 1\n");
  EXPECT_EQ(two_way.run("+a=3 +b=12 +cycles=2"),
            "acknowledge else\ncycle 1\nacknowledge else\ncycle 2\n");
  const Simulated three_way(kReference / "comparison_three_way.case");
  EXPECT_EQ(three_way.run("+a=9 +b=3"), "acknowledge more\ncycle 1\n");
  EXPECT_EQ(three_way.run("+a=3 +b=3"), "acknowledge same\ncycle 1\n");
  EXPECT_EQ(three_way.run("+a=0 +b=15"), "acknowledge less\ncycle 1\n");
}

// +request=NAME raises one start alone: each source reaches the adder's
// operand x through the operand multiplexer, or the register r through
// the register multiplexer.
TEST(Simulation, MultiplexersPassTheStartedSource) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated operand(kReference / "operand_mux.case");
  EXPECT_EQ(operand.run("+a=1 +b=2 +y=1 +request=s1"), "z = 2\nacknowledge kz\ncycle 1\n");
  EXPECT_EQ(operand.run("+a=1 +b=2 +y=3 +request=s2"), "z = 1\nacknowledge kz\ncycle 1\n");
  const Simulated into_register(kReference / "register_mux.case");
  EXPECT_EQ(into_register.run("+a=1 +in1=2 +request=s1"), "r = 1\nacknowledge k\ncycle 1\n");
  EXPECT_EQ(into_register.run("+a=1 +in1=2 +request=s2"), "r = 2\nacknowledge k\ncycle 1\n");
}

// r := 5, then r >= 6: the constant's drivers, the comparator's constant
// operand, the low branch.
TEST(Simulation, ConstantsLoadedAndCompared) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kReference / "constants.case");
  EXPECT_EQ(design.run(""), "acknowledge no\ncycle 1\n");
}

// The token starts at G1, the first global transition, and each turn of it
// back to G1 copies x into y once.
TEST(Simulation, GlobalRingTurnsTheToken) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kSimulation / "global_ring.case");
  EXPECT_EQ(design.run("+x=9 +cycles=3"), "y = 9\ncycle 1\ny = 9\ncycle 2\ny = 9\ncycle 3\n");
  EXPECT_EQ(design.run("+x=4 +token=G1"), "y = 4\ncycle 1\n");
}

// Races and stalls the rules' netlists show: each run fails, and what it
// printed shows where.
std::string failing_run(const Simulated& design, const std::string& plusargs) {
  int status = 0;
  const std::string output = design.run(plusargs, &status);
  EXPECT_NE(status, 0) << output;
  return output;
}

TEST(Simulation, GlobalCellReadsItsOwnBlockInsteadOfItsPredecessor) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kSimulation / "global_ring_of_two_blocks.case");
  const std::string output = failing_run(design, "+x0=3 +x1=5 +cycles=2");
  EXPECT_EQ(output.rfind("y0 = 3\ncycle 1\ny0 = 3\nstall\n", 0), 0u) << output;
  EXPECT_EQ(output.find("y1 ="), std::string::npos) << output;  // block 1 never ran
}

TEST(Simulation, TwoWritersSharingDoneBitsAcknowledgeTooEarly) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(kSimulation / "two_writers_share_done.case");
  // The tables say r = 3, then r = 5, then fin.
  const std::string output = failing_run(design, "+a=3 +b=5");
  // Then the second write holds the shared done bits high, so k1 stays high,
  // so the second write's request q2 stays high: neither returns to zero.
  // The stall names each control net that is high with the cells reading
  // it: the buffers of L2 (u2) and L3 (u3), the second write's latches
  // (u9-u12), and fin, which no cell reads.
  EXPECT_EQ(output.rfind("r = 3\nacknowledge fin\nstall\n"
                         "  fin high, read by\n"
                         "  k1 high, read by u2\n"
                         "  k2 high, read by u3\n"
                         "  q2 high, read by u9 u10 u11 u12\n",
                         0),
            0u)
      << output;
}

// The load of b and the multiplier's write-back into b drive the same done
// bits b_done: the two done cells on them (kb and md) rise together when b
// is loaded, so the adder starts before the product arrives and the
// comparison loop never reaches its end.
TEST(Simulation, SharedDoneBitsOfTwoWritersRace) {
  if (!have_icarus()) GTEST_SKIP() << "no Icarus Verilog";
  const Simulated design(fs::path(SYN_EXAMPLES) / "mac");
  const std::string output = failing_run(design, "+din=3 +bin=2 +timeout=20000");
  EXPECT_NE(output.find("no end of cycle 1 after 20000 ns\n"), std::string::npos) << output;
}

// The models of every kind of cell compile in Icarus Verilog without a
// warning (above, with each design) and pass Verilator's lint.
TEST(Simulation, ModelsOfEveryKindPassVerilatorsLint) {
  if (std::system("verilator --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no Verilator";
  for (const fs::path& source :
       {fs::path(SYN_EXAMPLES) / "mac",
        fs::path(SYN_CASES) / "outputs" / "verilog_cells_every_kind.case"}) {
    SCOPED_TRACE(source.string());
    const Simulated design(source);
    std::string log;
    EXPECT_EQ(
        design.shell_in("verilator --lint-only --timing -Wno-fatal -Wno-MULTITOP models.v", log), 0)
        << log;
    EXPECT_EQ(log.find("%Error"), std::string::npos) << log;
  }
}

}  // namespace
}  // namespace syn::test
