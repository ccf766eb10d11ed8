// The case runner: every tests/cases/**/*.case file is one test. Its input
// files are written into a fresh folder, the command line runs there in
// this process, and its exit status, standard output, standard error and
// the files it leaves are compared byte for byte with the case's
// expectations. SYN_UPDATE=1 writes the results back into the case instead
// (read the change before committing it). The format: tests/cases/README.md.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

bool needs_escapes(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) {
           return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7f;
         }) || text.rfind("%%", 0) == 0 || text.find("\n%%") != std::string::npos;
}

std::string escape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    const bool line_start = i == 0 || text[i - 1] == '\n';
    if (c == '\\') out += "\\\\";
    else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7f || (line_start && c == '%')) {
      static const char* digits = "0123456789abcdef";
      out += {'\\', 'x', digits[c >> 4], digits[c & 15]};
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool is_input(const Section& s) {
  return s.name != "args" && s.name != "stdin" && s.name.rfind("expect ", 0) != 0;
}

struct Outcome {
  int status = 0;
  std::string out, err;
  // Files the run made or changed, by name, with their bytes.
  std::vector<std::pair<std::string, std::string>> files;
};

Outcome run_case(const Case& c, const fs::path& dir) {
  std::map<std::string, std::string> inputs;
  for (const Section& s : c.sections) {
    if (!is_input(s)) continue;
    inputs[s.name] = s.text;
    if (s.name.back() == '/') fs::create_directories(dir / s.name);
    else write_file(dir / s.name, s.text);
  }
  std::vector<std::string> args;
  std::istringstream words(c.text_of("args", "-o out.net io.txt global.txt local.txt data.txt"));
  for (std::string w; words >> w;) args.push_back(w);

  const fs::path home = fs::current_path();
  fs::current_path(dir);
  const ToolRun run = run_tool_with(std::move(args), c.text_of("stdin", ""));
  fs::current_path(home);
  Outcome o{run.status, run.out, run.err, {}};
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string name = fs::relative(entry.path(), dir).string();
    if (entry.is_directory()) name += "/";
    std::string text = entry.is_directory() ? "" : read_file(entry.path());
    // An input the run left as it was is no result; one it replaced is.
    const auto input = inputs.find(name);
    if (input == inputs.end() || input->second != text) o.files.emplace_back(name, text);
  }
  std::sort(o.files.begin(), o.files.end());
  return o;
}

// The case with its expectations replaced by what the run produced.
std::string updated_case(const Case& c, const Outcome& o) {
  std::vector<Section> results{{"expect status", std::to_string(o.status) + "\n"},
                               {"expect stdout", o.out},
                               {"expect stderr", o.err}};
  for (const auto& [name, text] : o.files) results.push_back({"expect " + name, text});
  std::string text = c.comment;
  auto emit = [&text](const std::string& name, const std::string& body) {
    const bool escaped = needs_escapes(body);
    const bool noeol = !body.empty() && body.back() != '\n';
    text += "%% " + name + (noeol ? " noeol" : "") + (escaped ? " escaped" : "") + "\n";
    text += (escaped ? escape(body) : body) + (noeol ? "\n" : "");
  };
  for (const Section& s : c.sections) {
    if (s.name.rfind("expect ", 0) != 0) emit(s.name, s.text);
  }
  // Status and console texts at their defaults are left out; files never.
  for (std::size_t i = 0; i < results.size(); ++i) {
    const Section& r = results[i];
    const bool is_default = i < 3 && (r.text.empty() || r.text == "0\n");
    if (!is_default || c.find(r.name) != nullptr) emit(r.name, r.text);
  }
  return text;
}

class Cases : public ::testing::TestWithParam<fs::path> {};

TEST_P(Cases, Run) {
  const Case c = parse_case(GetParam());
  TempDir dir;
  const Outcome o = run_case(c, dir.path());
  if (std::getenv("SYN_UPDATE") != nullptr) {
    write_file(c.file, updated_case(c, o));
    return;
  }
  EXPECT_EQ(o.status, std::stoi(c.text_of("expect status", "0")));
  EXPECT_EQ(o.out, c.text_of("expect stdout", ""));
  EXPECT_EQ(o.err, c.text_of("expect stderr", ""));
  std::set<std::string> expected_files;
  for (const Section& s : c.sections) {
    const std::string name = s.name.substr(std::min(s.name.size(), std::size_t{7}));
    if (s.name.rfind("expect ", 0) != 0 || name == "status" || name == "stdout" ||
        name == "stderr") {
      continue;
    }
    expected_files.insert(name);
    const auto left = std::find_if(o.files.begin(), o.files.end(),
                                   [&](const auto& f) { return f.first == name; });
    if (left == o.files.end()) ADD_FAILURE() << "the run left no file " << name;
    else EXPECT_EQ(left->second, s.text) << "in the file " << name;
  }
  for (const auto& [name, text] : o.files) {
    EXPECT_TRUE(expected_files.count(name) != 0) << "the run left an unexpected file " << name;
  }
}

std::vector<fs::path> all_cases() {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(SYN_CASES)) {
    if (entry.path().extension() == ".case") found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// "control/ring.case" runs as the test "control_ring".
std::string case_name(const ::testing::TestParamInfo<fs::path>& info) {
  std::string name = fs::relative(info.param, SYN_CASES).replace_extension().string();
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(, Cases, ::testing::ValuesIn(all_cases()), case_name);

}  // namespace
}  // namespace syn::test
