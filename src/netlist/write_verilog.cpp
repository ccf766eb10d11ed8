#include "netlist/write_verilog.hpp"

#include <algorithm>
#include <charconv>
#include <deque>
#include <filesystem>
#include <set>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "netlist/block_relay.hpp"
#include "netlist/cell_tally.hpp"
#include "netlist/write_file.hpp"
#include "text/name_order.hpp"
#include "util/run_beside.hpp"

namespace syn {
namespace {

// Reserved words of Verilog-2005, and of SystemVerilog for tools read in that
// mode: escaping them costs nothing.
const std::unordered_set<std::string_view>& keywords() {
  static const std::unordered_set<std::string_view> words = {
      "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case",
      "casex", "casez", "cell", "cmos", "config", "deassign", "default", "defparam", "design",
      "disable", "edge", "else", "end", "endcase", "endconfig", "endfunction", "endgenerate",
      "endmodule", "endprimitive", "endspecify", "endtable", "endtask", "event", "for", "force",
      "forever", "fork", "function", "generate", "genvar", "highz0", "highz1", "if", "ifnone",
      "incdir", "include", "initial", "inout", "input", "instance", "integer", "join", "large",
      "liblist", "library", "localparam", "macromodule", "medium", "module", "nand", "negedge",
      "nmos", "nor", "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter",
      "pmos", "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup",
      "pulsestyle_onevent", "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg",
      "release", "repeat", "rnmos", "rpmos", "rtran", "rtranif0", "rtranif1", "scalared",
      "showcancelled", "signed", "small", "specify", "specparam", "strong0", "strong1",
      "supply0", "supply1", "table", "task", "time", "tran", "tranif0", "tranif1", "tri",
      "tri0", "tri1", "triand", "trior", "trireg", "unsigned", "use", "uwire", "vectored",
      "wait", "wand", "weak0", "weak1", "while", "wire", "wor", "xnor", "xor",
      // SystemVerilog
      "alias", "always_comb", "always_ff", "always_latch", "assert", "assume", "bit", "break",
      "byte", "chandle", "class", "const", "constraint", "context", "continue", "cover",
      "dist", "do", "endclass", "endinterface", "endpackage", "endprogram", "endproperty",
      "endsequence", "enum", "export", "extends", "extern", "final", "foreach", "forkjoin",
      "iff", "import", "inside", "int", "interface", "intersect", "logic", "longint",
      "modport", "new", "null", "package", "packed", "priority", "program", "property",
      "protected", "pure", "rand", "randc", "ref", "restrict", "return", "sequence",
      "shortint", "shortreal", "static", "string", "struct", "super", "this", "throughout",
      "timeprecision", "timeunit", "type", "typedef", "union", "unique", "var", "virtual",
      "void", "wait_order", "with", "within"};
  return words;
}

// Every keyword is short and starts with a lower-case letter, so most names
// need no look-up; the others are compared with the few keywords of their
// first letter and length, without hashing.
constexpr std::size_t kLongestKeyword = 19;  // pulsestyle_ondetect

using KeywordGroups = std::array<std::vector<std::string_view>, 26 * (kLongestKeyword + 1)>;

std::size_t keyword_group(std::string_view word) {
  return static_cast<std::size_t>(word[0] - 'a') * (kLongestKeyword + 1) + word.size();
}

const KeywordGroups& keyword_groups() {
  static const KeywordGroups groups = [] {
    KeywordGroups by_start;
    for (const std::string_view word : keywords()) by_start[keyword_group(word)].push_back(word);
    return by_start;
  }();
  return groups;
}

bool is_keyword(std::string_view name) {
  if (name.size() > kLongestKeyword || name[0] < 'a' || name[0] > 'z') return false;
  const std::vector<std::string_view>& group = keyword_groups()[keyword_group(name)];
  return std::find(group.begin(), group.end(), name) != group.end();
}

// The bytes a plain identifier starts with, and those it goes on with.
bool identifier_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool identifier_byte(char c) { return identifier_start(c) || (c >= '0' && c <= '9') || c == '$'; }

bool is_plain_identifier(std::string_view name) {
  if (name.empty() || !identifier_start(name[0])) return false;
  return std::all_of(name.begin(), name.end(), identifier_byte) && !is_keyword(name);
}

// An escaped identifier carries any printable byte but white space.
bool escapable_byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > ' ' && byte < 127;
}

bool escapable(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), escapable_byte);
}

// The name with every byte that an identifier cannot hold written _xHH.
std::string printable_form(std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (escapable_byte(c)) {
      out += c;
    } else {
      out += "_x";
      out += hex[byte >> 4];
      out += hex[byte & 15];
    }
  }
  return out.empty() ? "_" : out;
}

// Appends the name as it is written: itself, or escaped (\name ) where
// `plain` says it is no plain identifier.
void append_spelled(std::string& out, std::string_view name, bool plain) {
  if (plain) {
    out += name;
    return;
  }
  out += '\\';
  out += name;
  out += ' ';
}

// The inside of a Verilog string literal of `text`: quotes and backslashes
// escaped, other bytes that are no printable ASCII as octal escapes.
std::string verilog_string_body(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7f) {
      out += '\\';
      out += static_cast<char>('0' + (byte >> 6));
      out += static_cast<char>('0' + ((byte >> 3) & 7));
      out += static_cast<char>('0' + (byte & 7));
    } else {
      out += c;
    }
  }
  return out;
}

std::string identifier_of(std::string_view name) {
  std::string out;
  append_spelled(out, name, is_plain_identifier(name));
  return out;
}

bool contains_text(const std::vector<NamedId>& sorted, std::string_view text) {
  const NamedId wanted = named(0, text);
  const auto found = std::lower_bound(sorted.begin(), sorted.end(), wanted, text_before);
  return found != sorted.end() && same_text(*found, wanted);
}

// The identifiers of one Verilog name space: the texts of lists given at the
// start (each sorted by text), and the texts claimed since. Escaped and plain
// spellings of one text are the same identifier, so the text itself is the
// key. Only printable texts are asked for, so the lists may hold names that
// are not (they never match).
class NameSpace {
 public:
  NameSpace() = default;
  explicit NameSpace(std::vector<const std::vector<NamedId>*> sorted_lists)
      : lists_(std::move(sorted_lists)) {}

  bool taken(std::string_view text) const {
    for (const std::vector<NamedId>* list : lists_) {
      if (contains_text(*list, text)) return true;
    }
    return claimed_.find(text) != claimed_.end();
  }

  bool claim(std::string_view text) {
    if (taken(text)) return false;
    claimed_.emplace(text);
    return true;
  }

  // The wanted text if free and printable, else the first free
  // printable_form(wanted) + "_k", k = 1, 2, ...
  std::string claim_near(std::string_view wanted) {
    if (escapable(wanted) && claim(wanted)) return std::string(wanted);
    const std::string stem = printable_form(wanted);
    if (stem != wanted && claim(stem)) return stem;
    int& suffix = next_suffix_[stem];
    std::string candidate;
    do {
      candidate = stem + "_" + std::to_string(++suffix);
    } while (!claim(candidate));
    return candidate;
  }

 private:
  std::vector<const std::vector<NamedId>*> lists_;
  std::set<std::string, std::less<>> claimed_;
  std::unordered_map<std::string, int> next_suffix_;
};

// n when `text` is u<n>, as instance n is named (no sign, no leading zero).
std::optional<int> instance_number(std::string_view text) {
  if (text.size() < 2 || text[0] != 'u' || text[1] < '0' || text[1] > '9') return std::nullopt;
  if (text[1] == '0' && text.size() > 2) return std::nullopt;
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + 1, end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

// What the pins of a netlist hold: vectors with their largest index, and
// plain one-bit nets.
struct NetCensus {
  std::vector<int> largest_bit;  // by VectorId; -1 for a vector on no pin
  std::vector<NamedId> vectors;  // the vectors on pins, ascending by name
  std::vector<NamedId> plain;    // the plain nets on pins, ascending by name
  std::vector<WireSpelling> spelling;  // by NetId, as SortedNetNames::spelling
  std::size_t longest_plain = 0;       // the longest plain name on a pin, escaped
  std::vector<int> numbers;            // instance numbers whose name u<n> a net has
};

// What a name tells of its spelling (see SortedNetNames): fresh where it is
// not escapable, else its own where it is a plain identifier, else escaped.
// Read in one pass: it is asked of every name.
WireSpelling spelling_of(std::string_view text) {
  if (text.empty()) return WireSpelling::fresh_name;
  bool identifier = identifier_start(text[0]);
  for (const char c : text) {
    if (!escapable_byte(c)) return WireSpelling::fresh_name;
    identifier = identifier && identifier_byte(c);
  }
  return identifier && !is_keyword(text) ? WireSpelling::own_name : WireSpelling::escaped_name;
}

// Read off the signals' use: a vector has a signal for each bit up to its
// largest on a pin, and a plain net is on a pin when a pin drives or reads
// its one signal, which is numbered as the net (a bus net's number is a
// signal no pin uses).
bool plain_on_pin(const NetUse& use, NetId id) {
  return use.drivers(id) > 0 || use.readers(id) > 0;
}

// Notes the instance number of each name of the form u<n>; the first byte
// of a name is in its lead, so the others are passed over unread.
void note_instance_numbers(const std::vector<NamedId>& names, std::vector<int>& numbers) {
  constexpr std::uint64_t kFirstByte = std::uint64_t{0xff} << 56;
  constexpr std::uint64_t kLetterU = std::uint64_t{'u'} << 56;
  for (const NamedId& name : names) {
    if ((name.lead & kFirstByte) != kLetterU) continue;
    if (const auto number = instance_number(name.text)) numbers.push_back(*number);
  }
}

// The names sorted beforehand, kept where a pin holds them.
NetCensus take_census(const Netlist& netlist, const NetUse& use, SortedNetNames names) {
  NetCensus census;
  census.largest_bit.resize(netlist.vectors().size());
  for (VectorId v = 0; v < census.largest_bit.size(); ++v)
    census.largest_bit[v] = static_cast<int>(use.vector_signals(v).count) - 1;
  census.vectors = std::move(names.vectors);
  std::erase_if(census.vectors,
                [&](const NamedId& vector) { return census.largest_bit[vector.id] < 0; });
  census.plain = std::move(names.plain);
  std::erase_if(census.plain, [&](const NamedId& plain) { return !plain_on_pin(use, plain.id); });
  census.spelling = std::move(names.spelling);
  for (const NamedId& plain : census.plain) {
    if (census.spelling[plain.id] != WireSpelling::fresh_name)
      census.longest_plain = std::max(census.longest_plain, plain.text.size() + 2);
  }
  note_instance_numbers(census.vectors, census.numbers);
  note_instance_numbers(census.plain, census.numbers);
  std::sort(census.numbers.begin(), census.numbers.end());
  return census;
}

// Identifier texts for vectors and plain nets, claimed in that order of
// precedence; a text that is taken or unprintable gets a fresh one. Vector
// names differ from each other, and so do plain net names, so the only
// meetings among them are a plain net named like a vector.
struct NetNames {
  std::vector<std::string_view> vector_name;  // by VectorId
  // Plain nets not named as themselves, ascending by NetId.
  std::vector<std::pair<NetId, std::string_view>> renamed_wire;
  std::deque<std::string> fresh;  // the texts of fresh names
};

// The plain nets that cannot keep their names: unprintable, or a vector's.
std::vector<NetId> plain_nets_to_rename(const NetCensus& census) {
  std::vector<NetId> left;
  auto vector = census.vectors.begin();
  for (const NamedId& plain : census.plain) {
    while (vector != census.vectors.end() && text_before(*vector, plain)) ++vector;
    const bool meets_vector = vector != census.vectors.end() && same_text(*vector, plain);
    if (meets_vector || census.spelling[plain.id] == WireSpelling::fresh_name)
      left.push_back(plain.id);
  }
  return left;
}

// The vectors' names: their own where printable, else fresh.
void name_vectors(const Netlist& netlist, const NetCensus& census, NameSpace& space,
                  NetNames& names) {
  names.vector_name.resize(netlist.vectors().size());
  std::vector<VectorId> vectors_left;
  for (const NamedId& vector : census.vectors) {
    if (escapable(vector.text))
      names.vector_name[vector.id] = vector.text;
    else
      vectors_left.push_back(vector.id);
  }
  for (const VectorId v : vectors_left) {
    names.vector_name[v] =
        names.fresh.emplace_back(space.claim_near(netlist.text(netlist.vectors()[v])));
  }
}

// With `vectors_spelled`, every vector on a pin keeps its name, and only the
// plain nets are named.
NetNames name_nets(const Netlist& netlist, const NetCensus& census, bool vectors_spelled,
                   NameSpace& space) {
  NetNames names;
  if (!vectors_spelled) name_vectors(netlist, census, space, names);
  for (const NetId id : plain_nets_to_rename(census)) {
    names.renamed_wire.emplace_back(
        id, names.fresh.emplace_back(space.claim_near(netlist.plain_name(id))));
  }
  std::sort(names.renamed_wire.begin(), names.renamed_wire.end());
  return names;
}

// Instances are u<instance number>; the few whose name is taken (by a net,
// or by an earlier cell of the same number) get a fresh one. No fresh name
// has the form u<digits>, so the others need not enter the name space.
// Without nets named u<n>, only the cells of an unusual number (negative or
// repeated) can be taken, and only those are looked at.
void name_instances(const Netlist& netlist, const std::vector<std::size_t>& unusual,
                    const std::vector<int>& numbers_taken, NameSpace& space,
                    std::vector<std::pair<std::size_t, std::string>>& renamed) {
  const auto name_cell = [&](std::size_t i, bool unusual_number) {
    const int instance = netlist.cells()[i].instance;
    const bool repeated = unusual_number && instance >= 0;
    const bool taken =
        instance >= 0 ? std::binary_search(numbers_taken.begin(), numbers_taken.end(), instance)
                      : space.taken("u" + std::to_string(instance));
    if (!repeated && !taken) return;
    const std::string wanted = "u" + std::to_string(instance);
    if (repeated) space.claim(wanted);
    renamed.emplace_back(i, space.claim_near(wanted));
  };
  if (numbers_taken.empty()) {
    for (const std::size_t i : unusual) name_cell(i, true);
    return;
  }
  auto next_unusual = unusual.begin();
  for (std::size_t i = 0; i < netlist.cells().size(); ++i) {
    const bool listed = next_unusual != unusual.end() && *next_unusual == i;
    if (listed) ++next_unusual;
    name_cell(i, listed);
  }
}

// Appends the vector's identifier, `name` as written, and notes where it is.
void add_identifier(VectorIdentifiers& identifiers, VectorId vector, std::string_view name,
                    bool plain) {
  const std::size_t offset = identifiers.text.size();
  append_spelled(identifiers.text, name, plain);
  identifiers.span[vector] = {offset, identifiers.text.size() - offset};
}

// The identifiers of the vectors on pins, from the names chosen.
VectorIdentifiers chosen_identifiers(const Netlist& netlist, const NetCensus& census,
                                     const NetNames& names) {
  VectorIdentifiers identifiers;
  identifiers.span.resize(netlist.vectors().size());
  for (VectorId v = 0; v < netlist.vectors().size(); ++v) {
    if (census.largest_bit[v] < 0) continue;
    const std::string_view name = names.vector_name[v];
    add_identifier(identifiers, v, name, is_plain_identifier(name));
  }
  return identifiers;
}

// How every net on a pin is written (see VerilogNetlist). `own_names` are
// the vectors' identifiers when every vector keeps its name.
void spell_nets(const Netlist& netlist, NetCensus& census, const NetNames& names,
                std::optional<VectorIdentifiers> own_names, VerilogNetlist& out) {
  out.vectors = own_names ? std::move(*own_names) : chosen_identifiers(netlist, census, names);
  out.wire_spelling = std::move(census.spelling);
  for (const auto& [id, name] : names.renamed_wire) {
    out.wire_spelling[id] = WireSpelling::fresh_name;
    out.renamed_wires.emplace_back(id, identifier_of(name));
  }
}

std::string_view fresh_identifier(const VerilogNetlist& verilog, NetId id) {
  const auto found =
      std::lower_bound(verilog.renamed_wires.begin(), verilog.renamed_wires.end(), id,
                       [](const std::pair<NetId, std::string>& entry, NetId wanted) {
                         return entry.first < wanted;
                       });
  return found->second;
}

// The most bytes the expression for net `id` takes.
std::size_t connection_bound(const Netlist& netlist, const VerilogNetlist& verilog, NetId id) {
  if (id == kUnnamedNet) return 0;
  const Net& net = netlist.net(id);
  if (net.is_bus()) return verilog.vectors.of(net.vector()).size() + kMostBitBytes;
  if (verilog.wire_spelling[id] == WireSpelling::fresh_name)
    return fresh_identifier(verilog, id).size();
  return netlist.plain_name(id).size() + 2;
}

// The most bytes any net on a pin takes (see connection_bound).
// A plain net renamed for meeting a vector's name counts with its own name
// as well: a bound, at worst a little more room than needed.
std::size_t longest_connection(const NetCensus& census, const VerilogNetlist& verilog) {
  std::size_t longest = census.longest_plain;
  for (VectorId v = 0; v < verilog.vectors.span.size(); ++v) {
    if (census.largest_bit[v] >= 0)
      longest = std::max(longest, verilog.vectors.of(v).size() + kMostBitBytes);
  }
  for (const auto& [id, identifier] : verilog.renamed_wires)
    longest = std::max(longest, identifier.size());
  return longest;
}

// The most bytes the connections of `pins` take: the longest connection
// for each where that is little, otherwise each pin's own bound.
std::size_t connections_bound(const Netlist& netlist, const VerilogNetlist& verilog,
                              std::span<const NetId> pins) {
  constexpr std::size_t kLittle = ChunkedText::kChunk / 8;
  if (pins.size() * verilog.longest_connection <= kLittle)
    return pins.size() * verilog.longest_connection;
  std::size_t size = 0;
  for (const NetId id : pins) size += connection_bound(netlist, verilog, id);
  return size;
}

// Formats the expression for net `id` at `at`, which has room for
// connection_bound; returns the end of its text. An unnamed pin has none.
char* put_connection(char* at, const Netlist& netlist, const VerilogNetlist& verilog, NetId id) {
  if (id == kUnnamedNet) return at;
  const Net& net = netlist.net(id);
  if (net.is_bus()) {
    at = ChunkedText::put(at, verilog.vectors.of(net.vector()));
    *at++ = '[';
    at = ChunkedText::put_number(at, net.high);
    if (net.slice()) {
      *at++ = ':';
      at = ChunkedText::put_number(at, net.low);
    }
    *at++ = ']';
    return at;
  }
  switch (verilog.wire_spelling[id]) {
    case WireSpelling::own_name:
      return ChunkedText::put(at, netlist.plain_name(id));
    case WireSpelling::escaped_name:
      *at++ = '\\';
      at = ChunkedText::put(at, netlist.plain_name(id));
      *at++ = ' ';
      return at;
    case WireSpelling::fresh_name:
      return ChunkedText::put(at, fresh_identifier(verilog, id));
  }
  return at;
}

}  // namespace

std::string verilog_connection(const Netlist& netlist, const VerilogNetlist& verilog, NetId id) {
  std::string text(connection_bound(netlist, verilog, id), '\0');
  text.resize(static_cast<std::size_t>(put_connection(text.data(), netlist, verilog, id) - text.data()));
  return text;
}

std::string verilog_vector(const VerilogNetlist& verilog, VectorId vector) {
  return std::string(verilog.vectors.of(vector));
}

namespace {

PortKind port_kind(const NetUse& use, const std::vector<std::uint8_t>& design_inputs,
                   NetUse::Signals signals) {
  bool driven = false;
  bool read = false;
  bool all_inputs = true;
  for (SignalId k = signals.first; k < signals.first + signals.count; ++k) {
    driven = driven || use.drivers(k) > 0;
    read = read || use.readers(k) > 0;
    if (use.readers(k) > 0 && !design_inputs[k]) all_inputs = false;
  }
  if (!driven && read && all_inputs) return PortKind::input;
  if (driven && !read) return PortKind::output;
  return PortKind::wire;
}

std::string_view declared_as(PortKind kind) {
  return kind == PortKind::input ? "  input " : kind == PortKind::output ? "  output " : "  wire ";
}

// The most bytes the declaration takes.
constexpr std::size_t kMostDeclarationBytes = 9 + 10 + 2;  // "  output ", "[65535:0] ", ";\n"

std::size_t declaration_bound(const Netlist& netlist, const VerilogNetlist& verilog,
                              const VerilogDeclaration& line) {
  if (line.vector) return kMostDeclarationBytes + verilog.vectors.of(line.id).size();
  return kMostDeclarationBytes + connection_bound(netlist, verilog, line.id);
}

// Formats the identifier of the declaration at `at`.
char* put_declared(char* at, const Netlist& netlist, const VerilogNetlist& verilog,
                   const VerilogDeclaration& line) {
  if (!line.vector) return put_connection(at, netlist, verilog, line.id);
  return ChunkedText::put(at, verilog.vectors.of(line.id));
}

// Formats the declaration at `at`, which has room for declaration_bound.
char* put_declaration(char* at, const Netlist& netlist, const VerilogNetlist& verilog,
                      const VerilogDeclaration& line) {
  at = ChunkedText::put(at, declared_as(line.kind));
  if (line.vector) {
    *at++ = '[';
    at = ChunkedText::put_number(at, line.largest_bit);
    at = ChunkedText::put(at, ":0] ");
  }
  at = put_declared(at, netlist, verilog, line);
  return ChunkedText::put(at, ";\n");
}

// The declarations: the vectors, then the plain nets, each ascending by name.
std::vector<VerilogDeclaration> declarations(const NetCensus& census, const ModuleFacts& facts) {
  std::vector<VerilogDeclaration> lines;
  lines.reserve(census.vectors.size() + census.plain.size());
  for (const NamedId& vector : census.vectors) {
    const PortKind kind =
        port_kind(*facts.use, facts.design_inputs, facts.use->vector_signals(vector.id));
    lines.push_back(
        {vector.id, static_cast<std::uint16_t>(census.largest_bit[vector.id]), true, kind});
  }
  // A plain net's one signal is numbered as the net.
  for (const NamedId& plain : census.plain) {
    const PortKind kind = port_kind(*facts.use, facts.design_inputs, NetUse::Signals{plain.id, 1});
    lines.push_back({plain.id, 0, false, kind});
  }
  return lines;
}

// The port list: the declarations that are ports, in their order.
std::string port_list(const Netlist& netlist, const VerilogNetlist& verilog) {
  std::string ports;
  std::string identifier;
  for (const VerilogDeclaration& line : verilog.declarations) {
    if (line.kind == PortKind::wire) continue;
    identifier.resize(declaration_bound(netlist, verilog, line));
    const char* end = put_declared(identifier.data(), netlist, verilog, line);
    if (!ports.empty()) ports += ", ";
    ports.append(identifier.data(), static_cast<std::size_t>(end - identifier.data()));
  }
  return ports;
}

// Module names: the cell types keep theirs; the top module must not take
// one of them. `cell_module` gets each type's module name, in the order of
// `types`.
std::optional<std::string> name_modules(const std::vector<NamedId>& types, const std::string& top,
                                        std::vector<std::string>& cell_module,
                                        std::string& top_module) {
  if (!escapable(top)) {
    return "'" + top + "' cannot name a Verilog module (empty, or white space or control bytes)";
  }
  NameSpace space;
  cell_module.resize(types.size());
  std::vector<std::size_t> left;
  for (std::size_t k = 0; k < types.size(); ++k) {
    if (escapable(types[k].text) && space.claim(types[k].text))
      cell_module[k] = types[k].text;
    else
      left.push_back(k);
  }
  if (!space.claim(top)) {
    return "module name '" + top + "' is the name of a cell type; choose another with --top";
  }
  top_module = identifier_of(top);
  for (const std::size_t k : left) cell_module[k] = space.claim_near(types[k].text);
  return std::nullopt;
}

// An identifier followed by one space: an escaped one ends in its own.
std::string spaced(const std::string& identifier) {
  return identifier.back() == ' ' ? identifier : identifier + ' ';
}

// The names of the nets and instances, and how each net is written.
// `own_names` are the vectors' identifiers when every vector keeps its name.
void name_nets_and_instances(const Netlist& netlist, NetCensus& census,
                             std::optional<VectorIdentifiers> own_names, VerilogNetlist& out) {
  NameSpace space({&census.vectors, &census.plain});
  const NetNames names = name_nets(netlist, census, own_names.has_value(), space);
  name_instances(netlist, out.unusual_instances, census.numbers, space, out.renamed_instances);
  spell_nets(netlist, census, names, std::move(own_names), out);
  out.longest_connection = longest_connection(census, out);
}

}  // namespace

std::string verilog_identifier(const std::string& name) { return identifier_of(name); }

std::string default_top_name(const std::string& output_path) {
  return std::filesystem::path(output_path).stem().string();
}

void NetNameListing::add(const Netlist& netlist, const Cell& cell) {
  for (const NetId id : netlist.pins(cell)) {
    if (id == kUnnamedNet) continue;
    if (id >= net_listed_.size())
      net_listed_.resize(std::max<std::size_t>(id + 1u, 2 * net_listed_.size()), 0);
    if (net_listed_[id] != 0) continue;
    net_listed_[id] = 1;
    const Net& net = netlist.net(id);
    if (net.is_bus()) {
      add_vector(netlist, net.vector());
      continue;
    }
    const NamedId name = named(id, netlist.plain_name(id));
    names_.plain.push_back(name);
    if (id >= names_.spelling.size())
      names_.spelling.resize(std::max<std::size_t>(id + 1u, 2 * names_.spelling.size()),
                             WireSpelling::own_name);
    names_.spelling[id] = spelling_of(name.text);
  }
}

void NetNameListing::add_vector(const Netlist& netlist, VectorId vector) {
  if (vector >= vector_listed_.size())
    vector_listed_.resize(std::max<std::size_t>(vector + 1u, 2 * vector_listed_.size()), 0);
  if (vector_listed_[vector] != 0) return;
  vector_listed_[vector] = 1;
  const NamedId name = named(vector, netlist.text(netlist.vectors()[vector]));
  names_.vectors.push_back(name);
  // The vector's identifier is its own name, plain or escaped, unless a
  // name is unprintable: then every identifier is spelled once the names
  // are chosen.
  const WireSpelling spelling = spelling_of(name.text);
  if (spelling == WireSpelling::fresh_name) {
    names_.vector_names_printable = false;
    return;
  }
  VectorIdentifiers& own = names_.own_vector_names;
  if (vector >= own.span.size())
    own.span.resize(std::max<std::size_t>(vector + 1u, 2 * own.span.size()));
  add_identifier(own, vector, name.text, spelling == WireSpelling::own_name);
}

SortedNetNames NetNameListing::sorted(const Netlist& netlist) && {
  SortedNetNames names = std::move(names_);
  names.spelling.resize(netlist.net_count(), WireSpelling::own_name);
  names.own_vector_names.span.resize(netlist.vectors().size());
  // One after the other: the room a sort takes besides its list is then
  // needed only once.
  sort_by_text(names.vectors);
  sort_by_text(names.plain);
  return names;
}

std::optional<std::string> build_verilog_cells(const Netlist& netlist, const std::string& top,
                                               VerilogNetlist& out, CellTypes tally) {
  out = {};
  // The types ascending by name, each knowing its place in the tally.
  std::vector<NamedId> types;
  types.reserve(tally.types.size());
  for (std::uint32_t k = 0; k < tally.types.size(); ++k)
    types.push_back(named(k, netlist.text(tally.types[k])));
  sort_by_text(types);
  std::vector<std::string> cell_module;
  if (auto error = name_modules(types, top, cell_module, out.top)) return error;
  std::vector<std::uint32_t> rank(types.size());
  out.cells.reserve(types.size());
  for (std::size_t r = 0; r < types.size(); ++r) {
    rank[types[r].id] = static_cast<std::uint32_t>(r);
    out.cells.push_back(std::move(tally.ports[types[r].id]));
    out.cells.back().name = identifier_of(cell_module[r]);
  }
  out.cell_type = std::move(tally.cell_type);
  for (std::uint32_t& type : out.cell_type) type = rank[type];
  out.unusual_instances = std::move(tally.unusual_instances);
  return std::nullopt;
}

void build_verilog_nets(const Netlist& netlist, SortedNetNames names, const ModuleFacts& facts,
                        VerilogNetlist& out) {
  std::optional<VectorIdentifiers> own_names;
  if (names.vector_names_printable) own_names = std::move(names.own_vector_names);
  NetCensus census = take_census(netlist, *facts.use, std::move(names));
  // The declarations' kinds need the pins' use, not the names: they are
  // worked out beside the naming.
  run_beside([&] { out.declarations = declarations(census, facts); },
             [&] { name_nets_and_instances(netlist, census, std::move(own_names), out); });
  out.ports = port_list(netlist, out);
  for (std::size_t net = 0; net < facts.sources.size(); ++net) {
    out.source_lead[net] = "(* src = \"" + verilog_string_body(facts.sources[net].file) + ":";
    out.source_line[net] = facts.sources[net].lines;
  }
}

namespace {

constexpr std::string_view kSourceEnd = "\" *) ";

// The most bytes put_source writes for a cell of this origin.
std::size_t source_bound(const VerilogNetlist& verilog, CellOrigin origin) {
  const auto net = static_cast<std::size_t>(origin.net);
  if (origin.index >= verilog.source_line[net].size()) return 0;
  return verilog.source_lead[net].size() + ChunkedText::kMaxDigits + kSourceEnd.size();
}

// The source attribute of a cell, if the transition that made it has one.
char* put_source(char* at, const VerilogNetlist& verilog, CellOrigin origin) {
  const auto net = static_cast<std::size_t>(origin.net);
  if (origin.index >= verilog.source_line[net].size()) return at;
  at = ChunkedText::put(at, verilog.source_lead[net]);
  at = ChunkedText::put_number(at, verilog.source_line[net][origin.index]);
  return ChunkedText::put(at, kSourceEnd);
}

// The start of an instance line: two spaces and the source attribute of the
// cell's transition, formatted once for the cells of a transition, which
// follow each other.
class LineLead {
 public:
  std::string_view of(const VerilogNetlist& verilog, CellOrigin origin) {
    if (!known_ || origin.net != origin_.net || origin.index != origin_.index) {
      text_.resize(2 + source_bound(verilog, origin));
      char* at = ChunkedText::put(text_.data(), "  ");
      text_.resize(static_cast<std::size_t>(put_source(at, verilog, origin) - text_.data()));
      origin_ = origin;
      known_ = true;
    }
    return text_;
  }

 private:
  bool known_ = false;
  CellOrigin origin_;
  std::string text_;
};

// Formats the instance line of cell `i` (`cell`) into `text`, after `lead`.
// `instance` is its name followed by a space when it is not u<instance
// number>, else empty.
void put_instance(BlockText& text, const Netlist& netlist, const VerilogNetlist& verilog,
                  const std::vector<std::string>& modules, std::size_t i, const Cell& cell,
                  std::string_view lead, const std::string& instance) {
  const std::uint32_t type = verilog.cell_type[i];
  const auto pins = netlist.pins(cell);
  const std::size_t ports = verilog.cells[type].ports;
  std::size_t size = lead.size() + modules[type].size() + instance.size() +
                     ChunkedText::kMaxDigits + 2 + 2 * ports + 3;
  size += connections_bound(netlist, verilog, pins);
  char* at = text.room(size);
  at = ChunkedText::put(at, lead);
  at = ChunkedText::put(at, modules[type]);
  if (instance.empty()) {
    *at++ = 'u';
    at = ChunkedText::put_number(at, cell.instance);
    *at++ = ' ';
  } else {
    at = ChunkedText::put(at, instance);
  }
  *at++ = '(';
  // Every instance lists all ports of its type: a simulator refuses fewer.
  for (std::size_t p = 0; p < ports; ++p) {
    if (p != 0) at = ChunkedText::put(at, ", ");
    if (p < pins.size()) at = put_connection(at, netlist, verilog, pins[p]);
  }
  text.advance(ChunkedText::put(at, ");\n"));
}

// The lines are formatted in blocks of this many declarations or cells.
constexpr std::size_t kBlockLines = 4096;

// Formats the instance lines of cells [begin, end).
void put_instances(BlockText& text, const Netlist& netlist, const VerilogNetlist& verilog,
                   const std::vector<std::string>& modules, std::size_t begin, std::size_t end) {
  auto renamed =
      std::lower_bound(verilog.renamed_instances.begin(), verilog.renamed_instances.end(), begin,
                       [](const std::pair<std::size_t, std::string>& entry, std::size_t i) {
                         return entry.first < i;
                       });
  const std::string own_name;
  LineLead lead;
  for (std::size_t i = begin; i < end; ++i) {
    const Cell& cell = netlist.cells()[i];
    const std::string_view start = lead.of(verilog, cell.origin);
    if (renamed != verilog.renamed_instances.end() && renamed->first == i) {
      put_instance(text, netlist, verilog, modules, i, cell, start,
                   spaced(identifier_of((renamed++)->second)));
    } else {
      put_instance(text, netlist, verilog, modules, i, cell, start, own_name);
    }
  }
}

// Formats the declarations [begin, end).
void put_declarations(BlockText& text, const Netlist& netlist, const VerilogNetlist& verilog,
                      std::size_t begin, std::size_t end) {
  // Room for the longest connection serves every line, without looking
  // each line's net up twice.
  const std::size_t room = kMostDeclarationBytes + verilog.longest_connection;
  for (std::size_t k = begin; k < end; ++k) {
    const VerilogDeclaration& line = verilog.declarations[k];
    text.advance(put_declaration(text.room(room), netlist, verilog, line));
  }
}

}  // namespace

bool write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                          const TextSink& sink) {
  const std::string head = "// Structural netlist written by syn-tool.\nmodule " + verilog.top +
                           (verilog.ports.empty() ? "" : "(" + verilog.ports + ")") + ";\n";
  if (!sink(head)) return false;
  const bool declared = write_in_blocks(sink, verilog.declarations.size(), kBlockLines,
                                        [&](BlockText& text, std::size_t begin, std::size_t end) {
                                          put_declarations(text, netlist, verilog, begin, end);
                                        });
  if (!declared) return false;
  if (!verilog.declarations.empty() && !netlist.cells().empty() && !sink("\n")) return false;
  std::vector<std::string> modules;
  for (const VerilogCell& cell : verilog.cells) modules.push_back(spaced(cell.name));
  const bool instantiated =
      write_in_blocks(sink, netlist.cells().size(), kBlockLines,
                      [&](BlockText& text, std::size_t begin, std::size_t end) {
                        put_instances(text, netlist, verilog, modules, begin, end);
                      });
  return instantiated && sink("endmodule\n");
}

void write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                          std::ostream& out) {
  write_verilog_module(netlist, verilog, [&out](std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return true;
  });
}

void write_verilog_cells(const VerilogNetlist& verilog, std::ostream& out) {
  out << "// Cell types of a netlist written by syn-tool, as empty modules with one\n"
      << "// port per pin, named for its role, each an input or an output as the\n"
      << "// cell's pin is; replace these with the cell library's own models.\n";
  for (const VerilogCell& cell : verilog.cells) {
    out << "(* blackbox *)\n" << "module " << spaced(cell.name) << "(";
    for (std::size_t p = 0; p < cell.ports; ++p) {
      out << (p == 0 ? "" : ", ") << pin_role(cell.shape, p, cell.ports).name;
    }
    out << ");\n";
    for (std::size_t p = 0; p < cell.ports; ++p) {
      const auto& sides = cell.port_directions;
      out << (p >= sides.size()                  ? "  inout "
              : sides[p] == PinDirection::output ? "  output "
                                                 : "  input ");
      if (cell.port_widths[p] > 1) out << '[' << cell.port_widths[p] - 1 << ":0] ";
      out << pin_role(cell.shape, p, cell.ports).name << ";\n";
    }
    out << "endmodule\n";
  }
}

std::string write_verilog_module(const Netlist& netlist, const VerilogNetlist& verilog,
                                 Destination& to) {
  if (!to.failed()) {
    write_verilog_module(netlist, verilog, [&to](std::string_view text) { return to.write(text); });
  }
  return to.commit();
}

}  // namespace syn
