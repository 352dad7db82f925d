// The background thread that finds supported interfaces as they appear and disappear: it
// enumerates while any slot is free, claims slots for matching interfaces, probes the bound ones,
// and reports arrivals and removals synchronously to the owner.
#pragma once

#include <chrono>
#include <cstddef>

#include "core/worker_thread.h"
#include "device/device_slot.h"
#include "device/hid_backend.h"

namespace varkon {

// What the watcher tells its owner. Arrived and Removed run the owner's handling to its end
// before they return; they give up, returning false, when `stop` fires first.
class WatcherEvents {
 public:
  virtual ~WatcherEvents() = default;
  virtual bool Arrived(size_t slot, StopEvent& stop) = 0;
  virtual bool Removed(size_t slot, StopEvent& stop) = 0;
  // The first enumeration pass is over (posted, not waited for).
  virtual void FirstPassDone() = 0;
  // Enumeration failed: the watcher ends, the program goes on.
  virtual void WatcherEnded() {}
};

constexpr std::chrono::milliseconds kWatcherPassInterval{100};

class DeviceWatcher {
 public:
  DeviceWatcher(SlotTable& slots, HidBackend& backend, WatcherEvents& events);
  ~DeviceWatcher();

  void Start();
  // Bounded stop; a pending send gives up at once.
  WorkerThread::StopResult Stop();
  bool Running() const { return thread_.Running(); }

  // One enumeration pass and one liveness probe, as the thread runs them (for tests).
  void RunPass(StopEvent& stop);
  size_t EnumerationCount() const { return enumerations_.load(); }

 private:
  void Run(StopEvent& stop);
  bool EnumerateAndClaim(StopEvent& stop);
  void ProbeBound(StopEvent& stop);

  SlotTable& slots_;
  HidBackend& backend_;
  WatcherEvents& events_;
  WorkerThread thread_;
  bool firstPass_ = true;
  bool enumerationFailed_ = false;
  std::atomic<size_t> enumerations_{0};
};

}  // namespace varkon
