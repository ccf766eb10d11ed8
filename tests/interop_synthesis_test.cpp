// The Verilog module through Yosys' synthesis and structural check. With the
// cells' pin directions and the module's ports, synthesis keeps every cell
// of a design that maps cleanly, and Yosys' check finds the nets that
// --check reports: nets with several drivers, and nets read but not driven
// that are no input of the module. Skipped when Yosys is not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.hpp"
#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

bool have_yosys() {
  TempDir dir;
  std::string log;
  return shell(dir.path(), "command -v yosys", log) == 0;
}

ToolRun run_in(const fs::path& dir, std::vector<std::string> args) {
  for (const char* table : kTables) args.push_back(dir / table);
  return run_tool_with(std::move(args));
}

// A problem and the name of the net's vector or wire: "several b" or
// "undriven kx".
using Finding = std::pair<std::string, std::string>;

std::string base_name(const std::string& name) { return name.substr(0, name.find('[')); }

// What --check reported, by vector or wire.
std::set<Finding> check_findings(const std::string& err) {
  std::set<Finding> found;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    const std::string lead = "syn-tool: warning: net ";
    if (line.rfind(lead, 0) != 0) continue;
    const std::string rest = line.substr(lead.size());
    const std::string name = base_name(rest.substr(0, rest.find(' ')));
    if (rest.find(" has two or more drivers") != std::string::npos ||
        rest.find(" holds the done bits of the writes of ") != std::string::npos)
      found.insert({"several", name});
    if (rest.find(" driven by no cell") != std::string::npos) found.insert({"undriven", name});
  }
  return found;
}

// What Yosys' check reported, by vector or wire: "multiple conflicting
// drivers for design.\b [0]:" and "Wire design.\kx is used but has no
// driver.".
std::set<Finding> yosys_findings(const std::string& log) {
  std::set<Finding> found;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    const std::size_t at = line.find("design.\\");
    if (at == std::string::npos) continue;
    std::string name = line.substr(at + 8);
    name = name.substr(0, name.find_first_of(" :"));
    if (line.find("multiple conflicting drivers") != std::string::npos)
      found.insert({"several", name});
    if (line.find("is used but has no driver") != std::string::npos)
      found.insert({"undriven", name});
  }
  return found;
}

// A plain net whose name meets a vector's is written with a suffix ("m"
// beside m[0] becomes m_1): Yosys' name is taken back to the netlist's when
// only that one was reported.
std::set<Finding> as_reported(const std::set<Finding>& yosys, const std::set<Finding>& reported) {
  std::set<Finding> named;
  for (Finding finding : yosys) {
    const std::size_t suffix = finding.second.rfind('_');
    if (!reported.contains(finding) && suffix != std::string::npos) {
      const Finding plain{finding.first, finding.second.substr(0, suffix)};
      if (reported.contains(plain)) finding = plain;
    }
    named.insert(finding);
  }
  return named;
}

// The rails x and x_bar of a register whose writers share its done bits
// x_done are the writers' bus, which the protocol allows and --check does
// not report: Yosys' multiple drivers on them are left out.
std::set<Finding> without_allowed_buses(const std::set<Finding>& yosys,
                                        const std::set<Finding>& reported) {
  std::set<Finding> kept;
  for (const Finding& finding : yosys) {
    const std::string& name = finding.second;
    const std::string base =
        name.size() > 4 && name.ends_with("_bar") ? name.substr(0, name.size() - 4) : name;
    if (finding.first == "several" && reported.contains({"several", base + "_done"}) &&
        !reported.contains(finding))
      continue;
    kept.insert(finding);
  }
  return kept;
}

std::string listed(const std::set<Finding>& findings) {
  std::string text;
  for (const auto& [problem, name] : findings) text += problem + " " + name + "\n";
  return text;
}

int netlist_cells(const std::string& netlist) {
  int cells = 0;
  std::istringstream in(netlist);
  for (std::string line; std::getline(in, line);) cells += line.rfind("        Pin ", 0) != 0;
  return cells;
}

// Maps the tables in `dir` as Verilog with --check, and has Yosys check the
// module; with `synthesize`, also synthesizes it and counts the cells kept.
void check_with_yosys(const fs::path& dir, bool synthesize) {
  const ToolRun native = run_in(dir, {"-o", dir / "native.net"});
  if ((native.status != 0 && native.status != 3) || read_file(dir / "native.net").empty()) return;
  const ToolRun run = run_in(
      dir, {"--check", "--format", "verilog", "--cells", dir / "cells.v", "-o", dir / "design.v"});
  std::string log;
  ASSERT_EQ(shell(dir,
                  "yosys -p 'read_verilog cells.v; read_verilog design.v; "
                  "hierarchy -top design; check'",
                  log),
            0)
      << log;
  const std::set<Finding> reported = check_findings(run.err);
  EXPECT_EQ(listed(without_allowed_buses(as_reported(yosys_findings(log), reported), reported)),
            listed(reported))
      << run.err << log;
  if (!synthesize) return;
  ASSERT_EQ(shell(dir,
                  "yosys -p 'read_verilog cells.v; read_verilog design.v; "
                  "synth -top design; stat'",
                  log),
            0)
      << log;
  const std::string kept = "Number of cells:";
  const std::size_t at = log.rfind(kept);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(std::stoi(log.substr(at + kept.size())), netlist_cells(read_file(dir / "native.net")));
}

void copy_example(const std::string& name, const fs::path& to) {
  for (const char* table : kTables)
    fs::copy_file(fs::path(SYN_EXAMPLES) / name / table, to / table);
}

TEST(VerilogSynthesis, KeepsEveryCellOfTheExamples) {
  if (!have_yosys()) GTEST_SKIP() << "yosys is not installed";
  for (const char* example : {"mac", "transfer"}) {
    SCOPED_TRACE(example);
    TempDir dir;
    copy_example(example, dir.path());
    check_with_yosys(dir.path(), true);
  }
}

TEST(VerilogSynthesis, KeepsEveryCellOfAGeneratedDesign) {
  if (!have_yosys()) GTEST_SKIP() << "yosys is not installed";
  TempDir dir;
  const std::string command = "python3 '" SYN_BENCH "/gen_design.py' 3 '" + dir.path().string() +
                              "' --seed 5 >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "python3 cannot run the generator";
  check_with_yosys(dir.path(), true);
}

// The transfer example is clean: --check finds nothing, and neither does
// Yosys' check -assert after synthesis.
TEST(VerilogSynthesis, CleanDesignPassesCheckAssert) {
  if (!have_yosys()) GTEST_SKIP() << "yosys is not installed";
  TempDir dir;
  copy_example("transfer", dir.path());
  const ToolRun run = run_in(dir.path(), {"--check", "--format", "verilog", "--cells",
                                          dir.path() / "cells.v", "-o", dir.path() / "design.v"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::string log;
  EXPECT_EQ(shell(dir.path(),
                  "yosys -q -p 'read_verilog cells.v; read_verilog design.v; "
                  "synth -top design; check -assert'",
                  log),
            0)
      << log;
}

// Every case design: what Yosys' check finds is what --check reports.
TEST(VerilogSynthesis, YosysCheckFindsWhatCheckReportsOnCaseDesigns) {
  if (!have_yosys()) GTEST_SKIP() << "yosys is not installed";
  std::set<std::vector<std::string>> seen;
  for (const auto& entry : fs::recursive_directory_iterator(SYN_CASES)) {
    if (entry.path().extension() != ".case") continue;
    const Case c = parse_case(entry.path());
    std::vector<std::string> tables;
    for (const char* name : kTables) {
      const Section* found = c.find(name);
      tables.push_back(found ? found->text : "");
    }
    if (c.find("data.txt") == nullptr || !seen.insert(tables).second) continue;
    SCOPED_TRACE(entry.path().string());
    TempDir dir;
    for (int i = 0; i < 4; ++i) write_file(dir.path() / kTables[i], tables[i]);
    check_with_yosys(dir.path(), false);
  }
}

}  // namespace
}  // namespace syn::test
