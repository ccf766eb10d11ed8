#include "cli/run.hpp"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/netlist_facts.hpp"
#include "cli/outputs.hpp"
#include "cli/phase_times.hpp"
#include "diag/diagnostics.hpp"
#include "pipeline/pipeline.hpp"
#include "read/read_design.hpp"

namespace syn {
namespace {

struct Options {
  std::vector<std::string> files;
  std::optional<std::string> output;
  bool help = false;
  bool version = false;
  bool time = false;
  bool quiet = false;   // no progress texts
  bool strict = false;  // a warning stops the run like an error
  bool check = false;   // --check
  OutputOptions extra;
};

const char* const kUsage =
    "Usage: syn-tool [options] [IO_SPEC GLOBAL_NET LOCAL_NET DATA_NET]\n"
    "\n"
    "Maps an asynchronous design, given as four tables, onto a flat netlist of\n"
    "library cells.\n"
    "\n"
    "  IO_SPEC      registers, inputs and outputs with their widths\n"
    "  GLOBAL_NET   global control net: arcs between transitions and places\n"
    "  LOCAL_NET    local control net\n"
    "  DATA_NET     data net\n"
    "\n"
    "Without the four file names the tool asks for them on the console; without\n"
    "-o it asks for the output file name.\n"
    "\n"
    "Options:\n"
    "  -o FILE      write the netlist to FILE without asking; -o - writes it to\n"
    "               standard output, and the progress texts to standard error\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "  --format verilog  write the netlist as a structural Verilog module\n"
    "  --top NAME   name of that module (default: the output file's name)\n"
    "  --cells FILE declare the cell types used as empty Verilog modules in FILE\n"
    "  --dot FILE   draw the three nets of the design as a Graphviz graph in FILE\n"
    "  --stats      print cell, pin and net counts on standard error, with the\n"
    "               first 20 nets found on a single pin\n"
    "  --stats-by-transition  print the cells each transition made, with its\n"
    "               table file and line, on standard error\n"
    "  --check      check the netlist: nets with two or more drivers, and nets\n"
    "               read but not driven that are no input of the design (one\n"
    "               warning each; exit 3 when any); writes only with -o\n"
    "  --time       print the time of reading, mapping and writing and the peak\n"
    "               memory on standard error\n"
    "  --quiet      do not print the progress texts\n"
    "  --strict     treat every warning as an error: exit status 1, nothing written\n"
    "  --           end of options\n"
    "\n"
    "Exit status: 0 netlist written; 1 error, no netlist written; 2 usage error;\n"
    "3 netlist written, but mapping problems were reported.\n";

// Parses the arguments; options may stand anywhere and "--" ends them.
// Returns an error text for a usage error.
std::optional<std::string> parse_arguments(int argc, char** argv, Options& options) {
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_ended || arg == "-" || arg.empty() || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--time") {
      options.time = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "-o") {
      if (i + 1 >= argc) return "option -o needs a file name";
      options.output = argv[++i];
    } else if (arg.rfind("-o", 0) == 0) {
      options.output = arg.substr(2);
    } else if (std::optional<std::string> error;
               parse_output_option(argc, argv, i, options.extra, error)) {
      if (error) return error;
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  return std::nullopt;
}

// Prints the prompt and reads one whitespace-delimited word.
std::optional<std::string> ask(std::istream& in, std::ostream& out, const char* prompt) {
  out << prompt << std::flush;
  std::string word;
  if (!(in >> word)) return std::nullopt;
  return word;
}

// Prints the diagnostics from `from` on, and returns the new count.
std::size_t report(const Diagnostics& diag, std::size_t from, std::ostream& err) {
  const auto& all = diag.all();
  for (std::size_t i = from; i < all.size(); ++i) err << all[i].text << '\n';
  err.flush();
  return all.size();
}

// Where the texts of a run go. With "-o -" standard output holds the
// netlist alone, so the prompts and the progress texts go to standard error;
// --quiet drops the progress texts.
struct Console {
  std::ostream& prompts;
  std::ostream& progress;
};

// The four table names: from the command line, or asked for on the console.
// Empty when standard input ends first (reported).
std::optional<InputFiles> input_files(const Options& options, std::istream& in,
                                      std::ostream& prompts, std::ostream& err, bool& warned) {
  if (options.files.size() >= 4) {
    if (options.files.size() > 4) {
      err << "syn-tool: warning: ignoring " << options.files.size() - 4
          << " argument(s) after the four file names\n";
      warned = true;
    }
    return InputFiles{options.files[0], options.files[1], options.files[2], options.files[3]};
  }
  if (!options.files.empty()) {
    err << "syn-tool: warning: fewer than four file names given; asking for all four\n";
    warned = true;
  }
  const char* prompt_texts[4] = {
      "Please input IO specification file name...",
      "Please input Global control net file name...",
      "Please input Local control net file name...",
      "please input data net file name...",
  };
  InputFiles files;
  std::string* targets[4] = {&files.io_spec, &files.global_net, &files.local_net, &files.data_net};
  for (int i = 0; i < 4; ++i) {
    auto answer = ask(in, prompts, prompt_texts[i]);
    if (!answer) {
      prompts << '\n' << std::flush;
      err << "syn-tool: standard input ended before the input file names were given\n";
      return std::nullopt;
    }
    *targets[i] = *answer;
  }
  return files;
}

// Reads and maps the design, printing the diagnostics as each stage ends.
// False when a file could not be loaded.
bool read_and_map(const InputFiles& files, PipelineRun& run, std::ostream& progress,
                  PhaseTimes& times, std::ostream& err) {
  std::string texts[4];
  if (!load_input_files(files, texts, run.diag)) {
    report(run.diag, 0, err);
    return false;
  }
  const TableTexts tables{{files.io_spec, texts[0]},
                          {files.global_net, texts[1]},
                          {files.local_net, texts[2]},
                          {files.data_net, texts[3]}};
  std::size_t reported = 0;
  run_pipeline(tables, run, progress, [&](Stage stage, const Diagnostics& diag) {
    times.end_step(stage == Stage::reading ? "reading" : "mapping");
    reported = report(diag, reported, err);
    // The design holds copies of what it needs: the texts' memory goes back
    // before mapping fills the netlist.
    if (stage == Stage::reading) {
      for (std::string& text : texts) std::string().swap(text);
    }
  });
  return true;
}

// A design read cleanly whose mapping was refused: the picture still helps
// to see why, so --dot is written; the netlist is not.
int refuse_netlist(const Options& options, const PipelineRun& run, bool strict_stop,
                   std::ostream& err) {
  if (options.extra.dot && !strict_stop) {
    const DrawnDesign drawn{*run.design, run.symbols, run.data_place_widths};
    write_picture(options.extra, drawn, design_name(options.output.value_or(*options.extra.dot)),
                  err);
  }
  err << "syn-tool: no netlist written\n";
  return exit_error;
}

}  // namespace

int run_tool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
  Options options;
  if (auto usage_error = parse_arguments(argc, argv, options)) {
    err << "syn-tool: " << *usage_error << "\n"
        << "Try 'syn-tool --help'.\n";
    return exit_usage;
  }
  if (options.help) {
    out << kUsage;
    return exit_ok;
  }
  if (options.version) {
    out << "syn-tool " << SYN_VERSION << '\n';
    return exit_ok;
  }

  std::ostream discard(nullptr);
  std::ostream& prompts = options.output && writes_to_standard_output(*options.output) ? err : out;
  const Console console{prompts, options.quiet ? discard : prompts};
  bool warned = false;  // the command line's own warnings
  const std::optional<InputFiles> files = input_files(options, in, console.prompts, err, warned);
  if (!files) return exit_usage;

  PipelineRun run;
  // The netlist file is written on a second thread as the data net is
  // mapped, when -o names one: its formatting then overlaps the mapping.
  std::optional<NetlistFileWriter> netlist_file;
  if (writes_netlist_while_mapping(options.extra, options.output)) {
    netlist_file.emplace(*run.netlist, *options.output);
  }
  // Otherwise, for the Verilog module, the cells are tallied as they settle.
  std::optional<CellTallyWhileMapping> cell_tally;
  if (tallies_cells_while_mapping(options.extra, options.output)) {
    cell_tally.emplace(*run.netlist, verilog_port_detail(options.extra));
  }
  PhaseTimes times(options.time);
  if (!read_and_map(*files, run, console.progress, times, err)) return exit_error;
  if (!run.mapped) return exit_error;
  const bool strict_stop = options.strict && (warned || run.diag.has_warnings());
  if (run.diag.has_errors()) return refuse_netlist(options, run, strict_stop, err);
  if (strict_stop) {
    err << "syn-tool: warnings count as errors (--strict); no netlist written\n";
    return exit_error;
  }

  const DrawnDesign drawn{*run.design, run.symbols, run.data_place_widths};
  const TableFiles table_files{files->global_net, files->local_net, files->data_net};
  const bool check_failed =
      options.check && report_structure(*run.netlist, drawn, table_files, err) != 0;
  if (check_failed && options.strict) {
    err << "syn-tool: warnings count as errors (--strict); no netlist written\n";
    return exit_error;
  }
  if (options.check && !options.output) {
    return check_failed || run.diag.has_problems() ? exit_problems : exit_ok;
  }

  std::string output_file;
  if (options.output) {
    output_file = *options.output;
  } else {
    auto answer = ask(in, console.prompts, "please input a output file name ...");
    if (!answer) {
      console.prompts << '\n' << std::flush;
      err << "syn-tool: standard input ended before the output file name was given\n";
      return exit_usage;
    }
    output_file = *answer;
    times.skip();
  }
  if (int status = write_outputs(options.extra, drawn, table_files, *run.netlist,
                                 netlist_file ? &*netlist_file : nullptr,
                                 cell_tally ? &*cell_tally : nullptr, output_file, out, err)) {
    return status;
  }
  times.end_step("writing");
  times.report(err);
  return run.diag.has_problems() || check_failed ? exit_problems : exit_ok;
}

}  // namespace syn
