// Names of the global control cells and of their backward nets, kept apart
// from the passes so the rules can be checked on their own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace syn {

// One global place of a control cell with a count of its neighbouring
// transitions (producers on the set side, consumers on the reset side), or a
// local input place with the number of its producers.
struct CountedPlace {
  int num = 0;
  std::size_t index = 0;  // caller's own position of the entry, carried along
};

// Orders entries given in arc order as the working lists hold them: count
// descending, and among equal counts the entry added later comes first.
std::vector<CountedPlace> order_by_count(const std::vector<CountedPlace>& in_arc_order);

// "set", "setOR3", "setAND2", "setOA211" for base "set", from a non-empty
// list already ordered by count.
std::string cell_side_name(const std::string& base, const std::vector<CountedPlace>& side);

// "DC" + set part + reset part + "_0", for example DCsetOR2resetAND2_0.
std::string control_cell_name(const std::vector<CountedPlace>& set_list,
                              const std::vector<CountedPlace>& reset_list);

// One producer's part of a backward net: its instance number and the group
// label ("r" + place rank + consumer rank) of the arc in its reset list.
struct backward_group {
  int producer_instance = 0;
  std::string groups;
};

// "I" + instance + "bk", then "_I" + producer instance + group for each
// producer, for example I4bk_I2r11_I3r21.
std::string backward_net_name(int instance, const std::vector<backward_group>& producers);

}  // namespace syn
