#include "outputs/outputs.hpp"

#include <functional>
#include <utility>

#include "netlist/stats.hpp"
#include "netlist/write_file.hpp"
#include "netlist/write_verilog.hpp"
#include "outputs/cell_models.hpp"
#include "outputs/netlist_facts.hpp"
#include "outputs/testbench.hpp"
#include "util/run_beside.hpp"

namespace syn {

OutputTarget OutputTarget::file(std::string path) {
  OutputTarget target;
  target.name_ = std::move(path);
  return target;
}

OutputTarget OutputTarget::standard_output() {
  OutputTarget target;
  target.kind_ = Kind::standard_output;
  target.name_ = "-";
  return target;
}

OutputTarget OutputTarget::memory(std::string& into, std::string name) {
  OutputTarget target;
  target.kind_ = Kind::memory;
  target.name_ = std::move(name);
  target.memory_ = &into;
  return target;
}

std::string OutputTarget::shown_name() const {
  return kind_ == Kind::standard_output ? "standard output" : name_;
}

std::string OutputTarget::design_name() const {
  // Also for a picture written to a file named "-".
  return name_ == "-" ? "netlist" : default_top_name(name_);
}

std::unique_ptr<Destination> OutputTarget::open(std::ostream& standard_output) const {
  switch (kind_) {
    case Kind::standard_output:
      return std::make_unique<StreamDestination>(standard_output);
    case Kind::memory:
      return std::make_unique<MemoryDestination>(*memory_);
    case Kind::file:
      break;
  }
  return std::make_unique<ReplacingFile>(name_);
}

bool OutputTarget::held_until_commit() const {
  return kind_ == Kind::memory || (kind_ == Kind::file && is_replaced_through_temporary(name_));
}

namespace {

bool report_failure(const OutputTarget& target, const std::string& failure, std::ostream& err) {
  if (failure.empty()) return false;
  err << "syn-tool: cannot write " << target.shown_name() << ": " << failure << '\n';
  return true;
}

// The Verilog form from a tally of the cells: the names of the nets are
// sorted on a second thread while the facts about the pins are worked out
// and the modules named, then the nets are named and declared.
std::optional<std::string> verilog_from_tally(const MappedDesign& design, const std::string& top,
                                              CellTally tally, VerilogNetlist& verilog) {
  const Netlist& netlist = design.netlist;
  std::optional<std::string> problem;
  SortedNetNames names;
  std::optional<NetlistFacts> facts;
  ModuleFacts module;
  run_beside([&] { names = std::move(tally.names).sorted(netlist); },
             [&] {
               facts.emplace(netlist, design.drawn, std::move(tally.directions),
                             std::move(tally.pins_by_net));
               module = module_facts(*facts, design.drawn.design, design.files);
               problem = build_verilog_cells(netlist, top, verilog, std::move(tally.types));
             });
  if (problem) return problem;
  build_verilog_nets(netlist, std::move(names), module, verilog);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> verilog_form(const MappedDesign& design, const std::string& top,
                                        PortDetail detail, VerilogNetlist& verilog) {
  return verilog_from_tally(design, top, CellTally(design.netlist, detail), verilog);
}

// What follows mapping on a second thread: at most one of the two.
struct Outputs::FollowingMapping {
  std::optional<NetlistFileWriter> netlist_file;
  std::optional<CellTallyWhileMapping> cell_tally;
};

Outputs::Outputs(const Netlist& netlist, OutputRequest request, std::ostream& standard_output)
    : netlist_(netlist),
      request_(std::move(request)),
      standard_output_(standard_output),
      following_(std::make_unique<FollowingMapping>()) {
  const std::optional<OutputTarget>& target = request_.netlist;
  if (request_.format == NetlistFormat::netlist && target && target->held_until_commit()) {
    netlist_destination_ = target->open(standard_output_);
    following_->netlist_file.emplace(netlist_, *netlist_destination_);
  } else if (needs_verilog()) {
    following_->cell_tally.emplace(netlist_, port_detail());
  }
}

Outputs::~Outputs() = default;

void Outputs::set_netlist_target(OutputTarget target) { request_.netlist = std::move(target); }

bool Outputs::needs_verilog() const {
  return request_.format == NetlistFormat::verilog || request_.cells || request_.models ||
         request_.testbench;
}

PortDetail Outputs::port_detail() const {
  // The ports in full only for the cell declarations and the models.
  return request_.cells || request_.models || request_.testbench ? PortDetail::widths_and_directions
                                                                 : PortDetail::count;
}

std::optional<std::string> Outputs::prepare_verilog(const MappedDesign& design,
                                                    VerilogNetlist& verilog) {
  const std::string top = request_.top ? *request_.top : request_.netlist->design_name();
  CellTally tally = following_->cell_tally ? following_->cell_tally->finish()
                                           : CellTally(netlist_, port_detail());
  return verilog_from_tally(design, top, std::move(tally), verilog);
}

int Outputs::write(const MappedDesign& design, std::ostream& err) {
  VerilogNetlist verilog;
  if (needs_verilog()) {
    if (auto problem = prepare_verilog(design, verilog)) {
      err << "syn-tool: " << *problem << "\n"
          << "Try 'syn-tool --help'.\n";
      return exit_usage;
    }
  }
  if (int status = write_cell_declarations(verilog, err)) return status;
  if (int status = write_cell_models(verilog, err)) return status;
  if (int status = write_testbench(design, verilog, err)) return status;
  if (int status = write_picture(design.drawn, err)) return status;
  if (int status = write_netlist(verilog, err)) return status;
  if (request_.stats) write_stats(collect_stats(netlist_), err);
  if (request_.stats_by_transition)
    write_cells_by_transition(netlist_, design.drawn, design.files, err);
  return exit_ok;
}

int Outputs::write_text(const std::optional<OutputTarget>& target,
                        const std::function<void(std::ostream&)>& fill, std::ostream& err) {
  if (!target) return exit_ok;
  const std::unique_ptr<Destination> to = target->open(standard_output_);
  return report_failure(*target, write_through_stream(*to, fill), err) ? exit_error : exit_ok;
}

int Outputs::write_cell_declarations(const VerilogNetlist& verilog, std::ostream& err) {
  return write_text(
      request_.cells, [&](std::ostream& out) { write_verilog_cells(verilog, out); }, err);
}

int Outputs::write_cell_models(const VerilogNetlist& verilog, std::ostream& err) {
  return write_text(
      request_.models, [&](std::ostream& out) { syn::write_cell_models(netlist_, verilog, out); },
      err);
}

int Outputs::write_testbench(const MappedDesign& design, const VerilogNetlist& verilog,
                             std::ostream& err) {
  return write_text(
      request_.testbench, [&](std::ostream& out) { syn::write_testbench(design, verilog, out); },
      err);
}

int Outputs::write_picture(const DrawnDesign& drawn, std::ostream& err) {
  if (!request_.dot) return exit_ok;
  const std::string title = (request_.netlist ? *request_.netlist : *request_.dot).design_name();
  return write_text(
      request_.dot, [&](std::ostream& out) { write_dot(drawn, title, out); }, err);
}

int Outputs::write_netlist(const VerilogNetlist& verilog, std::ostream& err) {
  std::string failure;
  if (following_->netlist_file) {
    failure = following_->netlist_file->finish();
  } else {
    const std::unique_ptr<Destination> to = request_.netlist->open(standard_output_);
    failure = request_.format == NetlistFormat::verilog
                  ? write_verilog_module(netlist_, verilog, *to)
                  : syn::write_netlist(netlist_, *to);
  }
  return report_failure(*request_.netlist, failure, err) ? exit_error : exit_ok;
}

}  // namespace syn
