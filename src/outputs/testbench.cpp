#include "outputs/testbench.hpp"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "netlist/pin_directions.hpp"

namespace syn {
namespace {

std::string range(int largest_bit) {
  return largest_bit > 0 ? "[" + std::to_string(largest_bit) + ":0] " : "";
}

// What the testbench knows of the module and its cells, from one pass over
// the cells.
struct Bench {
  const MappedDesign& design;
  const VerilogNetlist& verilog;
  PinDirections directions;
  // By vector: the data value whose rails it is (its IO declaration), and
  // whether it is the complement rail.
  struct Rail {
    const IoDeclaration* value = nullptr;
    bool complement = false;
  };
  std::map<VectorId, Rail> rails;
  std::set<VectorId> read_vectors;
  // By vector a cell drives: the nets on the done pins of its drivers, all
  // high when the value is complete.
  std::map<VectorId, std::vector<NetId>> done_nets;
  std::vector<std::string> readers;  // by plain net: " u3 u4", the cells reading it
};

const Netlist& netlist_of(const Bench& bench) { return bench.design.netlist; }

// u<instance number>, or the name the Verilog module gave the cell instead
// (renamed_instances is ascending by position).
std::string instance_name(const Bench& bench, std::size_t position) {
  const auto& renamed = bench.verilog.renamed_instances;
  const auto found = std::lower_bound(renamed.begin(), renamed.end(), position,
                                      [](const std::pair<std::size_t, std::string>& entry,
                                         std::size_t at) { return entry.first < at; });
  if (found != renamed.end() && found->first == position) return found->second;
  return "u" + std::to_string(netlist_of(bench).cells()[position].instance);
}

void find_rails(Bench& bench) {
  const Design& design = bench.design.drawn.design;
  const Netlist& netlist = netlist_of(bench);
  for (const auto* list : {&design.inputs, &design.outputs, &design.registers}) {
    for (const IoDeclaration& value : *list) {
      const VectorId rail = netlist.find_vector(value.name, Rail::true_rail);
      const VectorId bar = netlist.find_vector(value.name, Rail::complement);
      if (rail != kNoVector) bench.rails.emplace(rail, Bench::Rail{&value, false});
      if (bar != kNoVector) bench.rails.emplace(bar, Bench::Rail{&value, true});
    }
  }
}

// Notes what the cell at `position` drives and reads.
void survey_cell(Bench& bench, std::size_t position) {
  const Netlist& netlist = netlist_of(bench);
  const Cell& cell = netlist.cells()[position];
  const auto pins = netlist.pins(cell);
  std::vector<VectorId> driven;
  NetId done = kUnnamedNet;
  for (std::size_t p = 0; p < pins.size(); ++p) {
    if (pins[p] == kUnnamedNet) continue;
    const Net& net = netlist.net(pins[p]);
    const bool drives = bench.directions.of(cell, p) == PinDirection::output;
    if (pin_role(bench.directions.shape(cell), p, pins.size()).name == "done") done = pins[p];
    if (net.is_bus() && drives) driven.push_back(net.vector());
    if (net.is_bus() && !drives) bench.read_vectors.insert(net.vector());
    // A cell reading a net on two pins is named once.
    const std::string reader = " " + instance_name(bench, position);
    if (!net.is_bus() && !drives && !bench.readers[pins[p]].ends_with(reader))
      bench.readers[pins[p]] += reader;
  }
  for (const VectorId vector : driven) {
    std::vector<NetId>& dones = bench.done_nets[vector];
    if (done != kUnnamedNet && std::find(dones.begin(), dones.end(), done) == dones.end())
      dones.push_back(done);
  }
}

void survey(Bench& bench) {
  find_rails(bench);
  bench.readers.resize(netlist_of(bench).net_count());
  for (std::size_t c = 0; c < netlist_of(bench).cells().size(); ++c) survey_cell(bench, c);
}

bool is_constant(std::string_view name, char& value) {
  if (name == "DCasyncValue0" || name == "DCasyncvalue0")
    value = '0';
  else if (name == "DCasyncValue1" || name == "DCasyncvalue1")
    value = '1';
  else
    return false;
  return true;
}

// The text of a Verilog string literal for a name.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct Ports {
  std::vector<std::string> requests, acknowledges;
  std::vector<std::string> acknowledge_names;  // as the tables name them
  std::vector<std::string> request_names;
  bool reset = false;
};

// Declares a testbench signal for every port of the module, named as the
// port, and drives the inputs.
Ports declare_ports(const Bench& bench, std::ostream& out) {
  const Netlist& netlist = netlist_of(bench);
  const VerilogNetlist& verilog = bench.verilog;
  Ports ports;
  std::set<const IoDeclaration*> values;
  for (const VerilogDeclaration& line : verilog.declarations) {
    if (line.kind == PortKind::wire) continue;
    const bool input = line.kind == PortKind::input;
    if (line.vector) {
      const std::string name = verilog_vector(verilog, line.id);
      const auto rail = bench.rails.find(line.id);
      if (!input || rail == bench.rails.end()) {
        out << "  wire " << range(line.largest_bit) << name << (input ? " = 0;\n" : ";\n");
        continue;
      }
      const IoDeclaration& value = *rail->second.value;
      const std::string text(netlist.text(value.name));
      if (values.insert(&value).second) {
        out << "  reg [" << std::max(value.width, 1) - 1 << ":0] value_" << text << " = 0;\n"
            << "  initial if ($value$plusargs(" << quoted(text + "=%d") << ", value_" << text
            << ")) begin end\n";
      }
      out << "  wire " << range(line.largest_bit) << name << " = "
          << (rail->second.complement ? "~" : "") << "value_" << text << "[" << line.largest_bit
          << ":0];\n";
      continue;
    }
    const NetId id = line.id;
    const std::string name = verilog_connection(netlist, verilog, id);
    const std::string_view text = netlist.plain_name(id);
    char constant = 0;
    if (!input) {
      out << "  wire " << name << ";\n";
      ports.acknowledges.push_back(name);
      ports.acknowledge_names.emplace_back(text);
    } else if (text == "Reset_signal") {
      out << "  reg " << name << " = 1'b1;\n";
      ports.reset = true;
    } else if (is_constant(text, constant)) {
      out << "  wire " << name << " = 1'b" << constant << ";\n";
    } else {
      out << "  reg " << name << " = 1'b0;\n";
      ports.requests.push_back(name);
      ports.request_names.emplace_back(text);
    }
  }
  return ports;
}

// "name = value" each time a value no cell reads completes.
void print_values(const Bench& bench, std::ostream& out) {
  int k = 0;
  for (const auto& [vector, rail] : bench.rails) {
    const auto dones = bench.done_nets.find(vector);
    if (rail.complement || dones == bench.done_nets.end() || dones->second.empty() ||
        bench.read_vectors.count(vector))
      continue;
    std::string all;
    for (const NetId id : dones->second)
      all += (all.empty() ? "dut." : ", dut.") +
             verilog_connection(netlist_of(bench), bench.verilog, id);
    const std::string name(netlist_of(bench).text(rail.value->name));
    ++k;
    out << "  wire complete" << k << " = &{" << all << "} === 1'b1;\n"
        << "  always @(posedge complete" << k << ") if (!over) $display(\"%s = %0d\", "
        << quoted(name) << ", dut." << verilog_vector(bench.verilog, vector) << ");\n";
  }
}

// The global control cells, in the order of their transitions.
std::vector<std::size_t> global_cells(const Bench& bench) {
  std::vector<std::size_t> cells;
  const Netlist& netlist = netlist_of(bench);
  for (std::size_t c = 0; c < netlist.cells().size(); ++c) {
    const Cell& cell = netlist.cells()[c];
    if (bench.directions.shape(cell).kind == CellKind::global_control &&
        cell.origin.net == SourceNet::global_net)
      cells.push_back(c);
  }
  return cells;
}

// Watches the plain nets of the module; when none changes for a while, says
// which are high and which cells read them, and fails.
void watch_for_stalls(const Bench& bench, std::ostream& out) {
  const Netlist& netlist = netlist_of(bench);
  std::vector<NetId> controls;
  for (const VerilogDeclaration& line : bench.verilog.declarations) {
    char constant = 0;
    if (line.vector || netlist.plain_name(line.id) == "Reset_signal" ||
        is_constant(netlist.plain_name(line.id), constant))
      continue;
    controls.push_back(line.id);
  }
  out << "  time last_change = 0;\n"
      << "  reg over = 1'b0;  // the cycles are done: nothing more is printed\n";
  if (!controls.empty()) {
    out << "  always @(";
    for (std::size_t k = 0; k < controls.size(); ++k)
      out << (k == 0 ? "" : " or ") << "dut."
          << verilog_connection(netlist, bench.verilog, controls[k]);
    out << ") last_change = $time;\n";
  }
  out << "  always begin\n"
      << "    #100;\n"
      << "    if (!over && $time - last_change > 2000) begin\n"
      << "      $display(\"stall\");\n";
  for (const NetId id : controls) {
    const std::string name = verilog_connection(netlist, bench.verilog, id);
    out << "      if (dut." << name << " === 1'b1) $display(\"  %s high, read by%s\", "
        << quoted(netlist.plain_name(id)) << ", " << quoted(bench.readers[id]) << ");\n";
  }
  out << "      $fatal(1, \"no change for 2000 ns\");\n"
      << "    end\n"
      << "  end\n";
}

void run_with_environment(const Ports& ports, std::ostream& out) {
  std::string requests, acknowledges;
  for (const std::string& name : ports.requests) requests += (requests.empty() ? "" : ", ") + name;
  for (const std::string& name : ports.acknowledges)
    acknowledges += (acknowledges.empty() ? "" : ", ") + name;
  std::string raised;
  for (std::size_t k = 0; k < ports.requests.size(); ++k)
    raised += (k == 0 ? "raise" : ", raise") + std::to_string(k + 1);
  out << "      #5 {" << requests << "} = {" << raised << "};\n";
  if (!acknowledges.empty()) {
    // A moment later: values completing with the acknowledge come first.
    out << "      wait (|{" << acknowledges << "} === 1'b1);\n      #1;\n";
    for (std::size_t k = 0; k < ports.acknowledges.size(); ++k)
      out << "      if (" << ports.acknowledges[k] << " === 1'b1) $display(\"acknowledge %s\", "
          << quoted(ports.acknowledge_names[k]) << ");\n";
  } else {
    out << "      #10 wait ($time - last_change > 100);\n";
  }
  out << "      #5 {" << requests << "} = 0;\n";
  if (!acknowledges.empty())
    out << "      wait (|{" << acknowledges << "} === 1'b0);\n";
  else
    out << "      #10 wait ($time - last_change > 100);\n";
}

}  // namespace

namespace {

// The testbench's module name: an escaped name ends at a blank, so the
// suffix goes before it.
std::string testbench_name(const std::string& top) {
  const bool escaped = !top.empty() && top.back() == ' ';
  return escaped ? top.substr(0, top.size() - 1) + "_tb " : top + "_tb";
}

std::string transition_name(const Bench& bench, std::size_t cell) {
  const auto& transitions = bench.design.drawn.design.global_transitions.items;
  return quoted(
      netlist_of(bench).text(transitions[netlist_of(bench).cells()[cell].origin.index].name));
}

// Which global cell's state is its transition's token, by position.
void declare_token_ring(const Bench& bench, const std::vector<std::size_t>& tokens,
                        std::ostream& out) {
  out << "  wire [" << tokens.size() - 1 << ":0] holding = {";
  for (std::size_t k = tokens.size(); k-- > 0;)
    out << "dut." << instance_name(bench, tokens[k]) << ".state" << (k == 0 ? "" : ", ");
  out << "};\n  integer holder = 0;\n";
}

// The first global transition in file order holds the token, or the one
// +token=NAME names.
void place_token(const Bench& bench, const std::vector<std::size_t>& tokens, std::ostream& out) {
  out << "    if (!$value$plusargs(\"token=%s\", token)) token = "
      << transition_name(bench, tokens[0]) << ";\n";
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    out << "    " << (k == 0 ? "" : "else ") << "if (token == " << transition_name(bench, tokens[k])
        << ") holder = " << k << ";\n";
  }
  out << "    else begin\n"
      << "      $display(\"no global transition %0s\", token);\n"
      << "      $fatal(1, \"unknown +token\");\n"
      << "    end\n"
      << "    #1;\n";
  for (std::size_t k = 0; k < tokens.size(); ++k)
    out << "    if (holder == " << k << ") dut." << instance_name(bench, tokens[k])
        << ".state = 1'b1;\n";
}

// A design that keeps moving without ending a cycle fails as well.
void put_timeout(std::ostream& out) {
  out << "  // A design that keeps moving without ending a cycle fails as well.\n"
      << "  integer timeout = 1000000;\n"
      << "  initial begin\n"
      << "    if (!$value$plusargs(\"timeout=%d\", timeout)) timeout = 1000000;\n"
      << "    #(timeout);\n"
      << "    $display(\"no end of cycle %0d after %0d ns\", cycle, timeout);\n"
      << "    $fatal(1, \"timeout\");\n"
      << "  end\n";
}

// One cycle: a turn of the token, a handshake with the environment, or,
// with neither, the design settling.
void put_cycle(const Ports& ports, bool ring, std::ostream& out) {
  if (ring)
    out << "      @(negedge holding[holder]);\n      @(posedge holding[holder]);\n";
  else if (ports.requests.empty())
    out << "      #10 wait ($time - last_change > 100);\n";
  else
    run_with_environment(ports, out);
}

}  // namespace

void write_testbench(const MappedDesign& design, const VerilogNetlist& verilog, std::ostream& out) {
  Bench bench{design, verilog, PinDirections(design.netlist), {}, {}, {}, {}};
  survey(bench);
  const std::vector<std::size_t> tokens = global_cells(bench);
  out << "// Testbench for the module " << verilog.top << ", written by syn-tool (see\n"
      << "// --testbench in docs/outputs.md for what it drives and prints).\n"
      << "`timescale 1ns / 1ps\n"
      << "module " << testbench_name(verilog.top) << ";\n";
  const Ports ports = declare_ports(bench, out);
  out << "  " << verilog.top << " dut(" << verilog.ports << ");\n";
  watch_for_stalls(bench, out);
  print_values(bench, out);
  const bool ring = ports.requests.empty() && !tokens.empty();
  if (ring) declare_token_ring(bench, tokens, out);
  for (std::size_t k = 0; k < ports.requests.size(); ++k) out << "  reg raise" << k + 1 << ";\n";
  out << "  integer cycles = 1, cycle;\n"
      << "  reg [8 * 256 - 1:0] token;\n";
  put_timeout(out);
  out << "  initial begin\n"
      << "    if (!$value$plusargs(\"cycles=%d\", cycles)) cycles = 1;\n";
  if (ring) place_token(bench, tokens, out);
  // +request=NAME raises that request alone in every cycle.
  for (std::size_t k = 0; k < ports.requests.size(); ++k) {
    out << "    raise" << k + 1 << " = !$value$plusargs(\"request=%s\", token) || token == "
        << quoted(ports.request_names[k]) << ";\n";
  }
  if (ports.reset) out << "    #10 Reset_signal = 1'b0;\n";
  out << "    for (cycle = 1; cycle <= cycles; cycle = cycle + 1) begin\n";
  put_cycle(ports, ring, out);
  out << "      $display(\"cycle %0d\", cycle);\n"
      << "    end\n"
      << "    over = 1'b1;\n"
      << "    #5 $finish;\n"
      << "  end\n"
      << "endmodule\n";
}

}  // namespace syn
