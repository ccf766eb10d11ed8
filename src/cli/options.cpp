#include "cli/options.hpp"

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

// Reads the option at argv[i] if it names an output ("--top NAME" or
// "--top=NAME"), moving i past its value. Returns false when it is not one
// of them; sets `error` for a usage error.
bool parse_output_option(int argc, char** argv, int& i, Options& options,
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
    if (*format == "verilog" || *format == "netlist")
      options.verilog = *format == "verilog";
    else
      error = "unknown format '" + *format + "' (netlist or verilog)";
    return true;
  }
  std::optional<std::string>* targets[] = {&options.top, &options.cells, &options.dot,
                                           &options.models, &options.testbench};
  const char* names[] = {"--top", "--cells", "--dot", "--models", "--testbench"};
  for (int k = 0; k < 5 && !error; ++k) {
    if (auto value = option_value(argc, argv, i, names[k], error)) {
      *targets[k] = *value;
      return true;
    }
  }
  return error.has_value();
}

}  // namespace

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
    "  --models FILE  write behavioural Verilog models of the cell types used\n"
    "  --testbench FILE  write a testbench for the Verilog module\n"
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
               parse_output_option(argc, argv, i, options, error)) {
      if (error) return error;
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  return std::nullopt;
}

}  // namespace syn
