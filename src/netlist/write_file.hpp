// Writing an output file so that it appears complete or not at all.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "netlist/destination.hpp"

namespace syn {

// An output file written through the temporary FILE.tmp<pid> beside it
// (FILE.tmp<pid>.N when that is taken). The bytes reach the disk before the
// new name does (commit syncs, then renames), so that even a machine that
// stops right after the rename shows the whole file. A file not committed,
// or whose writing failed, leaves nothing behind. An existing target that is
// neither a regular file nor a folder (a character device such as
// /dev/null, a FIFO) is opened and written directly instead, and never
// replaced. A symbolic link is followed: the file it leads to is replaced,
// and the link stays.
class ReplacingFile final : public Destination {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile() override;

  // Appends bytes, retrying short writes; false once a write has failed.
  bool write(std::string_view bytes) override;

  bool failed() const override { return !failure_.empty(); }

  // Syncs, closes and renames the temporary into place. Returns an empty
  // string on success, otherwise the reason the file could not be written.
  std::string commit() override;

  // A device or a FIFO is written into directly: its bytes cannot be taken
  // back.
  bool held_until_commit() const override { return !direct_; }

 private:
  void open_temporary();
  void fail();  // keeps the reason errno gives, unless one is kept already
  void start_writeback();

  std::string path_;
  bool direct_ = false;  // writing into the target itself
  std::string temporary_;
  int fd_ = -1;
  std::string failure_;
  bool committed_ = false;
  std::size_t written_ = 0;            // bytes written so far
  std::size_t writeback_started_ = 0;  // bytes the kernel was asked to put on the disk
};

// False when `path` names something that exists and is neither a regular
// file nor a folder (a character device, a FIFO, a socket): such a target
// is written into as it is.
bool is_replaced_through_temporary(const std::string& path);

// Writes and commits `to` from the text `fill` writes into a stream; an
// empty string on success, otherwise the reason it failed.
std::string write_through_stream(Destination& to, const std::function<void(std::ostream&)>& fill);

}  // namespace syn
