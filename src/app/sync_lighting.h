// Synchronised lighting in the program: the device objects as the group's members, "deng_same_mode"
// starting the group from the current device, and the thread that paints every member's preview
// from one shared phase (the headset's lights follow its preview, so they keep in step too).
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "core/worker_thread.h"
#include "devices/light_scheduler.h"
#include "devices/sync_light_driver.h"

namespace varkon {

class CTarnwiseUSBDevice;

class SyncLighting {
 public:
  SyncLighting();
  ~SyncLighting();

  // "deng_same_mode" on the UI thread: `devices` are all the device objects, `current` the one
  // whose lighting the others take. False when nothing changed (no current device, or its mode
  // has no synchronised equivalent).
  bool Synchronise(CTarnwiseUSBDevice* current, const std::vector<CTarnwiseUSBDevice*>& devices);

  void Start();
  WorkerThread::StopResult Stop();
  bool Running() const { return thread_.Running(); }

 private:
  class Member;
  void Run(StopEvent& stop);

  SharedSyncSettings settings_;
  SystemLightClock clock_;
  // The members, by kind; the thread reads them under the lock while the UI thread rebuilds them.
  std::mutex mutex_;
  std::vector<std::unique_ptr<Member>> members_;
  std::vector<SyncLightTarget*> keyboards_, mice_, pads_, headsets_;
  WorkerThread thread_;
};

}  // namespace varkon
