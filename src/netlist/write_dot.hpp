// A Graphviz picture of a design: the transitions of the three nets as
// boxes, their places as circles, each net in its own colour. A place that
// arcs of two or three nets touch is one signal: it is drawn once, as a grey
// double circle naming its nets. Data places show their widths, so the
// picture is best drawn after mapping, when every width is known.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "model/design.hpp"
#include "model/symbols.hpp"

namespace syn {

// The design with its names and the widths its mapping gave the data places
// (by position; empty when it was not mapped).
struct DrawnDesign {
  const Design& design;
  const Symbols& symbols;
  const std::vector<int>& data_place_widths;
};

void write_dot(const DrawnDesign& drawn, const std::string& title, std::ostream& out);

}  // namespace syn
