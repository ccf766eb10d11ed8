// Faulting in fresh memory page by page is about a third of the time of a
// large run. WarmHeap sets aside the heap a run is about to fill and has a
// second thread fault its pages in, ahead of the passes that will use them,
// so that this work runs on another core. The output is untouched by it.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "read/read_design.hpp"

namespace syn {

class WarmHeap {
 public:
  // Starts warming about `bytes` of heap; below a few dozen megabytes it is
  // not worth a thread and nothing happens. Needs the allocator settings of
  // main(), which keep freed memory in the heap.
  explicit WarmHeap(std::size_t bytes);
  WarmHeap(const WarmHeap&) = delete;
  WarmHeap& operator=(const WarmHeap&) = delete;
  // Stops the thread (within one step) and waits for it.
  ~WarmHeap();

 private:
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

// The heap a run over these tables is expected to fill, kept on the low
// side: a run that needs more faults the rest in itself, while warming more
// than it needs would only cost memory.
std::size_t expected_heap_bytes(const InputFiles& files);

}  // namespace syn
