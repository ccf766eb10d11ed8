// Checks on a written netlist: nets that only one pin carries.
#pragma once

#include <string>
#include <vector>

namespace syn::test {

// The nets that appear on exactly one pin in the whole netlist text, sorted
// byte-wise. A pin whose net is written as a bus "x[h:l]" carries each bit
// net x[h] ... x[l], the same nets that one-bit cells name one by one.
std::vector<std::string> single_pin_nets(const std::string& netlist_text);

}  // namespace syn::test
