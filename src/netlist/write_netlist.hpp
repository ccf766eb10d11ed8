// The netlist file: every cell line followed by its pin lines.
#pragma once

#include <ostream>
#include <string>

#include "netlist/netlist.hpp"
#include "netlist/text_chunks.hpp"

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

}  // namespace syn
