#include "netlist/write_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>

namespace syn {

bool flush_to_disk(int fd) { return ::fsync(fd) == 0; }

std::string replace_file(const std::string& path,
                         const std::function<std::string(const std::string& temporary)>& write_temporary) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  std::string reason;
  try {
    reason = write_temporary(temporary);
  } catch (...) {
    // Out of memory while writing: no half-written file stays behind.
    std::remove(temporary.c_str());
    throw;
  }
  if (reason.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
    reason = std::strerror(errno);
  }
  if (!reason.empty()) std::remove(temporary.c_str());
  return reason;
}

std::string write_file_atomically(const std::string& path,
                                  const std::function<void(std::ostream&)>& fill) {
  return replace_file(path, [&fill](const std::string& temporary) -> std::string {
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      if (!out) return std::strerror(errno);
      fill(out);
      out.close();
      if (!out) return std::strerror(errno);
    }
    // The bytes reach the disk before the new name does, so that even a
    // machine that stops right after the rename shows the whole file.
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    const bool synced = flush_to_disk(fd);
    const std::string reason = synced ? "" : std::strerror(errno);
    ::close(fd);
    return reason;
  });
}

}  // namespace syn
