// The device watcher on the real nodes: the gadgets' interfaces arrive, and unbinding the
// keyboard gadget from its controller removes the keyboard's slots until it is bound again.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

#include "device/device_watcher.h"
#include "device/hidraw_sysfs.h"
#include "kernel/gadget_config.h"
#include "kernel/guest_checks.h"

namespace varkon::ktest {

namespace {

using namespace std::chrono_literals;

// Slots of the default table that the gadgets fill: keyboard 0-1, mouse 4-5, receiver 6-7.
const std::set<size_t> kAllSlots = {0, 1, 4, 5, 6, 7};
const std::set<size_t> kKeyboardSlots = {0, 1};

class RecordingEvents final : public WatcherEvents {
 public:
  bool Arrived(size_t slot, StopEvent&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    bound_.insert(slot);
    ++arrivals_;
    changed_.notify_all();
    return true;
  }
  bool Removed(size_t slot, StopEvent&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    bound_.erase(slot);
    ++removals_;
    changed_.notify_all();
    return true;
  }
  void FirstPassDone() override {}

  // Waits until `test` holds for the bound slots.
  template <typename Test>
  bool WaitFor(Test test, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return test(bound_); });
  }
  int Arrivals() {
    std::lock_guard<std::mutex> lock(mutex_);
    return arrivals_;
  }
  int Removals() {
    std::lock_guard<std::mutex> lock(mutex_);
    return removals_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<size_t> bound_;
  int arrivals_ = 0;
  int removals_ = 0;
};

bool Contains(const std::set<size_t>& bound, const std::set<size_t>& wanted) {
  for (size_t slot : wanted) {
    if (bound.count(slot) == 0) return false;
  }
  return true;
}

bool NoneOf(const std::set<size_t>& bound, const std::set<size_t>& gone) {
  for (size_t slot : gone) {
    if (bound.count(slot) != 0) return false;
  }
  return true;
}

// "hidraw3" of "/dev/hidraw3#...".
std::string NodeName(const std::string& path) {
  const std::string node = path.substr(0, path.find('#'));
  return node.substr(node.rfind('/') + 1);
}

}  // namespace

std::string CheckHotPlug(HidrawBackend& backend, const std::string& udc) {
  SlotTable slots;
  RecordingEvents events;
  DeviceWatcher watcher(slots, backend, events);
  watcher.Start();
  std::string why;
  const auto all = [](const std::set<size_t>& bound) { return Contains(bound, kAllSlots); };
  if (!events.WaitFor(all, 15s)) {
    why = "not every gadget interface arrived";
  }
  const std::string before = why.empty() ? slots.Get(0).path : "";
  HidrawIdentity identityBefore;
  if (why.empty() && !ReadHidrawIdentity("/sys", NodeName(before), identityBefore)) {
    why = "cannot read the keyboard node's identity";
  }
  if (why.empty() && !BindGadget(kKeyboardGadget, "", why)) why = "unbind: " + why;
  if (why.empty() &&
      !events.WaitFor([](const std::set<size_t>& b) { return NoneOf(b, kKeyboardSlots); }, 10s)) {
    why = "the watcher did not see the keyboard go";
  }
  if (why.empty() && events.Removals() != 2) {
    why = std::to_string(events.Removals()) + " removals, want the keyboard's 2";
  }
  if (why.empty() && backend.IsPresent(before)) why = "the unplugged path is still present";
  if (why.empty() && !BindGadget(kKeyboardGadget, udc, why)) why = "re-bind: " + why;
  if (why.empty() && !events.WaitFor(all, 15s)) why = "the watcher did not see the keyboard return";
  if (why.empty() && events.Arrivals() != static_cast<int>(kAllSlots.size()) + 2) {
    why = std::to_string(events.Arrivals()) + " arrivals, want " +
          std::to_string(kAllSlots.size() + 2);
  }
  // The keyboard came back as a new kernel device, whatever node number it got.
  HidrawIdentity now;
  if (why.empty() &&
      (!ReadHidrawIdentity("/sys", NodeName(slots.Get(0).path), now) || now == identityBefore)) {
    why = "the returned keyboard has the identity of the one that left";
  }
  watcher.Stop();
  return why;
}

}  // namespace varkon::ktest
