#include "netlist/write_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <streambuf>

namespace syn {

bool is_replaced_through_temporary(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode);
}

namespace {

// The file a path leads to through symbolic links: a link is kept and what
// it points to is replaced (made, when it does not exist yet), with the
// temporary beside that. Replacing the link itself would cut it, and for
// /dev/stdout would put a regular file in /dev. A loop of links is left to
// fail as the path itself.
std::string followed_links(const std::string& path) {
  namespace fs = std::filesystem;
  constexpr int kMostLinks = 40;
  fs::path at = path;
  for (int links = 0; links < kMostLinks; ++links) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(at, error))) return at.string();
    const fs::path target = fs::read_symlink(at, error);
    if (error) return path;
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  return path;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path)
    : path_(followed_links(path)), direct_(!is_replaced_through_temporary(path)) {
  if (direct_) {
    // A device or a FIFO is written into as it is: replacing it with a
    // regular file would break whatever reads from it.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
  } else {
    open_temporary();
  }
  if (fd_ < 0) fail();
}

// FILE.tmp<pid>, or FILE.tmp<pid>.N when another output of this run is being
// written to the same target at the same time (the netlist written while
// mapping and a picture named like it): each keeps a temporary of its own.
void ReplacingFile::open_temporary() {
  const std::string first = path_ + ".tmp" + std::to_string(::getpid());
  temporary_ = first;
  for (int n = 1; n <= 100; ++n) {
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) return;
    temporary_ = first + "." + std::to_string(n);
  }
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !direct_) std::remove(temporary_.c_str());
}

void ReplacingFile::fail() {
  if (failure_.empty()) failure_ = std::strerror(errno);
}

bool ReplacingFile::write(std::string_view bytes) {
  if (!failure_.empty()) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail();
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    written_ += static_cast<std::size_t>(written);
  }
  start_writeback();
  return true;
}

// Asks the kernel to start putting what was written so far on the disk, a
// few megabytes at a time, so that the sync at the end waits for little
// more than the last of them instead of for the whole file.
void ReplacingFile::start_writeback() {
#ifdef SYNC_FILE_RANGE_WRITE
  constexpr std::size_t kWritebackStep = std::size_t{8} << 20;
  if (direct_ || written_ - writeback_started_ < kWritebackStep) return;  // a FIFO has no disk
  // Only a hint: a file system that refuses it is synced at the end anyway.
  ::sync_file_range(fd_, static_cast<off_t>(writeback_started_),
                    static_cast<off_t>(written_ - writeback_started_), SYNC_FILE_RANGE_WRITE);
  writeback_started_ = written_;
#endif
}

std::string ReplacingFile::commit() {
  if (!failure_.empty()) return failure_;
  if (!direct_ && ::fsync(fd_) != 0) fail();  // a FIFO or a device has nothing to sync
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail();
  if (!direct_ && failure_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    fail();
  }
  committed_ = failure_.empty();
  return failure_;
}

namespace {

// A stream buffer that hands its bytes on to a destination.
class DestinationBuffer : public std::streambuf {
 public:
  explicit DestinationBuffer(Destination& to) : to_(to) { setp(bytes_, bytes_ + sizeof bytes_); }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    const bool written =
        to_.write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
    setp(bytes_, bytes_ + sizeof bytes_);
    return written ? 0 : -1;
  }

 private:
  Destination& to_;
  char bytes_[1 << 16];
};

}  // namespace

std::string write_through_stream(Destination& to, const std::function<void(std::ostream&)>& fill) {
  if (to.failed()) return to.commit();
  {
    DestinationBuffer buffer(to);
    std::ostream out(&buffer);
    fill(out);
    out.flush();
  }
  return to.commit();
}

}  // namespace syn
