#include "cli/outputs.hpp"

#include "cli/netlist_facts.hpp"
#include "cli/run.hpp"
#include "netlist/stats.hpp"
#include "netlist/write_dot.hpp"
#include "netlist/write_file.hpp"
#include "netlist/write_netlist.hpp"
#include "netlist/write_verilog.hpp"
#include "util/run_beside.hpp"

namespace syn {
namespace {

// Reads "--name VALUE" or "--name=VALUE" at argv[i].
std::optional<std::string> option_value(int argc, char** argv, int& i, const std::string& name,
                                         std::optional<std::string>& error) {
  const std::string arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argc) {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    return std::string(argv[++i]);
  }
  if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
  return std::nullopt;
}

bool report_failure(const std::string& file, const std::string& failure, std::ostream& err) {
  if (failure.empty()) return false;
  err << "syn-tool: cannot write " << file << ": " << failure << '\n';
  return true;
}

// The netlist, or its Verilog module, on standard output ("-o -").
std::string write_to_stream(const OutputOptions& options, const Netlist& netlist,
                            const VerilogNetlist& verilog, std::ostream& out) {
  if (options.verilog) {
    write_verilog_module(netlist, verilog, out);
  } else {
    write_netlist(netlist, out);
  }
  out.flush();
  return out ? std::string() : std::string("write error");
}

}  // namespace

bool parse_output_option(int argc, char** argv, int& i, OutputOptions& options,
                         std::optional<std::string>& error) {
  const std::string arg = argv[i];
  if (arg == "--stats") {
    options.stats = true;
    return true;
  }
  if (arg == "--stats-by-transition") {
    options.stats_by_transition = true;
    return true;
  }
  if (auto format = option_value(argc, argv, i, "--format", error)) {
    if (*format == "verilog" || *format == "netlist") options.verilog = *format == "verilog";
    else error = "unknown format '" + *format + "' (netlist or verilog)";
    return true;
  }
  std::optional<std::string>* targets[] = {&options.top, &options.cells, &options.dot};
  const char* names[] = {"--top", "--cells", "--dot"};
  for (int k = 0; k < 3 && !error; ++k) {
    if (auto value = option_value(argc, argv, i, names[k], error)) {
      *targets[k] = *value;
      return true;
    }
  }
  return error.has_value();
}

bool writes_to_standard_output(const std::string& output_file) { return output_file == "-"; }

std::string design_name(const std::string& output_file) {
  return writes_to_standard_output(output_file) ? "netlist" : default_top_name(output_file);
}

int write_picture(const OutputOptions& options, const DrawnDesign& design, const std::string& name,
                  std::ostream& err) {
  if (options.dot &&
      report_failure(
          *options.dot,
          write_stream_file(*options.dot, [&](std::ostream& out) { write_dot(design, name, out); }),
          err)) {
    return exit_error;
  }
  return exit_ok;
}

PortDetail verilog_port_detail(const OutputOptions& options) {
  // The ports in full only for the cell declarations.
  return options.cells ? PortDetail::widths_and_directions : PortDetail::count;
}

bool tallies_cells_while_mapping(const OutputOptions& options,
                                 const std::optional<std::string>& output_file) {
  // Beside a netlist file written while mapping, the second core is taken.
  return (options.verilog || options.cells) && !writes_netlist_while_mapping(options, output_file);
}

bool writes_netlist_while_mapping(const OutputOptions& options,
                                  const std::optional<std::string>& output_file) {
  if (!output_file || options.verilog || writes_to_standard_output(*output_file)) return false;
  return is_replaced_through_temporary(*output_file);
}

int write_outputs(const OutputOptions& options, const DrawnDesign& design, const TableFiles& files,
                  const Netlist& netlist, NetlistFileWriter* netlist_file,
                  CellTallyWhileMapping* cell_tally, const std::string& output_file,
                  std::ostream& standard_output, std::ostream& err) {
  VerilogNetlist verilog;
  if (options.verilog || options.cells) {
    const std::string top = options.top ? *options.top : design_name(output_file);
    // The tally of the cells (made while mapping, when it was) has the
    // names of the nets on pins and the pins on each net: the names are
    // sorted on a second thread while the facts about the pins are worked
    // out, and the cell types' modules and ports after them.
    CellTally tally =
        cell_tally ? cell_tally->finish() : CellTally(netlist, verilog_port_detail(options));
    std::optional<std::string> problem;
    SortedNetNames names;
    std::optional<NetlistFacts> facts;
    ModuleFacts module;
    run_beside([&] { names = std::move(tally.names).sorted(netlist); },
               [&] {
                 facts.emplace(netlist, design, std::move(tally.directions),
                               std::move(tally.pins_by_net));
                 module = module_facts(*facts, design.design, files);
                 problem = build_verilog_cells(netlist, top, verilog, std::move(tally.types));
               });
    if (problem) {
      err << "syn-tool: " << *problem << "\n" << "Try 'syn-tool --help'.\n";
      return exit_usage;
    }
    build_verilog_nets(netlist, *module.use, std::move(names), verilog, &module);
  }
  if (options.cells && report_failure(*options.cells,
                                      write_stream_file(*options.cells,
                                                        [&](std::ostream& out) {
                                                          write_verilog_cells(verilog, out);
                                                        }),
                                      err)) {
    return exit_error;
  }
  if (int status = write_picture(options, design, design_name(output_file), err)) return status;
  if (writes_to_standard_output(output_file)) {
    const std::string failure = write_to_stream(options, netlist, verilog, standard_output);
    if (report_failure("standard output", failure, err)) return exit_error;
  } else {
    const std::string failure = options.verilog ? write_verilog_file(netlist, verilog, output_file)
                                : netlist_file  ? netlist_file->finish()
                                                : write_netlist_file(netlist, output_file);
    if (report_failure(output_file, failure, err)) return exit_error;
  }
  if (options.stats) write_stats(collect_stats(netlist), err);
  if (options.stats_by_transition) write_cells_by_transition(netlist, design, files, err);
  return exit_ok;
}

}  // namespace syn
