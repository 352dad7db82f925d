#include "app/sync_lighting.h"

#include <chrono>

#include "core/debug_out.h"
#include "devices/panels/usb_device.h"

namespace varkon {

// A device object as a member of the group. The flag, the connected state, the light count and
// the colours are atomics of the device, safe from the thread. Device objects live as long as
// the window, whose shutdown stops the thread before they go.
class SyncLighting::Member final : public SyncLightTarget {
 public:
  explicit Member(CTarnwiseUSBDevice* device) : device_(device) {}

  bool IsConnected() const override { return device_->TransportOpen(); }
  bool SyncOn() const override { return device_->SyncOn(); }
  void SetSyncOn(bool on) override { device_->SetSyncOn(on); }
  size_t LightCount() const override { return device_->Engine().lightCount(); }
  void SetLightColour(size_t index, uint32_t colour) override {
    device_->Engine().SetLightColour(index, colour);
  }
  LightState SyncLightState() const override { return device_->GetLightState(); }
  void ApplySyncedLightState(const LightState& state) override {
    device_->ApplySyncedLightState(state);
  }

 private:
  CTarnwiseUSBDevice* device_;
};

SyncLighting::SyncLighting() = default;

SyncLighting::~SyncLighting() {
  Stop();
}

bool SyncLighting::Synchronise(CTarnwiseUSBDevice* current,
                               const std::vector<CTarnwiseUSBDevice*>& devices) {
  if (current == nullptr) return false;
  SyncLightTarget* currentMember = nullptr;
  SyncGroup group;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // The device objects live as long as the window; the lists are rebuilt so devices that came
    // since the last time are members too.
    members_.clear();
    keyboards_.clear(), mice_.clear(), pads_.clear(), headsets_.clear();
    for (CTarnwiseUSBDevice* device : devices) {
      if (device == nullptr) continue;
      members_.push_back(std::make_unique<Member>(device));
      SyncLightTarget* member = members_.back().get();
      if (device == current) currentMember = member;
      switch (device->LightClass()) {
        case LightDeviceClass::kKeyboard:
          keyboards_.push_back(member);
          break;
        case LightDeviceClass::kMouse:
          mice_.push_back(member);
          break;
        case LightDeviceClass::kMousePad:
          pads_.push_back(member);
          break;
        case LightDeviceClass::kHeadset:
          headsets_.push_back(member);
          break;
      }
    }
    group = {keyboards_, mice_, pads_, headsets_};
  }
  if (currentMember == nullptr) return false;
  // On the UI thread, which alone changes the lists, so they need no lock while devices take
  // their new state.
  return SynchroniseLighting(currentMember, current->LightClass(), group, settings_) ==
         SyncStartStatus::kStarted;
}

void SyncLighting::Start() {
  thread_.Start([this](StopEvent& stop) { Run(stop); });
}

WorkerThread::StopResult SyncLighting::Stop() {
  return thread_.Stop();
}

void SyncLighting::Run(StopEvent& stop) {
  SyncLightDriver driver(clock_, settings_);
  driver.Start();
  while (!stop.Wait(std::chrono::milliseconds(kSyncPassWaitMs))) {
    SyncPassOutcome outcome;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      outcome = driver.Pass({keyboards_, mice_, pads_, headsets_});
    }
    if (outcome.action == SyncPassAction::kIdle &&
        stop.Wait(std::chrono::milliseconds(kSyncIdleSleepMs))) {
      break;
    }
  }
  debugOut("%s\n", kSyncThreadStopMessage);
}

}  // namespace varkon
