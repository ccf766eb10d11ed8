#include "cli/run.hpp"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.hpp"
#include "cli/phase_times.hpp"
#include "diag/diagnostics.hpp"
#include "outputs/netlist_facts.hpp"
#include "outputs/outputs.hpp"
#include "pipeline/pipeline.hpp"
#include "read/read_design.hpp"

namespace syn {
namespace {

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

// The outputs the options ask for; the netlist's target, without -o, is
// asked for once mapping is done.
OutputRequest output_request(const Options& options) {
  OutputRequest request;
  request.format = options.verilog ? NetlistFormat::verilog : NetlistFormat::netlist;
  if (options.output) {
    request.netlist = *options.output == "-" ? OutputTarget::standard_output()
                                             : OutputTarget::file(*options.output);
  }
  request.top = options.top;
  if (options.cells) request.cells = OutputTarget::file(*options.cells);
  if (options.models) request.models = OutputTarget::file(*options.models);
  if (options.testbench) request.testbench = OutputTarget::file(*options.testbench);
  if (options.dot) request.dot = OutputTarget::file(*options.dot);
  request.stats = options.stats;
  request.stats_by_transition = options.stats_by_transition;
  return request;
}

// A design read cleanly whose mapping was refused: the picture still helps
// to see why, so --dot is written; the netlist is not.
int refuse_netlist(Outputs& outputs, const PipelineRun& run, bool strict_stop, std::ostream& err) {
  if (!strict_stop) outputs.write_picture({*run.design, run.symbols, run.data_place_widths}, err);
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
  std::ostream& prompts = options.output && *options.output == "-" ? err : out;
  const Console console{prompts, options.quiet ? discard : prompts};
  bool warned = false;  // the command line's own warnings
  const std::optional<InputFiles> files = input_files(options, in, console.prompts, err, warned);
  if (!files) return exit_usage;

  PipelineRun run;
  Outputs outputs(*run.netlist, output_request(options), out);
  PhaseTimes times(options.time);
  if (!read_and_map(*files, run, console.progress, times, err)) return exit_error;
  if (!run.mapped) return exit_error;
  const bool strict_stop = options.strict && (warned || run.diag.has_warnings());
  if (run.diag.has_errors()) return refuse_netlist(outputs, run, strict_stop, err);
  if (strict_stop) {
    err << "syn-tool: warnings count as errors (--strict); no netlist written\n";
    return exit_error;
  }

  const MappedDesign mapped{*run.netlist,
                            {*run.design, run.symbols, run.data_place_widths},
                            {files->global_net, files->local_net, files->data_net}};
  const bool check_failed =
      options.check && report_structure(mapped.netlist, mapped.drawn, mapped.files, err) != 0;
  if (check_failed && options.strict) {
    err << "syn-tool: warnings count as errors (--strict); no netlist written\n";
    return exit_error;
  }
  if (options.check && !options.output) {
    return check_failed || run.diag.has_problems() ? exit_problems : exit_ok;
  }

  if (!options.output) {
    auto answer = ask(in, console.prompts, "please input a output file name ...");
    if (!answer) {
      console.prompts << '\n' << std::flush;
      err << "syn-tool: standard input ended before the output file name was given\n";
      return exit_usage;
    }
    outputs.set_netlist_target(*answer == "-" ? OutputTarget::standard_output()
                                              : OutputTarget::file(*answer));
    times.skip();
  }
  if (int status = outputs.write(mapped, err)) return status;
  times.end_step("writing");
  times.report(err);
  return run.diag.has_problems() || check_failed ? exit_problems : exit_ok;
}

}  // namespace syn
