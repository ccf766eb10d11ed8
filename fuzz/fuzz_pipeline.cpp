// Fuzz target: the whole pipeline on one input (see run_input.hpp).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "run_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  syn::fuzz::run_input(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
