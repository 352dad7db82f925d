#include "device/device_watcher.h"

#include "core/debug_out.h"
#include "device/hid_channel.h"
#include "device/hid_paths.h"

namespace varkon {

DeviceWatcher::DeviceWatcher(SlotTable& slots, HidBackend& backend, WatcherEvents& events)
    : slots_(slots), backend_(backend), events_(events) {}

DeviceWatcher::~DeviceWatcher() {
  Stop();
}

void DeviceWatcher::Start() {
  firstPass_ = true;
  enumerationFailed_ = false;
  thread_.Start([this](StopEvent& stop) { Run(stop); });
}

WorkerThread::StopResult DeviceWatcher::Stop() {
  return thread_.Stop();
}

void DeviceWatcher::Run(StopEvent& stop) {
  while (!stop.Wait(kWorkerPassWait)) {
    RunPass(stop);
    if (enumerationFailed_) {
      debugOut("device watcher: enumeration failed, watcher ends\n");
      events_.WatcherEnded();
      return;
    }
    if (stop.Wait(kWatcherPassInterval)) break;
  }
  debugOut("device watcher: stop requested, watcher ends\n");
}

void DeviceWatcher::RunPass(StopEvent& stop) {
  if (!slots_.AllSlotsAttached()) {
    if (!EnumerateAndClaim(stop)) {
      enumerationFailed_ = true;
      return;
    }
  }
  ProbeBound(stop);
}

bool DeviceWatcher::EnumerateAndClaim(StopEvent& stop) {
  HidChannel lister(&backend_);
  if (!lister.Enumerate()) return false;
  enumerations_.fetch_add(1);
  while (auto path = lister.NextPath()) {
    if (stop.IsSignalled()) return true;
    if (!slots_.MatchCandidate(*path)) continue;
    // Opened only to learn its identity and top-level usage; one that cannot be opened now is
    // tried again on the next pass.
    HidChannel candidate(&backend_);
    if (!candidate.Open(*path, true, false, true, false)) continue;
    const HidAttributes attributes = candidate.Attributes();
    const HidCaps caps = candidate.Caps();
    candidate.Close();
    if (auto slot = slots_.ClaimSlot(*path, attributes, caps.usagePage, caps.usage)) {
      events_.Arrived(*slot, stop);
    }
  }
  if (firstPass_) {
    firstPass_ = false;
    events_.FirstPassDone();
  }
  return true;
}

void DeviceWatcher::ProbeBound(StopEvent& stop) {
  for (const auto& [index, path] : slots_.BoundSlots()) {
    if (stop.IsSignalled()) return;
    if (backend_.IsPresent(path)) continue;
    slots_.Release(index);
    events_.Removed(index, stop);
  }
}

}  // namespace varkon
