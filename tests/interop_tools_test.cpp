// The Verilog round trip through real tools. The designs of the bundled
// examples and of every case are mapped twice, as the native netlist and as
// Verilog with its cell declarations. The Verilog must elaborate in Icarus
// Verilog and in Yosys without a warning, and the connections Yosys reports
// must be the native netlist's, pin for pin and bit for bit: every native
// net one Yosys bit and no two nets merged. The --dot pictures must render
// in Graphviz.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.hpp"
#include "netlist/net_names.hpp"
#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

// The bit-level nets a pin's net stands for, most significant first:
// "x[2:0]" gives x[2], x[1], x[0]; a plain name gives itself; an empty name
// (an unconnected pin) gives nothing.
std::vector<std::string> expand_bits(const std::string& name) {
  if (name.empty()) return {};
  const auto bus = parse_bus_name(name);
  if (!bus) return {name};
  std::vector<std::string> bits;
  for (int b = bus->high; b >= bus->low; --b) {
    bits.push_back(std::string(bus->base) + "[" + std::to_string(b) + "]");
  }
  return bits;
}

// Runs the tool in this process on the four tables in `dir`.
int run_in(const fs::path& dir, std::vector<std::string> args) {
  for (const char* table : kTables) args.push_back(dir / table);
  return run_tool_with(std::move(args)).status;
}

// The four tables of a case, or nothing when the case has no data net.
std::vector<std::string> case_tables(const fs::path& file) {
  const Case c = parse_case(file);
  const char* const names[4][2] = {{"io.txt", "io.txt"},
                                   {"global.txt", "gn.txt"},
                                   {"local.txt", "ln.txt"},
                                   {"data.txt", "dn.txt"}};
  std::vector<std::string> tables(4);
  for (int i = 0; i < 4; ++i) {
    const Section* found = c.find(names[i][0]);
    if (found == nullptr) found = c.find(names[i][1]);
    if (found != nullptr)
      tables[i] = found->text;
    else if (i == 3)
      return {};
  }
  return tables;
}

// The connections of a Yosys BLIF file, by instance name: the cell type and
// each port bit ("req", "a[3]") with the Yosys net on it.
struct Instance {
  std::string type;
  std::map<std::string, std::string> bits;
};

std::map<std::string, Instance> read_blif(const std::string& text) {
  std::map<std::string, Instance> instances;
  Instance last;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == ".subckt") {
      last = {};
      words >> last.type;
      while (words >> word) {
        last.bits[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
      }
    } else if (word == ".cname" && words >> word) {
      instances[word] = last;
    }
  }
  return instances;
}

// Instance names of the Verilog module, in netlist order, each line's
// source attribute skipped.
std::vector<std::string> instance_names(const std::string& verilog) {
  std::vector<std::string> names;
  std::istringstream in(verilog.substr(verilog.find("\n\n") + 2));
  for (std::string line; std::getline(in, line) && line != "endmodule";) {
    if (const auto attribute_end = line.find(" *) "); attribute_end != std::string::npos)
      line = line.substr(attribute_end + 4);
    const std::string head = line.substr(0, line.find(" ("));
    names.push_back(head.substr(head.rfind(' ') + 1));
  }
  return names;
}

// The ports of each cell type of the cell declarations, in order: the
// native netlist's pins connect to them by position.
std::map<std::string, std::vector<std::string>> port_names(const std::string& cells) {
  std::map<std::string, std::vector<std::string>> ports;
  std::istringstream in(cells);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("module ", 0) != 0) continue;
    std::string type = line.substr(7, line.find(" (") - 7);
    if (!type.empty() && type[0] == '\\') type = type.substr(1);
    std::istringstream list(line.substr(line.find('(') + 1, line.find(')') - line.find('(') - 1));
    for (std::string port; std::getline(list >> std::ws, port, ',');) ports[type].push_back(port);
  }
  return ports;
}

// Compares the native netlist text with what Yosys made of its Verilog.
std::string compare(const std::string& netlist, const std::vector<std::string>& names,
                    const std::map<std::string, std::vector<std::string>>& ports,
                    const std::map<std::string, Instance>& instances) {
  std::vector<std::pair<std::string, std::vector<std::string>>> cells;  // type, pin nets
  std::istringstream in(netlist);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("        Pin ", 0) != 0) cells.push_back({line.substr(0, line.find("          ")), {}});
    else cells.back().second.push_back(line.substr(line.find("        ", 12) + 8));
  }
  if (names.size() != cells.size() || instances.size() != cells.size()) return "cell counts differ\n";
  std::ostringstream failures;
  std::map<std::string, std::string> to_yosys, to_native;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string where = names[c] + " (" + cells[c].first + ")";
    const auto found = instances.find(names[c]);
    if (found == instances.end() || found->second.type != cells[c].first) {
      failures << where << ": not elaborated as such\n";
      continue;
    }
    std::size_t used = 0, connected = 0;
    const auto type_ports = ports.find(cells[c].first);
    for (std::size_t p = 0; p < cells[c].second.size(); ++p) {
      if (type_ports == ports.end() || p >= type_ports->second.size()) {
        failures << where << ": no port " << p + 1 << " declared\n";
        break;
      }
      const std::string& port = type_ports->second[p];
      const std::vector<std::string> bits = expand_bits(cells[c].second[p]);
      for (std::size_t k = 0; k < bits.size(); ++k) {
        const std::string& native = bits[bits.size() - 1 - k];  // Yosys counts from bit 0 up
        auto at = found->second.bits.find(port + "[" + std::to_string(k) + "]");
        if (at == found->second.bits.end() && bits.size() == 1) at = found->second.bits.find(port);
        if (at == found->second.bits.end()) {
          failures << where << " " << port << ": no bit " << k << "\n";
          continue;
        }
        ++used;
        const std::string& was_yosys = to_yosys.emplace(native, at->second).first->second;
        const std::string& was_native = to_native.emplace(at->second, native).first->second;
        if (was_yosys != at->second || was_native != native) {
          failures << where << " " << port << ": net " << native << " is Yosys net " << at->second
                   << " here, " << was_yosys << " elsewhere, and " << at->second << " is "
                   << was_native << "\n";
        }
      }
    }
    for (const auto& [port, net] : found->second.bits) connected += net != "$undef";
    if (connected != used) failures << where << ": " << connected << " bits for " << used << "\n";
  }
  return failures.str();
}

// Maps the tables in `dir` both ways and checks the Verilog with both tools.
void check_design(const fs::path& dir) {
  const int status = run_in(dir, {"-o", dir / "native.net", "--dot", dir / "picture.dot"});
  // Refused designs have no netlist; Yosys writes no BLIF of an empty module.
  if ((status != 0 && status != 3) || read_file(dir / "native.net").empty()) return;
  const std::vector<std::string> verilog = {"--format", "verilog", "--cells", dir / "cells.v",
                                            "-o", dir / "design.v"};
  ASSERT_EQ(run_in(dir, verilog), status);
  std::string log;
  EXPECT_EQ(shell(dir, "iverilog -g2001 -o design.vvp -s design design.v cells.v", log), 0) << log;
  EXPECT_EQ(log, "");
  write_file(dir / "script.ys", "read_verilog design.v cells.v\nhierarchy -check -top \\design\n"
                                "write_blif -cname design.blif\n");
  ASSERT_EQ(shell(dir, "yosys -q -s script.ys", log), 0) << log;
  EXPECT_EQ(log.find("arning"), std::string::npos) << log;
  EXPECT_EQ(compare(read_file(dir / "native.net"), instance_names(read_file(dir / "design.v")),
                    port_names(read_file(dir / "cells.v")),
                    read_blif(read_file(dir / "design.blif"))),
            "");
  EXPECT_EQ(shell(dir, "dot -Tsvg -o picture.svg picture.dot", log), 0) << log;
  EXPECT_EQ(log, "");
}

TEST(VerilogRoundTrip, ExamplesAndCaseDesigns) {
  for (const char* tool : {"iverilog", "yosys", "dot"}) {
    TempDir dir;
    std::string log;
    if (shell(dir.path(), std::string("command -v ") + tool, log) != 0) {
      GTEST_SKIP() << tool << " is not installed (apt-get install iverilog yosys graphviz)";
    }
  }
  for (const auto& example : fs::directory_iterator(SYN_EXAMPLES)) {
    SCOPED_TRACE(example.path().string());
    TempDir dir;
    for (const char* table : kTables) fs::copy_file(example.path() / table, dir.path() / table);
    check_design(dir.path());
  }
  std::set<std::vector<std::string>> seen;
  for (const auto& entry : fs::recursive_directory_iterator(SYN_CASES)) {
    if (entry.path().extension() != ".case") continue;
    const std::vector<std::string> tables = case_tables(entry.path());
    if (tables.empty() || !seen.insert(tables).second) continue;
    SCOPED_TRACE(entry.path().string());
    TempDir dir;
    for (int i = 0; i < 4; ++i) write_file(dir.path() / kTables[i], tables[i]);
    check_design(dir.path());
  }
}

}  // namespace
}  // namespace syn::test
