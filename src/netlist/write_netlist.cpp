#include "netlist/write_netlist.hpp"

#include <string_view>


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

void put_cells(const Netlist& netlist, std::size_t first, std::size_t end, ChunkedText& text) {
  for (std::size_t i = first; i < end && text.ok(); ++i) {
    const Cell& cell = netlist.cells()[i];
    text.advance(put_cell(text.room(most_bytes_of(netlist, cell)), netlist, cell));
  }
}

}  // namespace

bool write_netlist(const Netlist& netlist, const TextSink& sink) {
  ChunkedText text(sink);
  put_cells(netlist, 0, netlist.cells().size(), text);
  return text.finish();
}

void write_netlist(const Netlist& netlist, std::ostream& out) {
  write_netlist(netlist, [&out](std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return true;
  });
}

std::string write_netlist(const Netlist& netlist, Destination& to) {
  if (!to.failed()) write_netlist(netlist, [&to](std::string_view text) { return to.write(text); });
  return to.commit();
}

NetlistFileWriter::NetlistFileWriter(const Netlist& netlist, Destination& to)
    : netlist_(netlist),
      to_(to),
      sink_([this](std::string_view bytes) { return to_.write(bytes); }),
      text_(sink_) {
  if (to_.failed()) return;
  thread_.emplace(netlist, [this](std::size_t begin, std::size_t end) {
    if (text_.ok()) put_cells(netlist_, begin, end, text_);
  });
}

std::string NetlistFileWriter::finish() {
  // Without a second thread (or a file to write) the whole netlist is
  // written now.
  if (!thread_ || !thread_->finish()) return write_netlist(netlist_, to_);
  text_.finish();
  return to_.commit();
}

}  // namespace syn
