// Reading the four input tables into a Design.
#pragma once

#include <string>
#include <string_view>

#include "diag/diagnostics.hpp"
#include "model/design.hpp"
#include "read/data_net_text.hpp"
#include "read/local_net_text.hpp"

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
// The local control and data nets from their lines read beforehand (which
// needs nothing but the text); the lines' diagnostics are added to `diag`
// first.
void read_local_net(const LocalNetText& text, Design& design, Symbols& symbols, Diagnostics& diag);
void read_data_net(const DataNetText& text, Design& design, Symbols& symbols, Diagnostics& diag);

}  // namespace syn
