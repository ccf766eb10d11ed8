// A Graphviz picture of a design: the transitions of the three nets as
// boxes, their places as circles, each net in its own colour. A place that
// arcs of two or three nets touch is one signal: it is drawn once, as a grey
// double circle naming its nets. Data places show their widths, so the
// picture is best drawn after mapping, when every width is known.
#pragma once

#include <ostream>
#include <string>

#include "model/design.hpp"

namespace syn {

void write_dot(const Design& design, const std::string& title, std::ostream& out);

}  // namespace syn
