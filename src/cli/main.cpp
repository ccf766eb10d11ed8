#include <malloc.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>

#include "cli/run.hpp"
#include "cli/warm_heap.hpp"

int main(int argc, char** argv) {
  // A run builds its design and netlist once and frees almost nothing before
  // it ends. Large blocks then come from the heap rather than from mappings
  // of their own, so that memory freed by one pass (the tables' text, a
  // vector that grew) is reused by the next instead of being handed back to
  // the system and faulted in again page by page.
  mallopt(M_MMAP_THRESHOLD, INT_MAX);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  mallopt(M_TOP_PAD, 64 << 20);

  // std::exit leaves main's locals in place, so the leftovers are never freed
  // but stay reachable (leak checkers at exit see them on the stack).
  syn::RunLeftovers leftovers;
  std::optional<syn::WarmHeap> warm;
  const auto warm_heap = [&warm](const syn::InputFiles& files) {
    warm.emplace(syn::expected_heap_bytes(files));
  };
  int status = syn::exit_error;
  try {
    status = syn::run_tool(argc, argv, std::cin, std::cout, std::cerr, &leftovers, warm_heap);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << "syn-tool: out of memory; no netlist written\n";
  }
  warm.reset();
  std::exit(status);
}
