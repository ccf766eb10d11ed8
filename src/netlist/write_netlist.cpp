#include "netlist/write_netlist.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <string_view>
#include <system_error>

#include "netlist/write_file.hpp"

namespace syn {
namespace {

// The text is built in a buffer and handed on in chunks of about this size:
// few, large writes cost far less than one stream insertion per field.
constexpr std::size_t kChunk = 1 << 22;

constexpr std::string_view kCellGap = "          ";
constexpr std::string_view kPinLead = "        Pin ";
constexpr std::string_view kPinGap = "        ";
constexpr std::size_t kMaxDigits = 11;  // an int in decimal, with its sign

// The most bytes a cell's text can take, so that it is formatted without
// checking for room at every field.
std::size_t most_bytes_of(const Cell& cell) {
  std::size_t size = cell.name.size() + kCellGap.size() + kMaxDigits + 1;
  for (const Pin& pin : cell.pins)
    size += kPinLead.size() + kMaxDigits + kPinGap.size() + pin.name.size() + 1;
  return size;
}

char* put(char* at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

char* put_number(char* at, long number) { return std::to_chars(at, at + kMaxDigits, number).ptr; }

// Formats a cell at `at`, which has room for most_bytes_of(cell); returns
// the end of its text.
char* put_cell(char* at, const Cell& cell) {
  at = put(at, cell.name);
  at = put(at, kCellGap);
  at = put_number(at, cell.instance);
  *at++ = '\n';
  long position = 0;
  for (const Pin& pin : cell.pins) {
    at = put(at, kPinLead);
    at = put_number(at, ++position);
    at = put(at, kPinGap);
    at = put(at, pin.name);
    *at++ = '\n';
  }
  return at;
}

// Hands chunks of text on to `deliver` on a second thread, so that writing
// one chunk overlaps formatting the next. Chunks are delivered one at a
// time, in order; after a failed delivery nothing more is delivered.
class ChunkPipe {
 public:
  explicit ChunkPipe(const std::function<bool(std::string_view)>& deliver) : deliver_(deliver) {}
  ChunkPipe(const ChunkPipe&) = delete;
  ChunkPipe& operator=(const ChunkPipe&) = delete;
  ~ChunkPipe() { finish(); }

  // The buffer being filled, with room for at least `size` bytes (left
  // uninitialised: it is written before it is read).
  char* filling(std::size_t size) {
    Buffer& buffer = buffers_[current_];
    if (buffer.size < size) buffer = {std::make_unique_for_overwrite<char[]>(size), size};
    return buffer.bytes.get();
  }

  // Sends the first `used` bytes of the buffer being filled; false once a
  // delivery has failed.
  bool send(std::size_t used) {
    if (!finish()) return false;
    const std::string_view chunk(buffers_[current_].bytes.get(), used);
    try {
      pending_ = std::async(std::launch::async, [this, chunk] { return deliver_(chunk); });
    } catch (const std::system_error&) {
      // No thread to be had (a process limit): this one writes the chunk.
      ok_ = deliver_(chunk);
      if (!ok_) return false;
    }
    current_ ^= 1;
    return true;
  }

  // Sends the last chunk on this thread (a small netlist needs no other)
  // once the chunk in flight is written; false when any delivery failed.
  bool send_last(std::size_t used) {
    if (finish() && used > 0) ok_ = deliver_(std::string_view(buffers_[current_].bytes.get(), used));
    return ok_;
  }

  // Waits for the chunk in flight; false when any delivery failed.
  bool finish() {
    if (pending_.valid()) ok_ = pending_.get() && ok_;
    return ok_;
  }

 private:
  struct Buffer {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
  };
  const std::function<bool(std::string_view)>& deliver_;
  Buffer buffers_[2];
  int current_ = 0;
  std::future<bool> pending_;
  bool ok_ = true;
};

// Formats every cell, passing the text on whenever a chunk is full; stops
// early when `deliver` fails.
bool format_netlist(const Netlist& netlist, const std::function<bool(std::string_view)>& deliver) {
  ChunkPipe pipe(deliver);
  std::size_t room = 0;
  std::size_t used = 0;
  char* text = nullptr;
  for (const Cell& cell : netlist.comps()) {
    const std::size_t most = most_bytes_of(cell);
    if (used + most > room) {
      if (used > 0 && !pipe.send(used)) return false;
      room = std::max(kChunk, most);
      text = pipe.filling(room);
      used = 0;
    }
    used = static_cast<std::size_t>(put_cell(text + used, cell) - text);
  }
  return pipe.send_last(used);
}

// Writes all of `text` to the file, retrying short writes.
bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the netlist into a new file; the reason on failure, else empty.
std::string write_to_new_file(const Netlist& netlist, const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return std::strerror(errno);
  std::string reason;
  // The writes may run on another thread, whose errno is its own.
  int write_error = 0;
  const auto deliver = [fd, &write_error](std::string_view text) {
    if (write_all(fd, text)) return true;
    write_error = errno;
    return false;
  };
  if (!format_netlist(netlist, deliver)) reason = std::strerror(write_error);
  // The bytes reach the disk before the new name does, so that even a
  // machine that stops right after the rename shows the whole file.
  if (reason.empty() && !flush_to_disk(fd)) reason = std::strerror(errno);
  if (::close(fd) != 0 && reason.empty()) reason = std::strerror(errno);
  return reason;
}

}  // namespace

void write_netlist(const Netlist& netlist, std::ostream& out) {
  format_netlist(netlist, [&out](std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return true;
  });
}

std::string write_netlist_file(const Netlist& netlist, const std::string& path) {
  return replace_file(path, [&netlist](const std::string& temporary) {
    return write_to_new_file(netlist, temporary);
  });
}

}  // namespace syn
