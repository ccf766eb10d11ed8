#include "netlist/write_netlist.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "netlist/write_file.hpp"

namespace syn {
namespace {

// The text is built in a buffer and handed on in chunks of about this size:
// few, large writes cost far less than one stream insertion per field.
constexpr std::size_t kChunk = 1 << 20;

void append_number(std::string& text, int number) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  text.append(digits, end);
}

void append_cell(std::string& text, const comp_node& cell) {
  text += cell.name;
  text += "          ";
  append_number(text, cell.instant_num);
  text += '\n';
  int position = 0;
  for (const pin_node& pin : cell.pin_link) {
    text += "        Pin ";
    append_number(text, ++position);
    text += "        ";
    text += pin.name;
    text += '\n';
  }
}

// Formats every cell, passing the text on whenever a chunk is full; stops
// early when `deliver` fails.
bool format_netlist(const Netlist& netlist, const std::function<bool(std::string_view)>& deliver) {
  std::string text;
  text.reserve(kChunk + 4096);
  for (const comp_node& cell : netlist.comps()) {
    append_cell(text, cell);
    if (text.size() >= kChunk) {
      if (!deliver(text)) return false;
      text.clear();
    }
  }
  return text.empty() || deliver(text);
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
  if (!format_netlist(netlist, [fd](std::string_view text) { return write_all(fd, text); }))
    reason = std::strerror(errno);
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
