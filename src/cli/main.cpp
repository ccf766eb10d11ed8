#include <iostream>
#include <new>

#include "cli/run.hpp"

int main(int argc, char** argv) {
  try {
    return syn::run_tool(argc, argv, std::cin, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << "syn-tool: out of memory; no netlist written\n";
    return syn::exit_error;
  }
}
