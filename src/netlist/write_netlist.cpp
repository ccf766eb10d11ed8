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

namespace {

// Writes the whole netlist into a file opened for it and renames it into
// place; the reason it failed, or an empty string.
std::string write_and_commit(const Netlist& netlist, ReplacingFile& file) {
  if (!file.failed()) {
    write_netlist(netlist, [&file](std::string_view text) { return file.write(text); });
  }
  return file.commit();
}

}  // namespace

std::string write_netlist_file(const Netlist& netlist, const std::string& path) {
  ReplacingFile file(path);
  return write_and_commit(netlist, file);
}

NetlistFileWriter::NetlistFileWriter(const Netlist& netlist, const std::string& path)
    : netlist_(netlist), file_(path) {
  if (file_.failed()) return;
  try {
    thread_ = std::jthread([this](const std::stop_token& stop) { write(stop); });
  } catch (const std::system_error&) {
    // No second thread to be had: finish writes the whole netlist.
  }
}

void NetlistFileWriter::write(const std::stop_token& stop) {
  try {
    const TextSink sink = [this](std::string_view bytes) { return file_.write(bytes); };
    ChunkedText text(sink);
    for (std::size_t done = 0; text.ok();) {
      const Watermark::Level settled = netlist_.settled_cells().wait_above(done, stop);
      if (stop.stop_requested()) return;
      put_cells(netlist_, done, settled.count, text);
      done = settled.count;
      if (settled.final) break;
    }
    text.finish();
  } catch (...) {
    failure_ = std::current_exception();
  }
}

std::string NetlistFileWriter::finish() {
  if (!thread_.joinable()) return write_and_commit(netlist_, file_);  // no second thread
  thread_.join();
  if (failure_) std::rethrow_exception(failure_);
  return file_.commit();
}

}  // namespace syn
