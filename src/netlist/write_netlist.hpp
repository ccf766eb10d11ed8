// The netlist file: every cell line followed by its pin lines.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "netlist/netlist.hpp"
#include "netlist/settled_cells.hpp"
#include "netlist/text_chunks.hpp"
#include "netlist/destination.hpp"

namespace syn {

// Writes the netlist text to `sink` in chunks; false when the sink failed
// (nothing more is written after that).
bool write_netlist(const Netlist& netlist, const TextSink& sink);

// Writes the netlist text to `out`.
void write_netlist(const Netlist& netlist, std::ostream& out);

// Writes the netlist to `to` and commits it. Returns an empty string on
// success, otherwise the reason it failed.
std::string write_netlist(const Netlist& netlist, Destination& to);

// The netlist written on a second thread while the data net is mapped: the
// cells are formatted as they settle (Netlist::settle), so that little is
// left to write when mapping ends. Nothing is committed before `finish`.
// Only for a destination that holds its bytes until commit: bytes sent to
// standard output, a device or a FIFO could not be taken back if the run
// fails.
class NetlistFileWriter {
 public:
  NetlistFileWriter(const Netlist& netlist, Destination& to);
  NetlistFileWriter(const NetlistFileWriter&) = delete;
  NetlistFileWriter& operator=(const NetlistFileWriter&) = delete;

  // Once mapping has settled every cell: waits for the rest to be written
  // and commits. Returns an empty string on success, otherwise the reason
  // it failed.
  std::string finish();

 private:
  const Netlist& netlist_;
  Destination& to_;
  TextSink sink_;
  ChunkedText text_;                          // filled on the writing thread until finish
  std::optional<SettledCellsThread> thread_;  // last: stopped first
};

}  // namespace syn
