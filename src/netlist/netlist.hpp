// The netlist under construction: cell instances in output order, the nets on
// their pins, and the run-wide instance counter. Net names are interned once
// in the run's symbol table; a pin holds the id of its net, and each net
// knows its bus structure, so the writers never read a name back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "model/symbols.hpp"
#include "netlist/cell_catalogue.hpp"
#include "util/block_list.hpp"
#include "util/cache_line.hpp"
#include "util/watermark.hpp"

namespace syn {

using NetId = std::uint32_t;
// The net of a pin that was never named: it prints as an empty name.
inline constexpr NetId kUnnamedNet = 0;

using VectorId = std::uint32_t;
inline constexpr VectorId kNoVector = static_cast<VectorId>(-1);

// A net, with the bus structure its name carries: x[7:0] is bits 7 down to 0
// of the vector x, x_bar[3] one bit of the vector x_bar; any other name is a
// plain one-bit net.
// "[65535:65535]", the longest bits a bus net's name ends in.
inline constexpr std::size_t kMostBitBytes = 13;

struct Net {
  // A plain net's name, or the vector of a bus net: one field, as a net is
  // one or the other, keeps the millions of nets at twelve bytes.
  std::uint32_t symbol_or_vector = kNoSymbol;
  std::uint16_t high = 0;
  std::uint16_t low = 0;
  enum class Shape : std::uint8_t { plain, bit, slice } shape = Shape::plain;

  bool is_bus() const { return shape != Shape::plain; }
  bool slice() const { return shape == Shape::slice; }  // written vector[high:low]
  VectorId vector() const { return is_bus() ? symbol_or_vector : kNoVector; }
  SymbolId name() const { return is_bus() ? kNoSymbol : symbol_or_vector; }
};

// Which rail of a data value a bus net carries; it names the vector:
// x, x_bar or x_done.
enum class Rail : std::uint8_t { true_rail, complement, done };

// Bits of a bus as a mapper names them, base[high:low] or base[high] with the
// rail's suffix after the base, without writing the name out: the netlist
// finds the net from the parts. The base is read during the call only.
struct BusNet {
  std::string_view base;
  Rail rail = Rail::true_rail;
  int high = 0;
  int low = 0;
  bool slice = false;
  SymbolId base_symbol = kNoSymbol;  // the base's symbol when it is a design name
};

// A plain net's name as a mapper holds it: a design name, by whose symbol
// the netlist finds the net without hashing its text, or a name built from
// parts ("t_q", joined place names), which is entered by its text.
class NetName {
 public:
  NetName() = default;
  NetName(const SymbolText& design_name) : design_name_(design_name) {}  // NOLINT: a name
  NetName(std::string built) : built_(std::move(built)) {}               // NOLINT: a name
  std::string_view text() const { return is_design_name() ? design_name_.text : built_; }
  bool empty() const { return text().empty(); }
  bool is_design_name() const { return design_name_.id != kNoSymbol; }
  const SymbolText& design_name() const { return design_name_; }

 private:
  SymbolText design_name_;
  std::string built_;
};

// A name the mapping rules fix ("buff", "Reset_signal"), with a slot of its
// own in the netlist: the cell type or net it names is looked up once, and
// the millions of cells and pins that use it are named without their text.
struct FixedName {
  std::string_view text;
  std::uint8_t slot = 0;  // below Netlist::kFixedNames, one per name
};

// A pin's net as a mapper names it: a plain name or bits of a bus.
using PinNet = std::variant<NetName, BusNet>;

// Which net's mapping made a cell.
enum class SourceNet : std::uint8_t { none, global_net, local_net, data_net };

// The transition that made a cell: its net and its index in that net's list.
struct CellOrigin {
  SourceNet net = SourceNet::none;
  std::uint32_t index = 0;
};

struct Cell {
  SymbolId type = kNoSymbol;  // library cell name
  int instance = 0;
  std::uint32_t first_pin = 0;  // pins are pins()[first_pin, first_pin + pin_count)
  std::uint32_t pin_count = 0;
  CellOrigin origin;
};

class Netlist {
 public:
  explicit Netlist(Symbols& symbols);

  // How many fixed names there can be (FixedName::slot).
  static constexpr std::size_t kFixedNames = 16;

  // Increments the instance counter and returns the new number.
  int new_instance() { return ++last_instance_; }

  // The transition whose cells are made next; every cell made from now on
  // records it.
  void set_origin(CellOrigin origin) { origin_ = origin; }

  // Takes the next instance number and appends a cell of the catalogue's
  // `shape` with `pin_count` pins, unnamed until name_pin names them. Cells
  // never move. The type's name is the catalogue's, or `name` for a global
  // control cell.
  const Cell& start_cell(const CellShape& shape, std::size_t pin_count);
  const Cell& start_cell(std::string_view name, const CellShape& shape, std::size_t pin_count);

  // The common case: takes the next instance number and appends a cell with
  // pins 1..n on `nets`.
  // A net name is any of std::string_view, std::string, SymbolText,
  // NetName, FixedName, BusNet or PinNet.
  template <class Name>
  const Cell& add(const CellShape& shape, const std::vector<Name>& nets) {
    const Cell& cell = start_cell(shape, nets.size());
    for (std::size_t i = 0; i < nets.size(); ++i) pin_slot(cell, i) = net_of(nets[i]);
    return cell;
  }

  // A cell that enters the list later (append), under an instance number
  // taken earlier: `slots` pins are reserved for it now and placed one by one
  // (place_pin); it has as many pins as are placed.
  Cell reserve_cell(const CellShape& shape, int instance, std::size_t slots);

  // Appends a reserved cell; the list order is the output order.
  void append(const Cell& cell);

  // Names pin `position` (from 0) of a cell made by start_cell.
  template <class Name>
  void name_pin(const Cell& cell, std::size_t position, const Name& net) {
    check_pin(cell, position);
    pin_slot(cell, position) = net_of(net);
  }

  // Places the next pin of a reserved cell.
  template <class Name>
  void place_pin(Cell& cell, const Name& net) {
    pin_slot(cell, cell.pin_count) = net_of(net);
    ++cell.pin_count;
  }
  // Places the next pins of a reserved cell, in order.
  void place_pins(Cell& cell, const std::vector<PinNet>& nets) {
    for (const PinNet& net : nets) place_pin(cell, net);
  }

  // The net of this name, made if it is new.
  NetId net_named(const NetName& name) { return net_of(name); }

  // The catalogue entry of each cell type, in the order the types were
  // first used: a type's entry is there before any cell of it, so a thread
  // that reads settled cells may read the entries up to theirs.
  struct TypeEntry {
    SymbolId type = kNoSymbol;
    CellShape shape;
  };
  // Few: blocks of 64, room for 2^22 types.
  using TypeEntries = BlockList<TypeEntry, 6, 22>;
  const TypeEntries& type_entries() const { return type_entries_; }

  // Keeps how a global control cell's pins group; the number goes into its
  // shape (global_control_cell). Read once mapping is over.
  std::uint32_t add_control_groups(ControlGroups groups) {
    control_groups_.push_back(std::move(groups));
    return static_cast<std::uint32_t>(control_groups_.size() - 1);
  }
  const ControlGroups& control_groups(const CellShape& shape) const {
    return control_groups_.at(shape.groups);
  }

  // The plain net of this name, or kUnnamedNet; the vector of this name, or
  // kNoVector. Nothing is made.
  NetId find_plain_net(std::string_view name) const;
  VectorId find_vector(std::string_view name) const;
  // The same for a name given by its symbol, and the vector of a rail of a
  // base (x, x_bar, x_done), mostly without their texts.
  NetId find_plain_net(SymbolId name) const;
  VectorId find_vector(SymbolId base, Rail rail) const;

  // The cell at `position` in the list, to place more pins on (a cell
  // never moves).
  Cell& cell_at(std::size_t position) { return cells_[position]; }

  // ---- settling --------------------------------------------------------------
  // Cells before `count` will not change any more: their pins, nets and
  // names are final, and another thread may read them (and nothing else)
  // while mapping goes on. The reader is told in steps of many cells.
  void settle(std::size_t count) {
    if (count < announced_settled_ + kSettleStep) return;
    announced_settled_ = count;
    settled_->raise(count);
  }
  // Every cell is final: mapping is over.
  void settle_all() { settled_->finish(cells_.size()); }
  // How far the cells have settled, for the reading thread to wait on.
  const Watermark& settled_cells() const { return *settled_; }

  // ---- reading --------------------------------------------------------------
  const BlockList<Cell>& cells() const { return cells_; }
  std::span<const NetId> pins(const Cell& cell) const {
    if (cell.pin_count == 0) return {};
    return {pin_slots(cell.first_pin), cell.pin_count};
  }
  const Net& net(NetId id) const { return nets_[id]; }
  std::size_t net_count() const { return nets_.size(); }
  // The names of the vectors, by VectorId.
  const BlockList<SymbolId>& vectors() const { return vectors_; }
  // By VectorId, how many bits a vector's nets reach: the highest bit of
  // any, plus one.
  std::vector<std::uint32_t> vector_widths() const;

  std::string_view text(SymbolId id) const { return symbols_.text(id); }
  // The name of a plain net (empty for the unnamed net).
  std::string_view plain_name(NetId id) const {
    const SymbolId name = nets_[id].name();
    return name == kNoSymbol ? std::string_view() : symbols_.text(name);
  }
  // The name of any net, written out.
  std::string net_text(NetId id) const;
  // The most bytes put_net_name writes for the net.
  std::size_t most_name_bytes(NetId id) const {
    const Net& net = nets_[id];
    return net.is_bus() ? symbols_.text(vectors_[net.vector()]).size() + kMostBitBytes
                        : plain_name(id).size();
  }
  // Writes the net's name at `at`, which has room for most_name_bytes(id);
  // returns the end of what it wrote.
  char* put_net_name(char* at, NetId id) const;
  std::string_view type_name(const Cell& cell) const { return symbols_.text(cell.type); }
  std::size_t symbol_count() const { return symbols_.size(); }

 private:
  NetId net_of(std::string_view name);
  NetId net_of(const BusNet& bus);
  NetId net_of(const SymbolText& name);
  NetId net_of(const std::string& name) { return net_of(std::string_view(name)); }
  NetId net_of(const NetName& name) {
    return name.is_design_name() ? net_of(name.design_name()) : net_of(name.text());
  }
  NetId net_of(const FixedName& name);
  NetId net_of(const PinNet& net);
  static void check_pin(const Cell& cell, std::size_t position);
  NetId plain_net(std::string_view name);
  NetId plain_net_of_symbol(SymbolId symbol);
  NetId bus_net(VectorId vector, int high, int low, bool slice);
  VectorId vector_of(std::string_view base);
  VectorId vector_of_symbol(SymbolId base);
  VectorId vector_of(std::string_view base, Rail rail);
  VectorId vector_of(const BusNet& bus);
  // The complement and done vectors of the design's names, by symbol;
  // kNoVector until asked for. Sized once, when first asked, to the symbols
  // there are then: the readers have entered every design name by then.
  std::vector<VectorId> complement_of_symbol_;
  std::vector<VectorId> done_of_symbol_;
  std::uint32_t reserve_pins(std::size_t count);

  // The nets and vectors a mapper named last, by where their name's text
  // lies: a name passed again and again (the reset net, a transition's
  // control net, the bits of one bus) is found without hashing its text.
  // An entry is checked against the text before it is used.
  struct RecentName {
    const char* text = nullptr;
    std::size_t size = 0;
    std::uint32_t id = 0;
  };
  static constexpr std::size_t kRecentNames = 1024;
  static std::size_t recent_slot(const char* text, std::size_t size, unsigned salt);
  std::vector<RecentName> recent_nets_ = std::vector<RecentName>(kRecentNames);
  std::vector<RecentName> recent_vectors_ = std::vector<RecentName>(kRecentNames);
  std::vector<RecentName> recent_types_ = std::vector<RecentName>(kRecentNames);
  std::string rail_name_;  // a rail's vector name while it is looked up

  // The one-bit nets of each vector, by bit: bits_of_vector_[v] is a range
  // of bit_nets_ that grows when a higher bit is named.
  // A vector's nets: its bits, by index, in a range of bit_nets_ that moves
  // to the end when a higher bit is named; the first slice named of it,
  // nearly always the only one (its whole width); any other slice is in
  // other_slices_.
  struct VectorNets {
    std::uint32_t start = 0;
    std::uint32_t count = 0;
    NetId first_slice = kUnnamedNet;
  };
  std::vector<VectorNets> nets_of_vector_;  // by VectorId
  std::deque<NetId> bit_nets_;              // kUnnamedNet where a bit has no net yet
  std::unordered_map<std::uint64_t, NetId> other_slices_;  // by vector, high and low
  NetId slice_net(VectorId vector, int high, int low);
  NetId bit_net(VectorId vector, int index);
  NetId new_bus_net(VectorId vector, int high, int low, bool slice);
  SymbolId cell_type(std::string_view name, const CellShape& shape);
  SymbolId cell_type(const CellShape& shape);
  SymbolId enter_type(SymbolId type, const CellShape& shape);
  const Cell& start_cell_of_type(SymbolId type, std::size_t pin_count);
  Cell reserve_cell_of_type(SymbolId type, int instance, std::size_t slots);
  // The cell types and nets of fixed names, by slot, once looked up.
  // The types of the kinds whose cells all have one name, by kind.
  std::array<SymbolId, static_cast<std::size_t>(CellKind::unknown) + 1> fixed_kind_types_ =
      filled_types();
  static constexpr std::array<SymbolId, static_cast<std::size_t>(CellKind::unknown) + 1>
  filled_types() {
    std::array<SymbolId, static_cast<std::size_t>(CellKind::unknown) + 1> ids{};
    ids.fill(kNoSymbol);
    return ids;
  }
  std::array<NetId, kFixedNames> fixed_nets_ = filled<NetId>(kUnnamedNet);
  template <class Id>
  static constexpr std::array<Id, kFixedNames> filled(Id id) {
    std::array<Id, kFixedNames> ids{};
    ids.fill(id);
    return ids;
  }

  Symbols& symbols_;
  // Lists in blocks that never move: they grow without copying, without
  // holding twice their size while they do, and without disturbing a thread
  // that reads the settled cells.
  BlockList<Cell> cells_;
  // Pin slots in blocks of kPinBlock, addressed by one index: pin p is slot
  // p % kPinBlock of block p / kPinBlock. A cell's pins never straddle two
  // blocks; a cell with more pins than a block gets one allocation of its own
  // and the block numbers it covers (the later ones left empty).
  static constexpr std::uint32_t kPinBlock = std::uint32_t{1} << 20;
  // The table of blocks is made once, at its full size (pin indexes are
  // 32 bits), so that it never moves either.
  static constexpr std::size_t kMaxPinBlocks = (std::uint64_t{1} << 32) / kPinBlock;
  // The table, which the writing thread reads, lies apart from the counts,
  // which every new cell changes (see BlockList).
  alignas(kCacheLine) std::unique_ptr<std::unique_ptr<NetId[]>[]> pin_blocks_ =
      std::make_unique<std::unique_ptr<NetId[]>[]>(kMaxPinBlocks);
  alignas(kCacheLine) std::size_t pin_blocks_used_ = 0;  // table entries covered by blocks
  std::uint64_t pins_end_ = 0;                           // the next free pin index
  const NetId* pin_slots(std::uint32_t first) const {
    return pin_blocks_[first / kPinBlock].get() + first % kPinBlock;
  }
  NetId& pin_slot(const Cell& cell, std::size_t position);
  BlockList<Net> nets_;                     // by NetId; nets_[kUnnamedNet] has no name
  std::vector<NetId> net_of_symbol_;        // by SymbolId; plain nets, kUnnamedNet where none
  BlockList<SymbolId> vectors_;             // by VectorId
  std::vector<VectorId> vector_of_symbol_;  // by SymbolId; kNoVector where none
  CellOrigin origin_;
  int last_instance_ = 0;
  static constexpr std::size_t kSettleStep = 4096;
  std::size_t announced_settled_ = 0;
  std::unique_ptr<Watermark> settled_ = std::make_unique<Watermark>();  // movable netlist
  TypeEntries type_entries_;
  std::vector<ControlGroups> control_groups_ = std::vector<ControlGroups>(1);  // entry 0: none
  std::unordered_map<SymbolId, std::uint32_t> entry_of_type_;  // by type: its place in type_entries_
};

}  // namespace syn
