// Reading the four input tables into a Design.
#pragma once

#include <string>
#include <string_view>

#include "diag/diagnostics.hpp"
#include "model/design.hpp"
#include "read/data_net_text.hpp"
#include "read/local_net_text.hpp"
#include "read/net_arcs.hpp"

namespace syn {

struct InputFiles {
  std::string io_spec;
  std::string global_net;
  std::string local_net;
  std::string data_net;
};

// Reads all four files whole, in order, reporting every one that cannot be
// read with the system's reason. False when any could not be read.
bool load_input_files(const InputFiles& files, std::string (&texts)[4], Diagnostics& diag);

// The readers, on a file's whole text; `file` names it in messages.
// Each later reader consults the lists of the earlier ones.
// Every name goes into `symbols`.
void read_io_spec(const std::string& file, std::string_view text, Design& design, Symbols& symbols,
                  Diagnostics& diag);
void read_global_net(const std::string& file, std::string_view text, Design& design,
                     Symbols& symbols, Diagnostics& diag);
// The local control and data nets are read in steps: their lines are cut
// out of the text (LocalNetText, DataNetText: the text alone); then their
// names are entered into `symbols`, in file order, and put in order (the
// lines' diagnostics are added to `diag` first; the data net's checks read
// the IO declarations); then the records are built. Building the local
// net's records enters no name, so it can run while the data net's names
// are entered; the data net's records consult the local net's.
NetArcs number_local_net(const LocalNetText& text, Symbols& symbols, Diagnostics& diag);
void build_local_net(NetArcs names, Design& design);
DataLines number_data_net(const DataNetText& text, const Design& design, Symbols& symbols,
                          Diagnostics& diag);
void build_data_net(const DataLines& names, Design& design, const Symbols& symbols);

}  // namespace syn
