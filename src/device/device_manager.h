// What happens when supported interfaces come and go: which device a slot belongs to, which
// channel of its transport opens (cable or receiver), when a keyboard or mouse switches between
// them, and which companion input channel opens. Runs on one owner thread (the UI thread); every
// visible consequence goes through DeviceManagerView, which the main window implements.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/call_queue.h"
#include "device/device_slot.h"
#include "device/device_transport.h"
#include "device/device_watcher.h"

namespace varkon {

// Selector-item timers that drive a device.
constexpr int kTimerPaintPreview = 1000;
constexpr int kTimerStartup = 1001;
constexpr int kTimerPowerRefresh = 1005;
constexpr int kTimerOnlineCheck = 1007;

// The screen side of device management. `model` is a row of kDeviceModels.
class DeviceManagerView {
 public:
  virtual ~DeviceManagerView() = default;
  // The device panel and its hidden selector item were created for the model.
  virtual void CreatePanel(int model) {}
  virtual void ShowItem(int model, bool select) {}
  virtual void HideItem(int model) {}
  virtual void StartItemTimer(int model, int timer, int milliseconds) {}
  virtual void CloseProgressDialog() {}
  // The device became reachable or unreachable (the main window shows or hides its item).
  virtual void SendReachable(int model, bool reachable) {}
  virtual void BringToFront() {}
  virtual void FirstPassDone() {}
  // Work of the device objects.
  virtual void ReadDevice(int model) {}
  virtual void ReadPowerStatus(int model) {}
  virtual void InputOpened(int model, bool receiverIdentity) {}
  virtual void InputClosed(int model, bool receiverIdentity) {}
};

// One device known to the program: created on its first arrival, kept until the end.
struct ManagedDevice {
  int model = -1;
  DeviceSlot descriptor;  // the configuration row of its cable identity
  std::unique_ptr<DeviceTransport> transport;
  std::unique_ptr<DeviceTransport> inputTransport;  // cable and receiver input channels
  bool receiverMode = false;
  bool wirelessCapable = false;
  bool itemVisible = false;
  bool itemSelected = false;
};

class DeviceManager {
 public:
  using Trace = std::function<void(const std::string& line)>;

  DeviceManager(SlotTable& slots, HidBackend* backend, DeviceManagerView& view);

  void OnArrival(size_t slot);
  void OnRemoval(size_t slot);
  void OnFirstPassDone() { view_.FirstPassDone(); }

  // One line per decision taken ("open cable 4", "switch to receiver", "show item mouse", ...).
  void SetTrace(Trace trace) { trace_ = std::move(trace); }

  ManagedDevice* DeviceForModel(int model);
  const std::vector<std::unique_ptr<ManagedDevice>>& Devices() const { return devices_; }
  int VisibleItemCount() const;

  // Selector items, as the main window shows and hides them.
  void ShowItem(ManagedDevice& device, bool select);
  void HideItem(ManagedDevice& device);

 private:
  ManagedDevice* FindByDescriptor(const DeviceSlot& descriptor);
  ManagedDevice* CreateDevice(size_t configRow);
  ManagedDevice* ConfigurationTarget(size_t index, const DeviceSlot& slot, bool& handled);
  void AttachConfiguration(size_t index, const DeviceSlot& slot);
  void AttachCompanion(size_t index, const DeviceSlot& slot);
  void RemoveConfiguration(size_t index, const DeviceSlot& slot);
  void RemoveCompanion(size_t index, const DeviceSlot& slot);
  void Switch(size_t index);
  bool PartnerPointsBack(size_t index, const DeviceSlot& slot, DeviceSlot& partner) const;
  // The device whose cable or receiver identity a slot of this kind, vendor and product is.
  ManagedDevice* DeviceOfIdentity(const DeviceSlot& slot, bool& receiverIdentity);
  void Note(const std::string& line);
  std::string ModelName(int model) const;

  SlotTable& slots_;
  HidBackend* backend_;
  DeviceManagerView& view_;
  std::vector<std::unique_ptr<ManagedDevice>> devices_;
  Trace trace_;
};

// Carries the watcher's reports to the manager on the owner thread of `queue`.
class QueuedWatcherEvents final : public WatcherEvents {
 public:
  QueuedWatcherEvents(CallQueue& queue, DeviceManager& manager)
      : queue_(queue), manager_(manager) {}
  bool Arrived(size_t slot, StopEvent& stop) override;
  bool Removed(size_t slot, StopEvent& stop) override;
  void FirstPassDone() override;

 private:
  CallQueue& queue_;
  DeviceManager& manager_;
};

}  // namespace varkon
