// Control places that only one side of the design names: produced and never
// consumed, or consumed and never produced. Usually a mistyped name.
#pragma once

#include <string>
#include <string_view>

#include "diag/diagnostics.hpp"
#include "model/design.hpp"
#include "model/symbols.hpp"

namespace syn {

// A table's name for messages, and its whole text.
struct NamedText {
  const std::string& file;
  std::string_view text;
};

// Warns about each place of the global or local control net that the three
// nets together produce and never consume, or consume and never produce,
// naming the first line of the control net table that names it, with a
// place name one or two edits away when there is one.
void warn_about_unlinked_places(NamedText global_net, NamedText local_net, const Design& design,
                                const Symbols& symbols, Diagnostics& diag);

}  // namespace syn
