#include "netlist/write_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>

namespace syn {
namespace {

bool flush_to_disk(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

std::string write_file_atomically(const std::string& path,
                                  const std::function<void(std::ostream&)>& fill) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return std::strerror(errno);
    fill(out);
    out.close();
    if (!out) {
      const std::string reason = std::strerror(errno);
      std::remove(temporary.c_str());
      return reason;
    }
  }
  // The bytes reach the disk before the new name does, so that even a
  // machine that stops right after the rename shows the whole file.
  if (!flush_to_disk(temporary)) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return reason;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return reason;
  }
  return {};
}

}  // namespace syn
