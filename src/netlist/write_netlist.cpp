#include "netlist/write_netlist.hpp"

#include <string_view>

#include "netlist/write_file.hpp"

namespace syn {
namespace {

constexpr std::string_view kCellGap = "          ";
constexpr std::string_view kPinLead = "        Pin ";
constexpr std::string_view kPinGap = "        ";
constexpr std::size_t kMaxDigits = ChunkedText::kMaxDigits;

// The most bytes a cell's text can take, so that it is formatted without
// checking for room at every field.
std::size_t most_bytes_of(const Netlist& netlist, const Cell& cell) {
  std::size_t size = netlist.type_name(cell).size() + kCellGap.size() + kMaxDigits + 1;
  for (const NetId net : netlist.pins(cell))
    size += kPinLead.size() + kMaxDigits + kPinGap.size() + netlist.most_name_bytes(net) + 1;
  return size;
}

// Formats a cell at `at`, which has room for most_bytes_of(cell); returns
// the end of its text.
char* put_cell(char* at, const Netlist& netlist, const Cell& cell) {
  at = ChunkedText::put(at, netlist.type_name(cell));
  at = ChunkedText::put(at, kCellGap);
  at = ChunkedText::put_number(at, cell.instance);
  *at++ = '\n';
  long position = 0;
  for (const NetId net : netlist.pins(cell)) {
    at = ChunkedText::put(at, kPinLead);
    at = ChunkedText::put_number(at, ++position);
    at = ChunkedText::put(at, kPinGap);
    at = netlist.put_net_name(at, net);
    *at++ = '\n';
  }
  return at;
}

}  // namespace

bool write_netlist(const Netlist& netlist, const TextSink& sink) {
  ChunkedText text(sink);
  for (const Cell& cell : netlist.cells()) {
    if (!text.ok()) return false;
    text.advance(put_cell(text.room(most_bytes_of(netlist, cell)), netlist, cell));
  }
  return text.finish();
}

void write_netlist(const Netlist& netlist, std::ostream& out) {
  write_netlist(netlist, [&out](std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return true;
  });
}

std::string write_netlist_file(const Netlist& netlist, const std::string& path) {
  ReplacingFile file(path);
  if (!file.failed()) {
    write_netlist(netlist, [&file](std::string_view text) { return file.write(text); });
  }
  return file.commit();
}

}  // namespace syn
