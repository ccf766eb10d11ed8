#include "cli/warm_heap.hpp"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace syn {
namespace {

constexpr std::size_t kWorthAThread = std::size_t{64} << 20;
constexpr std::uintptr_t kStep = std::uintptr_t{2} << 20;  // faulted in per call
// Design and netlist take about 18 bytes of memory per byte of input on
// generated designs; 12 stays below that for designs of other shapes.
constexpr std::size_t kHeapPerInputByte = 12;

// Faults in the pages of [begin, end) in steps, lowest first: the heap is
// filled from its low end.
void fault_in(std::uintptr_t begin, std::uintptr_t end, const std::atomic<bool>& stop) {
  for (std::uintptr_t at = begin; at < end && !stop.load(std::memory_order_relaxed); at += kStep) {
    const std::size_t length = static_cast<std::size_t>(std::min(kStep, end - at));
    // Makes the pages present without writing to them, so memory the run
    // has already filled keeps its contents. Older kernels refuse it, which
    // only leaves the faults to the run.
    if (madvise(reinterpret_cast<void*>(at), length, MADV_POPULATE_WRITE) != 0) return;
  }
}

}  // namespace

WarmHeap::WarmHeap(std::size_t bytes) {
  if (bytes < kWorthAThread) return;
  // A block taken and given back at once leaves its range at the top of
  // the heap, where the run's next allocations come from.
  void* block = std::malloc(bytes);
  if (block == nullptr) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t begin = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + bytes) / page * page;
  std::free(block);
  try {
    worker_ = std::thread(fault_in, begin, end, std::cref(stop_));
  } catch (const std::system_error&) {
    // No thread to be had: the run faults its memory in itself.
  }
}

WarmHeap::~WarmHeap() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

std::size_t expected_heap_bytes(const InputFiles& files) {
  std::size_t input_bytes = 0;
  for (const std::string* name : {&files.io_spec, &files.global_net, &files.local_net, &files.data_net}) {
    struct stat info {};
    if (stat(name->c_str(), &info) == 0 && S_ISREG(info.st_mode))
      input_bytes += static_cast<std::size_t>(info.st_size);
  }
  return input_bytes * kHeapPerInputByte;
}

}  // namespace syn
