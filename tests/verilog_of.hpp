// The Verilog form of a netlist made by hand in a test, built as the
// command line builds it (verilog_form), for a design of no tables: no net
// is an input of the design, and no instance has a source line.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "model/design.hpp"
#include "model/symbols.hpp"
#include "netlist/netlist.hpp"
#include "outputs/outputs.hpp"

namespace syn::test {

inline VerilogNetlist verilog_of(const Netlist& netlist, const Symbols& symbols,
                                 PortDetail detail = PortDetail::count) {
  static const Design no_tables;
  static const std::vector<int> no_widths;
  const MappedDesign mapped{netlist, {no_tables, symbols, no_widths}, {"gn", "ln", "dn"}};
  VerilogNetlist verilog;
  EXPECT_FALSE(verilog_form(mapped, "top", detail, verilog).has_value());
  return verilog;
}

}  // namespace syn::test
