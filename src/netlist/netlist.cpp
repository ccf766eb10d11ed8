#include "netlist/netlist.hpp"

#include <limits>
#include <stdexcept>

#include "netlist/net_names.hpp"

namespace syn {

namespace {
constexpr std::size_t kNoPosition = std::numeric_limits<std::size_t>::max();

// Grows a table indexed by symbol id so that it covers every symbol.
template <class Id>
void cover_symbols(std::vector<Id>& table, std::size_t symbols, Id none) {
  if (table.size() < symbols) table.resize(symbols, none);
}
}  // namespace

Netlist::Netlist(Symbols& symbols) : symbols_(symbols), nets_(1) {}

VectorId Netlist::intern_vector(std::string_view base) {
  const SymbolId symbol = symbols_.intern(base);
  cover_symbols(vector_of_symbol_, symbols_.size(), kNoVector);
  VectorId& vector = vector_of_symbol_[symbol];
  if (vector == kNoVector) {
    vector = static_cast<VectorId>(vectors_.size());
    vectors_.push_back(symbol);
  }
  return vector;
}

NetId Netlist::intern_net(std::string_view name) {
  if (name.empty()) return kUnnamedNet;
  const SymbolId symbol = symbols_.intern(name);
  cover_symbols(net_of_symbol_, symbols_.size(), kUnnamedNet);
  if (net_of_symbol_[symbol] != kUnnamedNet) return net_of_symbol_[symbol];
  // A new net: its bus structure is read here, once.
  Net net;
  net.name = symbol;
  if (const auto bus = parse_bus_name(name)) {
    net.vector = intern_vector(bus->base);
    net.high = static_cast<std::uint16_t>(bus->high);
    net.low = static_cast<std::uint16_t>(bus->low);
    net.slice = bus->slice;
  }
  const auto id = static_cast<NetId>(nets_.size());
  nets_.push_back(net);
  net_of_symbol_[symbol] = id;
  return id;
}

std::uint32_t Netlist::reserve_pins(std::size_t count) {
  const std::size_t first = pins_.size();
  if (first + count > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("netlist: more pins than a pin index holds");
  }
  pins_.resize(first + count, kUnnamedNet);
  return static_cast<std::uint32_t>(first);
}

void Netlist::remember_position(int instance, std::size_t position) {
  if (instance < 0 || instance > last_instance_) return;
  const auto number = static_cast<std::size_t>(instance);
  if (number >= position_of_instance_.size()) {
    position_of_instance_.resize(static_cast<std::size_t>(last_instance_) + 1, kNoPosition);
  }
  if (position_of_instance_[number] == kNoPosition) position_of_instance_[number] = position;
}

const Cell& Netlist::start_cell(std::string_view type, std::size_t pin_count) {
  Cell cell = reserve_cell(type, new_instance(), pin_count);
  cell.pin_count = static_cast<std::uint32_t>(pin_count);
  append(cell);
  return cells_.back();
}

const Cell& Netlist::add(std::string_view type, const std::vector<std::string>& nets) {
  const Cell& cell = start_cell(type, nets.size());
  for (std::size_t i = 0; i < nets.size(); ++i) pins_[cell.first_pin + i] = intern_net(nets[i]);
  return cell;
}

Cell Netlist::reserve_cell(std::string_view type, int instance, std::size_t slots) {
  Cell cell;
  cell.type = symbols_.intern(type);
  cell.instance = instance;
  cell.first_pin = reserve_pins(slots);
  cell.origin = origin_;
  return cell;
}

void Netlist::append(const Cell& cell) {
  remember_position(cell.instance, cells_.size());
  cells_.push_back(cell);
}

void Netlist::name_pin(const Cell& cell, std::size_t position, std::string_view net) {
  if (position >= cell.pin_count) throw std::out_of_range("netlist: no such pin");
  pins_.at(cell.first_pin + position) = intern_net(net);
}

void Netlist::place_pin(Cell& cell, std::string_view net) {
  pins_.at(cell.first_pin + cell.pin_count) = intern_net(net);
  ++cell.pin_count;
}

Cell* Netlist::find_cell(int instance) {
  const auto number = static_cast<std::size_t>(instance);
  if (instance < 0 || number >= position_of_instance_.size()) return nullptr;
  const std::size_t position = position_of_instance_[number];
  return position == kNoPosition ? nullptr : &cells_[position];
}

}  // namespace syn
