// The outputs of a run: the netlist in its own format or as a Verilog
// module, the Verilog cell declarations (--cells), the Graphviz picture
// (--dot), and on the console the summary (--stats), the cells per
// transition (--stats-by-transition) and the check (--check). The command
// line, the tests and the fuzz target all write them here, each by one
// function; which of them follows mapping on a second thread is decided
// here as well, from what is asked for.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "diag/exit_status.hpp"
#include "netlist/cell_tally.hpp"
#include "netlist/destination.hpp"
#include "netlist/netlist.hpp"
#include "netlist/structure_check.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_netlist.hpp"

namespace syn {

// Where an output goes: a file, the run's standard output, or a string in
// memory (tests and the fuzz target), which takes the bytes as a file
// replaced through a temporary does.
class OutputTarget {
 public:
  static OutputTarget file(std::string path);
  static OutputTarget standard_output();
  static OutputTarget memory(std::string& into, std::string name);

  // "standard output", or the file's (or memory's) name, for messages.
  std::string shown_name() const;
  // The design's name in the Verilog module and the picture: the file's
  // name without folder and extension, "netlist" on standard output.
  std::string design_name() const;
  std::unique_ptr<Destination> open(std::ostream& standard_output) const;
  // True when the target takes the bytes only once they are committed, so
  // that they can be written before the run knows it will succeed: memory,
  // and a file replaced through a temporary (not a device or a FIFO).
  bool held_until_commit() const;

 private:
  enum class Kind { file, standard_output, memory } kind_ = Kind::file;
  std::string name_;
  std::string* memory_ = nullptr;
};

enum class NetlistFormat { netlist, verilog };

// What a run is asked to write.
struct OutputRequest {
  NetlistFormat format = NetlistFormat::netlist;
  std::optional<OutputTarget> netlist;  // unknown until asked for on the console
  std::optional<std::string> top;       // --top: the Verilog module's name
  std::optional<OutputTarget> cells;
  std::optional<OutputTarget> models;     // behavioural models of the cell types
  std::optional<OutputTarget> testbench;  // a testbench for the Verilog module
  std::optional<OutputTarget> dot;
  bool stats = false;
  bool stats_by_transition = false;
};

// What the outputs are written from.
struct MappedDesign {
  const Netlist& netlist;
  DrawnDesign drawn;
  TableFiles files;
};

class Outputs {
 public:
  // Made before `netlist` is mapped, to start on a second thread what can
  // follow mapping: the netlist file, when its target is known and holds
  // its bytes until they are committed; otherwise, for the Verilog module
  // or the cell declarations, the tally of the cells.
  Outputs(const Netlist& netlist, OutputRequest request, std::ostream& standard_output);
  Outputs(const Outputs&) = delete;
  Outputs& operator=(const Outputs&) = delete;
  ~Outputs();

  // The netlist's target, when it was asked for only once mapping ended.
  void set_netlist_target(OutputTarget target);

  // Writes every output asked for, in this order: the cell declarations,
  // the picture, the netlist, then the summary and the cells per transition
  // on `err`. Returns exit_ok, or the exit status of the failure after
  // printing its message on `err`. The netlist's target must be known.
  int write(const MappedDesign& design, std::ostream& err);

  // The picture alone, for a design whose mapping was refused.
  int write_picture(const DrawnDesign& drawn, std::ostream& err);

 private:
  struct FollowingMapping;

  PortDetail port_detail() const;
  std::optional<std::string> prepare_verilog(const MappedDesign& design, VerilogNetlist& verilog);
  bool needs_verilog() const;
  // Writes `target`, when it is asked for, from the text `fill` writes.
  int write_text(const std::optional<OutputTarget>& target,
                 const std::function<void(std::ostream&)>& fill, std::ostream& err);
  int write_cell_declarations(const VerilogNetlist& verilog, std::ostream& err);
  int write_cell_models(const VerilogNetlist& verilog, std::ostream& err);
  int write_testbench(const MappedDesign& design, const VerilogNetlist& verilog, std::ostream& err);
  int write_netlist(const VerilogNetlist& verilog, std::ostream& err);

  const Netlist& netlist_;
  OutputRequest request_;
  std::ostream& standard_output_;
  std::unique_ptr<Destination> netlist_destination_;  // opened early when a writer follows
  std::unique_ptr<FollowingMapping> following_;       // last: stopped first
};

// The Verilog form of a mapped netlist with the module named `top`, as the
// Verilog module and the cell declarations are written from it; an error
// text when `top` cannot serve as the module's name.
std::optional<std::string> verilog_form(const MappedDesign& design, const std::string& top,
                                        PortDetail detail, VerilogNetlist& verilog);

}  // namespace syn
