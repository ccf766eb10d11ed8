// The worked designs of docs/tables.md are the cases under
// tests/cases/reference: each case's tables and its netlist (written one
// cell per line, as the document shows it) must stand in the document as
// code blocks, so that the document cannot drift from what the tool does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "case_file.hpp"
#include "test_files.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

// The texts between the document's ``` fences, each line with its line end.
std::set<std::string> code_blocks(const std::string& text) {
  std::set<std::string> blocks;
  std::istringstream in(text);
  std::string line;
  std::string block;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("```", 0) == 0) {
      if (inside) blocks.insert(block);
      block.clear();
      inside = !inside;
    } else if (inside) {
      block += line + "\n";
    }
  }
  return blocks;
}

// A netlist as the document shows it: per cell, its instance number right
// aligned in two places, the cell name padded to the longest one, two
// blanks, then the nets of its pins in order.
std::string one_line_per_cell(const std::string& netlist) {
  struct Cell {
    std::string name, instance;
    std::vector<std::string> nets;
  };
  std::vector<Cell> cells;
  std::istringstream in(netlist);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    if (line.rfind(' ', 0) != 0) {
      Cell cell;
      words >> cell.name >> cell.instance;
      cells.push_back(cell);
    } else if (!cells.empty()) {
      std::string pin, number, net;
      words >> pin >> number >> net;
      cells.back().nets.push_back(net);
    }
  }
  std::size_t width = 0;
  for (const Cell& c : cells) width = std::max(width, c.name.size());
  std::string text;
  for (const Cell& c : cells) {
    std::string row = std::string(c.instance.size() < 2 ? 1 : 0, ' ') + c.instance + " " + c.name +
                      std::string(width - c.name.size(), ' ') + " ";
    for (const std::string& net : c.nets) row += " " + net;
    text += row + "\n";
  }
  return text;
}

std::vector<fs::path> reference_cases() {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(fs::path(SYN_CASES) / "reference")) {
    if (entry.path().extension() == ".case") found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

TEST(DocsTables, EveryWorkedDesignIsACaseAndShowsItsNetlist) {
  const std::set<std::string> blocks =
      code_blocks(read_file(fs::path(SYN_EXAMPLES) / ".." / "docs" / "tables.md"));
  const std::vector<fs::path> cases = reference_cases();
  ASSERT_EQ(cases.size(), 8u) << "one case per kind of data transition";
  for (const fs::path& file : cases) {
    SCOPED_TRACE(file.filename().string());
    const Case c = parse_case(file);
    // The document says every example runs cleanly with the usual command line.
    EXPECT_EQ(c.find("args"), nullptr);
    EXPECT_EQ(c.text_of("expect status", "0\n"), "0\n");
    EXPECT_EQ(c.text_of("expect stderr", ""), "");
    const std::string global = c.text_of("global.txt", "");
    EXPECT_EQ(std::count(global.begin(), global.end(), '\n'), 2)
        << "a global net other than its header";
    for (const char* table : {"io.txt", "local.txt", "data.txt"}) {
      EXPECT_EQ(blocks.count(c.text_of(table, "")), 1u) << table << " is not in the document";
    }
    EXPECT_EQ(blocks.count(one_line_per_cell(c.text_of("expect out.net", ""))), 1u)
        << "the netlist is not in the document:\n"
        << one_line_per_cell(c.text_of("expect out.net", ""));
  }
}

}  // namespace
}  // namespace syn::test
