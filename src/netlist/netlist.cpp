#include "netlist/netlist.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <stdexcept>

#include "netlist/net_names.hpp"
#include "netlist/text_chunks.hpp"

namespace syn {

namespace {

// Grows a table indexed by symbol id so that it covers every symbol.
template <class Id>
void cover_symbols(std::vector<Id>& table, std::size_t symbols, Id none) {
  if (table.size() < symbols) table.resize(symbols, none);
}
}  // namespace

Netlist::Netlist(Symbols& symbols) : symbols_(symbols) { nets_.push_back(Net{}); }

namespace {

constexpr std::string_view suffix_of(Rail rail) {
  switch (rail) {
    case Rail::complement:
      return "_bar";
    case Rail::done:
      return "_done";
    case Rail::true_rail:
      break;
  }
  return "";
}

// base + suffix + "[" + high (+ ":" + low) + "]", the name of a bus net.
std::string bus_text(const BusNet& bus) {
  std::string text(bus.base);
  text += suffix_of(bus.rail);
  text += '[';
  text += std::to_string(bus.high);
  if (bus.slice) text += ':' + std::to_string(bus.low);
  text += ']';
  return text;
}

// Whether the name of `bus` reads back as those bits (see parse_bus_name);
// the base is checked by the caller.
bool bits_read_back(const BusNet& bus) {
  if (bus.low < 0 || bus.high < bus.low || bus.high > kMaxBusIndex) return false;
  return bus.slice || bus.high == bus.low;
}

bool is_vector_name(std::string_view base) {
  return !base.empty() && base.find_first_of("[]") == std::string_view::npos;
}

}  // namespace

std::size_t Netlist::recent_slot(const char* text, std::size_t size, unsigned salt) {
  const auto key = (reinterpret_cast<std::uintptr_t>(text) * 0x9E3779B97F4A7C15ull) ^
                   (static_cast<std::uint64_t>(size) << 2 | salt);
  return static_cast<std::size_t>((key ^ (key >> 29)) & (kRecentNames - 1));
}

VectorId Netlist::vector_of(std::string_view base) {
  return vector_of_symbol(symbols_.intern(base));
}

VectorId Netlist::vector_of_symbol(SymbolId symbol) {
  cover_symbols(vector_of_symbol_, symbols_.size(), kNoVector);
  VectorId& vector = vector_of_symbol_[symbol];
  if (vector == kNoVector) {
    vector = static_cast<VectorId>(vectors_.size());
    vectors_.push_back(symbol);
    nets_of_vector_.emplace_back();
  }
  return vector;
}

VectorId Netlist::vector_of(std::string_view base, Rail rail) {
  const std::string_view suffix = suffix_of(rail);
  RecentName& recent =
      recent_vectors_[recent_slot(base.data(), base.size(), static_cast<unsigned>(rail))];
  if (recent.text == base.data() && recent.size == base.size()) {
    const std::string_view name = symbols_.text(vectors_[recent.id]);
    if (name.size() == base.size() + suffix.size() && name.starts_with(base) &&
        name.ends_with(suffix))
      return recent.id;
  }
  if (!is_vector_name(base)) return kNoVector;
  VectorId vector;
  if (suffix.empty()) {
    vector = vector_of(base);
  } else {
    // The rail's name is built in a buffer kept for it: no allocation per name.
    rail_name_.assign(base);
    rail_name_ += suffix;
    vector = vector_of(rail_name_);
  }
  recent = {base.data(), base.size(), vector};
  return vector;
}

NetId Netlist::bus_net(VectorId vector, int high, int low, bool slice) {
  return slice ? slice_net(vector, high, low) : bit_net(vector, high);
}

NetId Netlist::slice_net(VectorId vector, int high, int low) {
  VectorNets& of = nets_of_vector_[vector];
  if (of.first_slice == kUnnamedNet) {
    of.first_slice = new_bus_net(vector, high, low, true);
    return of.first_slice;
  }
  const Net& first = nets_[of.first_slice];
  if (first.high == high && first.low == low) return of.first_slice;
  const std::uint64_t key = static_cast<std::uint64_t>(vector) << 32 |
                            static_cast<std::uint64_t>(high) << 16 | static_cast<std::uint64_t>(low);
  NetId& net = other_slices_[key];
  if (net == kUnnamedNet) net = new_bus_net(vector, high, low, true);
  return net;
}

NetId Netlist::bit_net(VectorId vector, int index) {
  VectorNets& bits = nets_of_vector_[vector];
  const auto bit = static_cast<std::uint32_t>(index);
  if (bit >= bits.count) {
    // A new range at the end, with room for this bit; the old one is left.
    const std::uint32_t count = std::max({bit + 1, bits.count * 2, 4u});
    const auto start = static_cast<std::uint32_t>(bit_nets_.size());
    bit_nets_.resize(bit_nets_.size() + count, kUnnamedNet);
    std::copy_n(bit_nets_.begin() + bits.start, bits.count, bit_nets_.begin() + start);
    bits.start = start;
    bits.count = count;
  }
  if (bit_nets_[bits.start + bit] == kUnnamedNet) {
    const NetId net = new_bus_net(vector, index, index, false);
    bit_nets_[nets_of_vector_[vector].start + bit] = net;
  }
  return bit_nets_[bits.start + bit];
}

// Read off the vectors' own lists, after mapping: the top of each one's
// range of bits, skipping bits with no net, its first slice, and the other
// slices.
std::vector<std::uint32_t> Netlist::vector_widths() const {
  std::vector<std::uint32_t> widths(nets_of_vector_.size(), 0);
  const auto reach = [&](std::uint32_t& width, NetId net) {
    width = std::max<std::uint32_t>(width, nets_[net].high + 1u);
  };
  for (VectorId v = 0; v < widths.size(); ++v) {
    const VectorNets& of = nets_of_vector_[v];
    std::uint32_t bits = of.count;
    while (bits > 0 && bit_nets_[of.start + bits - 1] == kUnnamedNet) --bits;
    widths[v] = bits;
    if (of.first_slice != kUnnamedNet) reach(widths[v], of.first_slice);
  }
  for (const auto& [key, net] : other_slices_) reach(widths[static_cast<VectorId>(key >> 32)], net);
  return widths;
}

NetId Netlist::new_bus_net(VectorId vector, int high, int low, bool slice) {
  Net net;
  net.symbol_or_vector = vector;
  net.high = static_cast<std::uint16_t>(high);
  net.low = static_cast<std::uint16_t>(low);
  net.shape = slice ? Net::Shape::slice : Net::Shape::bit;
  nets_.push_back(net);
  return static_cast<NetId>(nets_.size() - 1);
}

char* Netlist::put_net_name(char* at, NetId id) const {
  const Net& net = nets_[id];
  if (!net.is_bus()) {
    return ChunkedText::put(at, plain_name(id));
  }
  // "base[high]" or "base[high:low]"; both numbers are below 65536.
  at = ChunkedText::put(at, symbols_.text(vectors_[net.vector()]));
  *at++ = '[';
  at = std::to_chars(at, at + 5, net.high).ptr;
  if (net.slice()) {
    *at++ = ':';
    at = std::to_chars(at, at + 5, net.low).ptr;
  }
  *at++ = ']';
  return at;
}

std::string Netlist::net_text(NetId id) const {
  std::string text(most_name_bytes(id), '\0');
  text.resize(static_cast<std::size_t>(put_net_name(text.data(), id) - text.data()));
  return text;
}

// A type met again is found among the recent names; only a new one is
// looked up among the types.
SymbolId Netlist::cell_type(std::string_view name, const CellShape& shape) {
  RecentName& recent = recent_types_[recent_slot(name.data(), name.size(), 0)];
  if (recent.text == name.data() && recent.size == name.size() &&
      symbols_.text(recent.id) == name)
    return recent.id;
  const SymbolId symbol = enter_type(symbols_.intern(name), shape);
  recent = {name.data(), name.size(), symbol};
  return symbol;
}

SymbolId Netlist::cell_type(const CellShape& shape) {
  if (!has_fixed_name(shape.kind)) return cell_type(syn::type_name(shape), shape);
  SymbolId& symbol = fixed_kind_types_[static_cast<std::size_t>(shape.kind)];
  if (symbol == kNoSymbol) symbol = enter_type(symbols_.intern(syn::type_name(shape)), shape);
  return symbol;
}

// The first shape given for a type stays its entry.
SymbolId Netlist::enter_type(SymbolId type, const CellShape& shape) {
  const auto [entry, added] =
      entry_of_type_.try_emplace(type, static_cast<std::uint32_t>(type_entries_.size()));
  if (added) type_entries_.push_back({type, shape});
  return type;
}

NetId Netlist::plain_net(std::string_view name) {
  RecentName& recent = recent_nets_[recent_slot(name.data(), name.size(), 0)];
  if (recent.text == name.data() && recent.size == name.size() && plain_name(recent.id) == name)
    return recent.id;
  const NetId id = plain_net_of_symbol(symbols_.intern(name));
  recent = {name.data(), name.size(), id};
  return id;
}

NetId Netlist::find_plain_net(std::string_view name) const {
  const SymbolId symbol = symbols_.find(name);
  return symbol < net_of_symbol_.size() ? net_of_symbol_[symbol] : kUnnamedNet;
}

VectorId Netlist::find_vector(std::string_view name) const {
  const SymbolId symbol = symbols_.find(name);
  return symbol < vector_of_symbol_.size() ? vector_of_symbol_[symbol] : kNoVector;
}

NetId Netlist::find_plain_net(SymbolId name) const {
  return name < net_of_symbol_.size() ? net_of_symbol_[name] : kUnnamedNet;
}

// A rail the mappers asked for by its base's symbol is known by that symbol;
// any other is looked up by its name.
VectorId Netlist::find_vector(SymbolId base, Rail rail) const {
  const std::vector<VectorId>& of_symbol = rail == Rail::true_rail   ? vector_of_symbol_
                                           : rail == Rail::complement ? complement_of_symbol_
                                                                      : done_of_symbol_;
  if (base < of_symbol.size() && of_symbol[base] != kNoVector) return of_symbol[base];
  if (rail == Rail::true_rail) return kNoVector;
  std::string name(symbols_.text(base));
  name += suffix_of(rail);
  return find_vector(name);
}

NetId Netlist::plain_net_of_symbol(SymbolId symbol) {
  cover_symbols(net_of_symbol_, symbols_.size(), kUnnamedNet);
  NetId& id = net_of_symbol_[symbol];
  if (id == kUnnamedNet) {
    Net net;
    net.symbol_or_vector = symbol;
    id = static_cast<NetId>(nets_.size());
    nets_.push_back(net);
  }
  return id;
}

NetId Netlist::net_of(std::string_view name) {
  if (name.empty()) return kUnnamedNet;
  if (name.back() == ']') {
    // A bus net's structure is read here, once per name the mappers write out.
    if (const auto bus = parse_bus_name(name))
      return bus_net(vector_of(bus->base), bus->high, bus->low, bus->slice);
  }
  return plain_net(name);
}

VectorId Netlist::vector_of(const BusNet& bus) {
  if (bus.base_symbol == kNoSymbol) return vector_of(bus.base, bus.rail);
  if (bus.rail == Rail::true_rail) {
    // The vector named by the symbol itself, found without its text.
    if (bus.base_symbol < vector_of_symbol_.size() &&
        vector_of_symbol_[bus.base_symbol] != kNoVector)
      return vector_of_symbol_[bus.base_symbol];
    return is_vector_name(bus.base) ? vector_of_symbol(bus.base_symbol) : kNoVector;
  }
  std::vector<VectorId>& of_symbol =
      bus.rail == Rail::complement ? complement_of_symbol_ : done_of_symbol_;
  if (of_symbol.empty()) of_symbol.assign(symbols_.size(), kNoVector);
  if (bus.base_symbol >= of_symbol.size()) return vector_of(bus.base, bus.rail);
  VectorId& vector = of_symbol[bus.base_symbol];
  if (vector == kNoVector) vector = vector_of(bus.base, bus.rail);
  return vector;
}

NetId Netlist::net_of(const SymbolText& name) {
  if (name.text.empty() || name.text.back() == ']') return net_of(name.text);
  return plain_net_of_symbol(name.id);
}

NetId Netlist::net_of(const BusNet& bus) {
  if (bits_read_back(bus)) {
    const VectorId vector = vector_of(bus);
    if (vector != kNoVector) return bus_net(vector, bus.high, bus.low, bus.slice);
  }
  return net_of(bus_text(bus));
}

std::uint32_t Netlist::reserve_pins(std::size_t count) {
  if (count > kPinBlock - pins_end_ % kPinBlock || pin_blocks_used_ * kPinBlock <= pins_end_) {
    // Not room in the last block: a new one (or more) from the next boundary.
    const std::uint64_t start = (pins_end_ + kPinBlock - 1) / kPinBlock * kPinBlock;
    const std::size_t size = std::max<std::size_t>(kPinBlock, count);
    if (start + size > std::numeric_limits<std::uint32_t>::max()) {
      throw std::length_error("netlist: more pins than a pin index holds");
    }
    pin_blocks_[start / kPinBlock] = std::make_unique_for_overwrite<NetId[]>(size);
    pin_blocks_used_ = static_cast<std::size_t>((start + size + kPinBlock - 1) / kPinBlock);
    pins_end_ = start;
  }
  const auto first = static_cast<std::uint32_t>(pins_end_);
  pins_end_ += count;
  // A cell with a block of its own leaves no room after it.
  if (count > kPinBlock) pins_end_ = pin_blocks_used_ * std::uint64_t{kPinBlock};
  if (count > 0) std::fill_n(pin_blocks_[first / kPinBlock].get() + first % kPinBlock, count, kUnnamedNet);
  return first;
}

NetId& Netlist::pin_slot(const Cell& cell, std::size_t position) {
  return pin_blocks_[cell.first_pin / kPinBlock][cell.first_pin % kPinBlock + position];
}

const Cell& Netlist::start_cell(const CellShape& shape, std::size_t pin_count) {
  return start_cell_of_type(cell_type(shape), pin_count);
}

const Cell& Netlist::start_cell(std::string_view name, const CellShape& shape,
                                std::size_t pin_count) {
  return start_cell_of_type(cell_type(name, shape), pin_count);
}

const Cell& Netlist::start_cell_of_type(SymbolId type, std::size_t pin_count) {
  Cell cell = reserve_cell_of_type(type, new_instance(), pin_count);
  cell.pin_count = static_cast<std::uint32_t>(pin_count);
  append(cell);
  return cells_.back();
}

NetId Netlist::net_of(const FixedName& name) {
  NetId& id = fixed_nets_.at(name.slot);
  if (id == kUnnamedNet) id = net_of(name.text);
  return id;
}

NetId Netlist::net_of(const PinNet& net) {
  return std::visit([this](const auto& name) { return net_of(name); }, net);
}

void Netlist::check_pin(const Cell& cell, std::size_t position) {
  if (position >= cell.pin_count) throw std::out_of_range("netlist: no such pin");
}

Cell Netlist::reserve_cell(const CellShape& shape, int instance, std::size_t slots) {
  return reserve_cell_of_type(cell_type(shape), instance, slots);
}

Cell Netlist::reserve_cell_of_type(SymbolId type, int instance, std::size_t slots) {
  Cell cell;
  cell.type = type;
  cell.instance = instance;
  cell.first_pin = reserve_pins(slots);
  cell.origin = origin_;
  return cell;
}

void Netlist::append(const Cell& cell) { cells_.push_back(cell); }

}  // namespace syn
