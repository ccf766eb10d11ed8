#include "outputs/cell_models.hpp"

#include <string>
#include <vector>

namespace syn {
namespace {

// The port names of a cell type, in pin order.
std::vector<std::string> port_names(const VerilogCell& cell) {
  std::vector<std::string> names;
  for (std::size_t p = 0; p < cell.ports; ++p)
    names.push_back(pin_role(cell.shape, p, cell.ports).name);
  return names;
}

std::string range(int width) { return width > 1 ? "[" + std::to_string(width - 1) + ":0] " : ""; }

// "module NAME (ports);" and the port declarations, as --cells writes them.
void put_head(const VerilogCell& cell, const std::vector<std::string>& names, std::ostream& out) {
  out << "module " << cell.name << " (";
  for (std::size_t p = 0; p < names.size(); ++p) out << (p == 0 ? "" : ", ") << names[p];
  out << ");\n";
  for (std::size_t p = 0; p < names.size(); ++p) {
    const bool output =
        p < cell.port_directions.size() && cell.port_directions[p] == PinDirection::output;
    out << (output ? "  output " : "  input ") << range(cell.port_widths[p]) << names[p] << ";\n";
  }
  out << "  parameter D = `SYN_CELL_DELAY;\n";
}

// "{a, b, c}" of the names [first, first + count) stepping by `step`.
std::string joined(const std::vector<std::string>& names, std::size_t first, std::size_t count,
                   std::size_t step = 1) {
  std::string text = "{";
  for (std::size_t k = 0; k < count; ++k) text += (k == 0 ? "" : ", ") + names[first + k * step];
  return text + "}";
}

// A dual-rail value is valid when each bit has exactly one rail high.
std::string valid(const std::string& rail, const std::string& bar) {
  return "((" + rail + " ^ " + bar + ") === {$bits(" + rail + "){1'b1}})";
}

// A Muller C-element over `inputs`: rises when all are high, falls when all
// are low, holds otherwise.
void put_c_element(const std::string& inputs, std::ostream& out) {
  out << "  reg state = 1'b0;\n"
      << "  always @(" << inputs << ") begin\n"
      << "    if (&" << inputs << " === 1'b1) state <= #D 1'b1;\n"
      << "    else if (|" << inputs << " === 1'b0) state <= #D 1'b0;\n"
      << "  end\n";
}

void put_join(const std::vector<std::string>& names, std::ostream& out) {
  if (names.size() < 2) {
    out << "  assign out = 1'b0;\n";
    return;
  }
  put_c_element(joined(names, 1, names.size() - 1), out);
  out << "  assign out = state;\n";
}

void put_latch(std::ostream& out) {
  out << "  // Takes the source once per request when it is valid, and drives the\n"
         "  // register's rails strongly while the request lasts; otherwise it keeps\n"
         "  // them weakly, following what another writer of the register drives.\n"
         "  reg taken = 1'b0;\n"
         "  reg held = 1'b0, held_bar = 1'b0;\n"
         "  always @(req or reset or d or d_bar) begin\n"
         "    if (reset === 1'b1 || req !== 1'b1) taken <= 1'b0;\n"
         "    else if (!taken && ((d ^ d_bar) === 1'b1)) begin\n"
         "      held <= d;\n"
         "      held_bar <= d_bar;\n"
         "      taken <= 1'b1;\n"
         "    end\n"
         "  end\n"
         "  always @(q or q_bar)\n"
         "    if (!taken && ((q ^ q_bar) === 1'b1)) begin\n"
         "      held <= q;\n"
         "      held_bar <= q_bar;\n"
         "    end\n"
         "`ifdef VERILATOR\n"
         "  // Two-state simulators have no drive strengths: one writer each.\n"
         "  assign #D q = held;\n"
         "  assign #D q_bar = held_bar;\n"
         "  assign #(2 * D) done = taken;\n"
         "`else\n"
         "  assign (strong0, strong1) #D q = taken ? held : 1'bz;\n"
         "  assign (strong0, strong1) #D q_bar = taken ? held_bar : 1'bz;\n"
         "  assign (weak0, weak1) q = held;\n"
         "  assign (weak0, weak1) q_bar = held_bar;\n"
         "  assign (strong0, strong1) #(2 * D) done = taken ? 1'b1 : 1'bz;\n"
         "  assign (weak0, weak1) done = 1'b0;\n"
         "`endif\n";
}

void put_comparator(std::ostream& out) {
  out << "  wire ready = req === 1'b1 && " << valid("a", "a_bar") << " && " << valid("b", "b_bar")
      << ";\n"
      << "  assign #D great = ready && a > b;\n"
      << "  assign #D equal = ready && a == b;\n"
      << "  assign #D less = ready && a < b;\n";
}

// A multiplier or adder: the result of its operands while the request is
// high and they are valid, the spacer otherwise.
void put_operation(const std::vector<std::string>& names, char op, std::ostream& out) {
  const std::size_t operands = names.size() >= 4 ? (names.size() - 4) / 2 : 0;
  std::string ready = "req === 1'b1", result;
  for (std::size_t k = 0; k < operands; ++k) {
    const std::string& rail = names[2 * k];
    ready += " && " + valid(rail, names[2 * k + 1]);
    result += (k == 0 ? "" : std::string(" ") + op + " ") + rail;
  }
  if (result.empty()) result = "0";
  out << "  wire ready = " << ready << ";\n"
      << "  wire [$bits(out) - 1:0] result = " << result << ";\n"
      << "  assign #D out = ready ? result : 0;\n"
      << "  assign #D out_bar = ready ? ~result : 0;\n"
      << "  assign #(2 * D) done = ready;\n";
}

// The selected feeder's value while its select is high and it is valid,
// the spacer when no feeder is selected.
void put_multiplexer(const VerilogCell& cell, const std::vector<std::string>& names,
                     std::ostream& out) {
  const std::size_t feeders = static_cast<std::size_t>(std::max(cell.shape.count, 0));
  if (names.size() != 3 * feeders + 3) return;  // left incomplete: drives nothing
  std::string value = "0", value_bar = "0", ready = "1'b0";
  for (std::size_t k = 0; k < feeders; ++k) {
    const std::string& in = names[3 * k];
    const std::string& bar = names[3 * k + 1];
    const std::string take = "(" + names[3 * k + 2] + " === 1'b1 && " + valid(in, bar) + ")";
    out << "  wire take" << k + 1 << " = " << take << ";\n";
    const std::string t = "take" + std::to_string(k + 1);
    value = "(" + t + " ? " + in + " : " + value + ")";
    value_bar = "(" + t + " ? " + bar + " : " + value_bar + ")";
    ready += " || " + t;
  }
  out << "  assign #D out = " << value << ";\n"
      << "  assign #D out_bar = " << value_bar << ";\n"
      << "  assign #(2 * D) done = " << ready << ";\n";
}

void put_delay(std::ostream& out) {
  out << "  // Requested, the operation's done seen (the delayed request falls\n"
         "  // early), its done back to zero (acknowledged), until the request\n"
         "  // falls.\n"
         "  reg [1:0] phase = 2'd0;\n"
         "  always @(req or done)\n"
         "    case (phase)\n"
         "      2'd0: if (req === 1'b1) phase <= 2'd1;\n"
         "      2'd1: if (done === 1'b1) phase <= 2'd2;\n"
         "      2'd2: if (done === 1'b0) phase <= 2'd3;\n"
         "      default: if (req === 1'b0) phase <= 2'd0;\n"
         "    endcase\n"
         "  assign #D delayed_req = phase == 2'd1;\n"
         "  assign #D ack = phase == 2'd3;\n";
}

// AND over the groups of OR over each group's pins, [first, ...).
std::string grouped(const std::vector<std::string>& names, std::size_t first,
                    const std::vector<int>& groups) {
  std::string text;
  std::size_t at = first;
  for (const int pins : groups) {
    std::string any;
    for (int k = 0; k < pins && at < names.size(); ++k) any += (k == 0 ? "" : " | ") + names[at++];
    if (any.empty()) continue;
    text += (text.empty() ? "" : " & ") + ("(" + any + ")");
  }
  return text.empty() ? "1'b0" : text;
}

void put_global_control(const VerilogCell& cell, const ControlGroups& groups,
                        const std::vector<std::string>& names, std::ostream& out) {
  const std::size_t set_pins = static_cast<std::size_t>(std::max(cell.shape.count, 0));
  const std::size_t forward = set_pins + 1;
  std::string any_set = "1'b0", any_reset = "1'b0";
  for (std::size_t p = 1; p < forward && p < names.size(); ++p) any_set += " | " + names[p];
  for (std::size_t p = forward + 1; p < names.size(); ++p) any_reset += " | " + names[p];
  out << "  // The token: taken when every set group has a high pin and no reset\n"
         "  // pin is high, given up when every reset group has one. The backward\n"
         "  // output acknowledges the set pins from the taking of the token until\n"
         "  // they are all low. No reset pin: the testbench places the first token.\n"
      << "  reg state = 1'b0;\n"
      << "  reg acknowledge = 1'b0;\n"
      << "  wire set_all = " << grouped(names, 1, groups.set) << ";\n"
      << "  wire reset_all = " << grouped(names, forward + 1, groups.reset) << ";\n"
      << "  wire set_any = " << any_set << ";\n"
      << "  wire reset_any = " << any_reset << ";\n"
      << "  always @(set_all or reset_all or set_any or reset_any or state or acknowledge) begin\n"
      << "    if (!state && !acknowledge && set_all === 1'b1 && reset_any === 1'b0) begin\n"
      << "      state <= #D 1'b1;\n"
      << "      acknowledge <= #D 1'b1;\n"
      << "    end else if (state && reset_all === 1'b1) state <= #D 1'b0;\n"
      << "    if (acknowledge && set_any === 1'b0) acknowledge <= #D 1'b0;\n"
      << "  end\n"
      << "  assign " << names[0] << " = acknowledge;\n"
      << "  assign " << names[forward] << " = state;\n";
}

void put_body(const Netlist& netlist, const VerilogCell& cell,
              const std::vector<std::string>& names, std::ostream& out) {
  switch (cell.shape.kind) {
    case CellKind::join:
      return put_join(names, out);
    case CellKind::buffer:
      out << "  assign #D out = in;\n";
      return;
    case CellKind::or_gate:
      out << "  assign #D out = a | b;\n";
      return;
    case CellKind::comparator:
      return put_comparator(out);
    case CellKind::latch:
      return put_latch(out);
    case CellKind::done:
      put_c_element("done", out);
      out << "  assign out = state;\n";
      return;
    case CellKind::delay:
      return put_delay(out);
    case CellKind::multiplier:
      return put_operation(names, '*', out);
    case CellKind::adder:
      return put_operation(names, '+', out);
    case CellKind::multiplexer:
      return put_multiplexer(cell, names, out);
    case CellKind::global_control:
      if (names.size() > cell.shape.count + std::size_t{1})
        put_global_control(cell, netlist.control_groups(cell.shape), names, out);
      return;
    case CellKind::unknown:
      return;
  }
}

}  // namespace

void write_cell_models(const Netlist& netlist, const VerilogNetlist& verilog, std::ostream& out) {
  out << "// Behavioural models of the cell types of a netlist written by syn-tool,\n"
      << "// following docs/cells.md: four-phase handshakes on the control nets,\n"
      << "// dual-rail values with a done bit each. D is each cell's delay, 1 ns\n"
      << "// unless SYN_CELL_DELAY is defined (iverilog -DSYN_CELL_DELAY=3).\n"
      << "`timescale 1ns / 1ps\n"
      << "`ifndef SYN_CELL_DELAY\n"
      << "`define SYN_CELL_DELAY 1\n"
      << "`endif\n";
  for (const VerilogCell& cell : verilog.cells) {
    const std::vector<std::string> names = port_names(cell);
    put_head(cell, names, out);
    put_body(netlist, cell, names, out);
    out << "endmodule\n";
  }
}

}  // namespace syn
