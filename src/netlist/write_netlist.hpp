// The netlist file: every cell line followed by its pin lines.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "netlist/netlist.hpp"
#include "netlist/settled_cells.hpp"
#include "netlist/text_chunks.hpp"
#include "netlist/write_file.hpp"

namespace syn {

// Writes the netlist text to `sink` in chunks; false when the sink failed
// (nothing more is written after that).
bool write_netlist(const Netlist& netlist, const TextSink& sink);

// Writes the netlist text to `out`.
void write_netlist(const Netlist& netlist, std::ostream& out);

// Writes the netlist to `path` through a temporary file beside it that is
// renamed into place once complete. Returns an empty string on success,
// otherwise the reason it failed (nothing is left behind).
std::string write_netlist_file(const Netlist& netlist, const std::string& path);

// The netlist file written on a second thread while the data net is mapped:
// the cells are formatted as they settle (Netlist::settle), so that little
// is left to write when mapping ends. Like write_netlist_file it goes
// through a temporary file; nothing is renamed into place before `finish`,
// and an object dropped before that leaves nothing behind. Only for a target
// that is replaced (see is_replaced_through_temporary): bytes sent to a
// device or a FIFO could not be taken back if the run fails.
class NetlistFileWriter {
 public:
  NetlistFileWriter(const Netlist& netlist, const std::string& path);
  NetlistFileWriter(const NetlistFileWriter&) = delete;
  NetlistFileWriter& operator=(const NetlistFileWriter&) = delete;

  // Once mapping has settled every cell: waits for the rest to be written
  // and renames the file into place. Returns an empty string on success,
  // otherwise the reason it failed (nothing is left behind).
  std::string finish();

 private:
  const Netlist& netlist_;
  ReplacingFile file_;
  TextSink sink_;
  ChunkedText text_;                          // filled on the writing thread until finish
  std::optional<SettledCellsThread> thread_;  // last: stopped first
};

}  // namespace syn
