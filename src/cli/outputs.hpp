// The files a run writes once mapping is done: the netlist in the chosen
// format, and on request the Verilog cell declarations, the Graphviz picture
// and the summary on standard error.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "netlist/cell_tally.hpp"
#include "netlist/netlist.hpp"
#include "netlist/structure_check.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_netlist.hpp"

namespace syn {

struct OutputOptions {
  bool verilog = false;             // --format verilog instead of the netlist file
  std::optional<std::string> top;   // --top NAME
  std::optional<std::string> cells; // --cells FILE
  std::optional<std::string> dot;   // --dot FILE
  bool stats = false;               // --stats
  bool stats_by_transition = false;  // --stats-by-transition
};

// Reads the option at argv[i] if it is one of the above ("--top NAME" or
// "--top=NAME"), moving i past its value. Returns false when it is not one
// of them; sets `error` for a usage error.
bool parse_output_option(int argc, char** argv, int& i, OutputOptions& options,
                         std::optional<std::string>& error);

// True for the output name "-": the netlist goes to standard output.
bool writes_to_standard_output(const std::string& output_file);

// The name of the design in the Verilog module and the picture: the output
// file's name without folder and extension, "netlist" on standard output.
std::string design_name(const std::string& output_file);

// True when the netlist file can be written while the data net is mapped
// (NetlistFileWriter): a file named on the command line, in the netlist
// format, that is replaced through a temporary file.
bool writes_netlist_while_mapping(const OutputOptions& options,
                                  const std::optional<std::string>& output_file);

// True when the cells are tallied for the Verilog module or the cell
// declarations while the data net is mapped (CellTallyWhileMapping): when
// either is asked for and no netlist file is written meanwhile.
bool tallies_cells_while_mapping(const OutputOptions& options,
                                 const std::optional<std::string>& output_file);
// How much the tally works out of the cell types' ports.
PortDetail verilog_port_detail(const OutputOptions& options);

// Writes the requested extra files, then the netlist to `output_file` (to
// `standard_output` for "-"; by finishing `netlist_file` when it was written
// while mapping), then the summary; the Verilog module and the cell
// declarations take `cell_tally` when the cells were tallied while mapping.
// Every file goes through a temporary file renamed into place, or straight
// into a device or FIFO; when anything fails the netlist is not written.
// Returns 0, or the exit status of the failure after printing its message
// on `err`.
int write_outputs(const OutputOptions& options, const DrawnDesign& design, const TableFiles& files,
                  const Netlist& netlist, NetlistFileWriter* netlist_file,
                  CellTallyWhileMapping* cell_tally, const std::string& output_file,
                  std::ostream& standard_output, std::ostream& err);

// Writes the Graphviz picture alone, when it is asked for (a design whose
// mapping was refused); the same return as above.
int write_picture(const OutputOptions& options, const DrawnDesign& design, const std::string& name,
                  std::ostream& err);

}  // namespace syn
