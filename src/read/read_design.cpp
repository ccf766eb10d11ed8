#include "read/read_design.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "util/run_beside.hpp"

namespace syn {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The whole content of a file, or the system's reason why it cannot be read.
bool read_whole_file(const std::string& path, std::string& content, std::string& reason) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
    reason = std::strerror(EISDIR);
    return false;
  }
  // A regular file is read in one piece into a string of its size; what
  // a file that changes meanwhile (or a pipe) has beyond that is appended.
  std::size_t got = 0;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    content.resize(static_cast<std::size_t>(info.st_size));
    got = std::fread(content.data(), 1, content.size(), file.get());
    content.resize(got);
  }
  char buffer[65536];
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  if (std::ferror(file.get())) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

bool load_input_files(const InputFiles& files, std::string (&texts)[4], Diagnostics& diag) {
  const std::string* names[4] = {&files.io_spec, &files.global_net, &files.local_net,
                                 &files.data_net};
  bool read[4] = {};
  std::string reasons[4];
  const auto load = [&](int i) { read[i] = read_whole_file(*names[i], texts[i], reasons[i]); };
  // The data net, most of a design, is loaded on a second thread while the
  // other three are; only from a regular file, as a pipe or a device named
  // twice must be read in turn.
  struct stat info {};
  if (::stat(files.data_net.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    run_beside([&] { load(3); },
               [&] {
                 for (int i = 0; i < 3; ++i) load(i);
               });
  } else {
    for (int i = 0; i < 4; ++i) load(i);
  }
  for (int i = 0; i < 4; ++i) {
    if (!read[i]) diag.error("cannot open " + *names[i] + ": " + reasons[i]);
  }
  return read[0] && read[1] && read[2] && read[3];
}

}  // namespace syn
