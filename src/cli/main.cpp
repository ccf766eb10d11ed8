#include <cstdlib>
#include <iostream>

#include "cli/run.hpp"

int main(int argc, char** argv) {
  // std::exit leaves main's locals in place, so the leftovers are never freed
  // but stay reachable (leak checkers at exit see them on the stack).
  syn::RunLeftovers leftovers;
  std::exit(syn::run_tool(argc, argv, std::cin, std::cout, std::cerr, &leftovers));
}
