#include <iostream>

#include "cli/run.hpp"

int main(int argc, char** argv) {
  return syn::run_tool(argc, argv, std::cin, std::cout, std::cerr);
}
