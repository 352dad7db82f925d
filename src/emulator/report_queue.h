// The input-report queue of one open emulated handle: reports carry a due time and are seen by
// the reader only from then on, so a late reply needs no thread of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "device/hid_backend.h"
#include "emulator/firmware_types.h"

namespace varkon::emulated {

using Clock = std::chrono::steady_clock;

class ReportQueue {
 public:
  // As the kernel's hidraw buffer: the oldest report is dropped past this many.
  static constexpr size_t kCapacity = 64;

  // Queues a copy of `report`, visible from `due` on, in due-time order (ties keep arrival
  // order). Ignored once cancelled or dead.
  void Push(const uint8_t* report, size_t length, Clock::time_point due, ReplyClaim claim);
  // Waits for the earliest visible report and copies at most `length` bytes of it.
  HidIoResult Pop(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs);

  // Ends every wait; later pops return Cancelled (Cancel) or Failed (Kill). Queued reports go.
  void Cancel();
  void Kill();
  bool Cancelled() const;
  bool Dead() const;
  size_t Size() const;

 private:
  struct Entry {
    std::vector<uint8_t> bytes;
    Clock::time_point due;
    ReplyClaim claim;
  };

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Entry> entries_;
  bool cancelled_ = false;
  bool dead_ = false;
};

}  // namespace varkon::emulated
