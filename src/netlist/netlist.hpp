// The netlist under construction: cell instances in output order, each with
// its pins and the net on every pin, and the run-wide instance counter.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace syn {

struct Pin {
  std::string name;  // the net on this pin: what the netlist prints
};

struct Cell {
  std::string name;  // library cell name
  // Filled in only for the cells found again after they are made: a global
  // control cell's set pins, a multiplexer's input pins (three per feeder).
  int pin_in_num = 0;
  int done = 0;  // a multiplexer that has all its pins
  int instance = 0;
  int next_pin = 0;  // next free pin of a cell that grows (multiplexers)
  std::vector<Pin> pins;
};

// Pins 1..n named from `names` in order.
std::vector<Pin> pins_from(std::vector<std::string> names);

class Netlist {
 public:
  // Increments the instance counter and returns the new number.
  int new_instance() { return ++last_instance_; }

  // Appends a cell at the end of the list.
  // The cell keeps the instance number it carries; references stay valid.
  Cell& append(Cell cell);

  // Takes the next instance number and appends a cell whose pins the
  // caller adds.
  Cell& start_cell(std::string cell_name);

  // The common case: takes the next instance number and appends a cell with
  // pins 1..n named from `nets`.
  Cell& add(std::string cell_name, std::vector<std::string> nets);

  // The first cell carrying this number, which the counter gave, or null.
  Cell* find_cell(int instance);

  const std::deque<Cell>& comps() const { return comps_; }
  std::deque<Cell>& comps() { return comps_; }

 private:
  // Position in comps_ of the first cell of each instance number. The numbers
  // come from the counter, so a vector indexed by number holds them; a number
  // the counter has not given (a cell made by hand) is not remembered.
  void remember_position(int instance, std::size_t position);
  std::vector<std::size_t> position_of_instance_;

  std::deque<Cell> comps_;
  int last_instance_ = 0;
};

}  // namespace syn
