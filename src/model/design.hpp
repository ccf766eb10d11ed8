// The design as read from the four tables: the records of the three nets and
// the IO specification, held in containers with name indexes.
//
// List orders are part of the behaviour: the global transitions keep file
// order (a name may repeat), every other top-level list and every sub-list of
// the local and data nets is ascending by byte-wise name, each name once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/name_index.hpp"

namespace syn {

// A register, input or output of the IO specification.
struct IoDeclaration {
  std::string name;
  int data_size = 1;
};

// The net a place belongs to, as one of the tables or set-up says. The
// order matters: a global transition's places sort global before local.
enum class PlaceNet : unsigned char { none, global_net, local_net, data_net };

// ---- global control net -------------------------------------------------

// One place of one global transition, as one line of the file names it.
struct GlobalArc {
  std::string name;
  PlaceNet net = PlaceNet::none;  // the net letter: global, local, or none
};

struct GlobalTransition {
  std::string name;
  std::vector<GlobalArc> inputs;        // file order, may repeat
  std::vector<GlobalArc> outputs;       // file order, may repeat
  int line = 0;                         // first line of the record, for messages
};

struct GlobalPlace {
  std::string name;
  std::vector<std::string> producers;  // producers, ascending, unique
  std::vector<std::string> consumers;  // consumers, ascending, unique
};

// ---- local control net --------------------------------------------------

struct LocalArc {
  std::string name;
};

struct LocalTransition {
  std::string name;
  std::vector<LocalArc> inputs;   // ascending, unique
  std::vector<LocalArc> outputs;  // ascending, unique
};

struct LocalPlace {
  std::string name;
  std::vector<std::string> producers;  // producers, ascending, unique
  std::vector<std::string> consumers;  // consumers, ascending, unique
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

// A place of one data transition, with what the line that names it says.
struct DataArc {
  std::string name;
  Terminal terminal = Terminal::none;
  ArcKind kind = ArcKind::control;
  int initial_value = 0;      // a constant's value
  PlaceNet net = PlaceNet::none;  // control places: the local net if it has
                                  // the name, else the global net, else the data net
  std::string relation_ship;  // relation text of a control place, or empty
  int order = 0;              // data places: position among same-direction data places
  // Position of the place list's record of this name, found once by the
  // data net pass before it maps (see map/place_records.hpp); until then
  // `unresolved`. Last, so that it sits in what would otherwise be padding.
  static constexpr std::uint32_t unresolved = static_cast<std::uint32_t>(-1);
  std::uint32_t record = unresolved;
};

struct DataTransition {
  std::string name;
  std::vector<DataArc> inputs;   // ascending, unique
  std::vector<DataArc> outputs;  // ascending, unique
  bool is_operation = false;     // the first line carries a relation or operation word
  // How many places of each kind the transition has on each side.
  int data_input_count = 0;
  int data_output_count = 0;
  int control_net_inputs = 0;  // control places of the control nets
  int control_net_outputs = 0;
  int data_net_control_inputs = 0;  // control places of the data net itself
  int data_net_control_outputs = 0;
  // Left by the mapping of another transition: this transfer is a late
  // input of the multiplexer with that instance number.
  int fed_mux_instance = 0;
  int marked_late_input = 0;
};

struct DataPlace {
  std::string name;
  std::string new_name;               // net name given by a datapath mapper
  std::vector<std::string> producers;  // writers, ascending, unique
  std::vector<std::string> consumers;  // readers, ascending, unique
  PlaceNet net = PlaceNet::none;       // after set-up: the global net if it has the
                                       // name, else the local net, else the data net
  int writer_lines = 0;                // data lines writing the place
  int reader_lines = 0;                // data lines reading the place
  int data_size = 0;
  Terminal terminal = Terminal::none;
  ArcKind kind = ArcKind::control;
  int initial_value = 0;
};

// A list of records with a name index in which the first record of a name
// wins, as a search from the head of the list would find it.
template <class Node>
class NamedList {
 public:
  std::vector<Node> items;

  // Rebuilds the index; call after filling or reordering `items`.
  void reindex() {
    index_.clear();
    index_.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) index_.insert(items[i].name, i, name_of());
  }
  // Takes an index already built for the names of `items`, each at its
  // position, instead of hashing every name again as `reindex` does.
  void adopt_index(NameIndex index) { index_ = std::move(index); }
  Node* find(const std::string& name) {
    const std::size_t i = index_.find(name, name_of());
    return i == NameIndex::npos ? nullptr : &items[i];
  }
  const Node* find(const std::string& name) const {
    const std::size_t i = index_.find(name, name_of());
    return i == NameIndex::npos ? nullptr : &items[i];
  }
  bool contains(const std::string& name) const {
    return index_.find(name, name_of()) != NameIndex::npos;
  }

 private:
  auto name_of() const {
    return [this](std::size_t i) -> const std::string& { return items[i].name; };
  }
  NameIndex index_;
};

struct Design {
  // IO specification, file order, duplicates kept (the first one counts).
  std::vector<IoDeclaration> registers;
  std::vector<IoDeclaration> inputs;
  std::vector<IoDeclaration> outputs;

  NamedList<GlobalTransition> global_transitions;  // file order
  NamedList<GlobalPlace> global_places;            // ascending
  NamedList<LocalTransition> local_transitions;    // ascending
  NamedList<LocalPlace> local_places;              // ascending
  NamedList<DataTransition> data_transitions;      // ascending
  NamedList<DataPlace> data_places;                // ascending
};

}  // namespace syn
