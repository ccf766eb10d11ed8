// A test case file (tests/cases/README.md): comment lines, then sections
// that each start at a line "%% NAME [noeol] [escaped]".
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "test_files.hpp"

namespace syn::test {

struct Section {
  std::string name;  // "io.txt", "args", "expect stderr", ...
  std::string text;
  bool escaped = false;
};

struct Case {
  std::filesystem::path file;
  std::string comment;  // the lines before the first section
  std::vector<Section> sections;

  const Section* find(const std::string& name) const {
    for (const Section& s : sections)
      if (s.name == name) return &s;
    return nullptr;
  }
  std::string text_of(const std::string& name, const std::string& absent) const {
    const Section* s = find(name);
    return s != nullptr ? s->text : absent;
  }
};

// In an escaped section "\xHH" stands for one byte and "\\" for a backslash.
inline std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A section starts at a line "%% NAME [noeol] [escaped]" and holds the lines
// up to the next such line, each with its line end; "noeol" drops the last.
inline Case parse_case(const std::filesystem::path& file) {
  Case c{file, {}, {}};
  std::istringstream in(read_file(file));
  std::string line;
  std::vector<bool> noeol;
  while (std::getline(in, line)) {
    if (line.rfind("%% ", 0) == 0) {
      std::istringstream words(line.substr(3));
      Section s;
      words >> s.name;
      if (s.name == "expect") {
        std::string what;
        words >> what;
        s.name += " " + what;
      }
      bool drop_eol = false;
      for (std::string flag; words >> flag;) {
        drop_eol |= flag == "noeol";
        s.escaped |= flag == "escaped";
      }
      c.sections.push_back(s);
      noeol.push_back(drop_eol);
    } else if (c.sections.empty()) {
      c.comment += line + "\n";
    } else {
      c.sections.back().text += line + "\n";
    }
  }
  for (std::size_t i = 0; i < c.sections.size(); ++i) {
    Section& s = c.sections[i];
    if (noeol[i] && !s.text.empty()) s.text.pop_back();
    if (s.escaped) s.text = unescape(s.text);
  }
  return c;
}

}  // namespace syn::test
