#include "netlist/write_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <streambuf>

namespace syn {

ReplacingFile::ReplacingFile(const std::string& path)
    : path_(path), temporary_(path + ".tmp" + std::to_string(::getpid())) {
  fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) fail();
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) std::remove(temporary_.c_str());
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
  }
  return true;
}

std::string ReplacingFile::commit() {
  if (!failure_.empty()) return failure_;
  if (::fsync(fd_) != 0) fail();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail();
  if (failure_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) fail();
  committed_ = failure_.empty();
  return failure_;
}

namespace {

// A stream buffer that hands its bytes on to a ReplacingFile.
class FileBuffer : public std::streambuf {
 public:
  explicit FileBuffer(ReplacingFile& file) : file_(file) { setp(bytes_, bytes_ + sizeof bytes_); }

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
        file_.write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
    setp(bytes_, bytes_ + sizeof bytes_);
    return written ? 0 : -1;
  }

 private:
  ReplacingFile& file_;
  char bytes_[1 << 16];
};

}  // namespace

std::string write_stream_file(const std::string& path,
                              const std::function<void(std::ostream&)>& fill) {
  ReplacingFile file(path);
  if (file.failed()) return file.commit();
  {
    FileBuffer buffer(file);
    std::ostream out(&buffer);
    fill(out);
    out.flush();
  }
  return file.commit();
}

}  // namespace syn
