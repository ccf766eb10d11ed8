// Files for tests: whole-file reads and writes, a temporary folder that
// is removed with everything in it when the test ends, and a shell command
// run in such a folder.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace syn::test {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "syn-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The four tables of a design, in the order the tool takes them.
inline const char* const kTables[] = {"io.txt", "global.txt", "local.txt", "data.txt"};

// Runs `command` in `dir` through the shell; its standard output and error
// end up in `log`. Gives the exit status, -1 when it did not exit.
inline int shell(const std::filesystem::path& dir, const std::string& command, std::string& log) {
  const std::string line = "cd '" + dir.string() + "' && (" + command + ") >log.txt 2>&1";
  const int raw = std::system(line.c_str());
  log = read_file(dir / "log.txt");
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace syn::test
