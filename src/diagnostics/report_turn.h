#pragma once
// The crash filter runs on every thread that faults, and the report has one
// set of buffers, one stack walk and one symbol engine: a thread that faults
// while another's report is being written waits its turn.

#include <atomic>
#include <cstdint>

#include "common/function_ref.h"

class ReportTurn {
 public:
  // Takes the turn once no other thread holds it, calling `pause` between
  // looks. False at once when `thread` holds it already (a fault inside its
  // own report), which would otherwise wait for itself.
  bool Take(std::uint32_t thread, FunctionRef<void()> pause) {
    for (;;) {
      std::uint32_t holder = 0;
      if (holder_.compare_exchange_strong(holder, thread)) return true;
      if (holder == thread) return false;
      pause();
    }
  }
  void Give() { holder_.store(0); }

 private:
  std::atomic<std::uint32_t> holder_{0};  // 0: nobody; no thread has the id 0
};
