// The design as read from the four tables: the records of the three nets and
// the IO table. Names are symbol ids of the run's symbol table; the
// records refer to each other by position. Nothing changes the design once
// reading has ended: what mapping works out lives in its own state.
//
// List orders are part of the behaviour: the global transitions keep file
// order (a name may repeat), every other top-level list and every sub-list of
// the local and data nets is ascending by byte-wise name, each name once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/symbols.hpp"

namespace syn {

// Positions in one of the design's lists, as a range of one array per net
// that the design holds (see Design).
using Positions = std::span<const std::uint32_t>;
inline constexpr std::uint32_t kNoPosition = static_cast<std::uint32_t>(-1);

// The producers and consumers of a place: a range of the array of links
// that the design holds for the place's net, producers first (see
// Design::producers_of).
struct LinkRange {
  std::uint32_t first = 0;
  std::uint32_t producers = 0;
  std::uint32_t consumers = 0;
};

// The arcs of one side of a transition: a range of the array of arcs that
// the design holds for the transition's net (see Design::inputs_of).
struct ArcRange {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

// A register, input or output of the IO table.
struct IoDeclaration {
  SymbolId name = kNoSymbol;
  int width = 1;
};

// The net a place belongs to, as one of the tables or the data net's reader
// says. The order matters: a global transition's places sort global before
// local.
enum class PlaceNet : unsigned char { none, global_net, local_net, data_net };

// ---- global control net -------------------------------------------------

// One place of one global transition, as one line of the file names it.
struct GlobalArc {
  SymbolId name = kNoSymbol;
  PlaceNet net = PlaceNet::none;  // the net letter: global, local, or none
};

using GlobalArcs = std::span<const GlobalArc>;

struct GlobalTransition {
  SymbolId name = kNoSymbol;
  int line = 0;      // first line of the record, for messages
  ArcRange inputs;   // file order, may repeat
  ArcRange outputs;  // file order, may repeat
};

// Producers and consumers are the positions of the first transition record
// of each name, ascending by name, each name once.
struct GlobalPlace {
  SymbolId name = kNoSymbol;
  Positions producers;
  Positions consumers;
};

// ---- local control net --------------------------------------------------

struct LocalArc {
  SymbolId name = kNoSymbol;
};

using LocalArcs = std::span<const LocalArc>;

struct LocalTransition {
  SymbolId name = kNoSymbol;
  int line = 0;      // first line that names it, for messages and cell sources
  ArcRange inputs;   // ascending, unique
  ArcRange outputs;  // ascending, unique
};

struct LocalPlace {
  SymbolId name = kNoSymbol;
  LinkRange links;  // producers and consumers, each ascending, unique
};

// ---- data net -----------------------------------------------------------

// What a data net line says of its place: a data place or a control place.
enum class ArcKind : unsigned char { control, data };

// The terminal type letter of a data net line.
enum class Terminal : unsigned char {
  none,
  input_port,      // I
  output_port,     // O
  register_place,  // V
  constant,        // C
};

// The relation word of a comparison's output place.
enum class Relation : unsigned char {
  none,
  greater,           // >
  greater_or_equal,  // >=
  less,              // <
  less_or_equal,     // <=
  equal,             // =
  not_equal,         // !=
  other,             // any other word
};

// A place of one data transition, with what the line that names it says.
struct DataArc {
  SymbolId name = kNoSymbol;
  std::uint32_t place = kNoPosition;   // position of the place's record
  int initial_value = 0;               // a constant's value
  int order = 0;                       // data places: position among same-direction data places
  SymbolId relation_word = kNoSymbol;  // the relation as written, for messages
  Relation relation = Relation::none;  // control places
  Terminal terminal = Terminal::none;
  ArcKind kind = ArcKind::control;
  PlaceNet net = PlaceNet::none;  // control places: the local net if it has
                                  // the name, else the global net, else the data net
};

using DataArcs = std::span<const DataArc>;

struct DataTransition {
  SymbolId name = kNoSymbol;
  int line = 0;      // first line that names it, for messages and cell sources
  ArcRange inputs;   // ascending, unique
  ArcRange outputs;  // ascending, unique
  // How many places of each kind the transition has on each side.
  int data_input_count = 0;
  int data_output_count = 0;
  int control_net_inputs = 0;  // control places of the control nets
  int control_net_outputs = 0;
  int data_net_control_inputs = 0;  // control places of the data net itself
  int data_net_control_outputs = 0;
  bool is_operation = false;  // the first line carries a relation or operation word
};

// Kind, terminal type and constant value come from the last transition in
// list order that names the place (an input entry winning over an output
// entry of the same transition).
struct DataPlace {
  SymbolId name = kNoSymbol;
  LinkRange links;         // writers and readers, each ascending, unique
  int writer_lines = 0;    // data lines writing the place
  int reader_lines = 0;    // data lines reading the place
  int declared_width = 0;  // from the IO table, 0 when undeclared
  int initial_value = 0;
  PlaceNet net = PlaceNet::none;  // the global net if it has the name, else the
                                  // local net, else the data net
  Terminal terminal = Terminal::none;
  ArcKind kind = ArcKind::control;
};

// A list of records with the position of the first record of each symbol,
// as a search from the head of the list would find it.
template <class Node>
class NamedList {
 public:
  std::vector<Node> items;

  // Builds the lookup; call once `items` is complete.
  void index() {
    first_.clear();
    lowest_ = kNoSymbol;
    if (items.empty()) return;
    SymbolId highest = 0;
    for (const Node& item : items) {
      lowest_ = std::min(lowest_, item.name);
      highest = std::max(highest, item.name);
    }
    first_.assign(std::size_t{highest} - lowest_ + 1, kNoPosition);
    for (std::size_t i = 0; i < items.size(); ++i) {
      std::uint32_t& first = first_[items[i].name - lowest_];
      if (first == kNoPosition) first = static_cast<std::uint32_t>(i);
    }
  }
  // Position of the first record of `name`, or kNoPosition.
  std::uint32_t position(SymbolId name) const {
    return name >= lowest_ && name - lowest_ < first_.size() ? first_[name - lowest_] : kNoPosition;
  }
  const Node* find(SymbolId name) const {
    const std::uint32_t i = position(name);
    return i == kNoPosition ? nullptr : &items[i];
  }
  bool contains(SymbolId name) const { return position(name) != kNoPosition; }

 private:
  // By symbol id, from the lowest id in the list on: the names of one list
  // often lie in one stretch of the ids.
  std::vector<std::uint32_t> first_;
  SymbolId lowest_ = kNoSymbol;
};

struct Design {
  // IO table, file order, duplicates kept (the first one counts).
  std::vector<IoDeclaration> registers;
  std::vector<IoDeclaration> inputs;
  std::vector<IoDeclaration> outputs;

  NamedList<GlobalTransition> global_transitions;  // file order
  NamedList<GlobalPlace> global_places;            // ascending
  NamedList<LocalTransition> local_transitions;    // ascending
  NamedList<LocalPlace> local_places;              // ascending
  NamedList<DataTransition> data_transitions;      // ascending
  NamedList<DataPlace> data_places;                // ascending

  // The producers and consumers of each net's places, place after place:
  // one array per net instead of two small ones per place. A global place
  // holds views of its lists, the others their range.
  std::vector<std::uint32_t> global_place_links;
  std::vector<std::uint32_t> local_place_links;
  std::vector<std::uint32_t> data_place_links;

  // The arcs of each net's transitions, transition after transition, each
  // one's inputs before its outputs: one array per net instead of two small
  // ones per transition.
  std::vector<GlobalArc> global_arcs;
  std::vector<LocalArc> local_arcs;
  std::vector<DataArc> data_arcs;

  Positions producers_of(const LocalPlace& p) const {
    return producers_in(local_place_links, p.links);
  }
  Positions consumers_of(const LocalPlace& p) const {
    return consumers_in(local_place_links, p.links);
  }
  Positions producers_of(const DataPlace& p) const {
    return producers_in(data_place_links, p.links);
  }
  Positions consumers_of(const DataPlace& p) const {
    return consumers_in(data_place_links, p.links);
  }

  GlobalArcs inputs_of(const GlobalTransition& t) const { return arcs_in(global_arcs, t.inputs); }
  GlobalArcs outputs_of(const GlobalTransition& t) const { return arcs_in(global_arcs, t.outputs); }
  LocalArcs inputs_of(const LocalTransition& t) const { return arcs_in(local_arcs, t.inputs); }
  LocalArcs outputs_of(const LocalTransition& t) const { return arcs_in(local_arcs, t.outputs); }
  DataArcs inputs_of(const DataTransition& t) const { return arcs_in(data_arcs, t.inputs); }
  DataArcs outputs_of(const DataTransition& t) const { return arcs_in(data_arcs, t.outputs); }

 private:
  static Positions producers_in(const std::vector<std::uint32_t>& links, LinkRange range) {
    return Positions(links).subspan(range.first, range.producers);
  }
  static Positions consumers_in(const std::vector<std::uint32_t>& links, LinkRange range) {
    return Positions(links).subspan(range.first + range.producers, range.consumers);
  }
  template <class Arc>
  static std::span<const Arc> arcs_in(const std::vector<Arc>& arcs, ArcRange range) {
    return std::span<const Arc>(arcs).subspan(range.first, range.count);
  }
};

}  // namespace syn
