// The screen side of device management: for each device model that arrives, its device panel
// (in "device_switch"), its power panel (in "device_power_switch") and its selector item (in
// "device_select_layout"); showing, selecting and hiding the items; the "No_device_Link" hint;
// and the selector-item timers that drive each device. The decisions (which slot is which
// device, cable or receiver) are the device manager's; this class carries them out on screen.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/device_manager.h"
#include "platform/ui/message_bus.h"

class QWidget;

namespace varkon {

class CDeviceOptionUI;
class CMpDevicePowerUI;
class CTarnwiseUSBDevice;
class SelectorItemDriver;
class DeviceItemHost;
namespace ui {
class SkinLoader;
}

inline constexpr const char* kDeviceSwitchName = "device_switch";
inline constexpr const char* kPowerSwitchName = "device_power_switch";
inline constexpr const char* kSelectorLayoutName = "device_select_layout";
inline constexpr const char* kNoDeviceLinkName = "No_device_Link";
inline constexpr const char* kDeviceGroupName = "tab_header_device";

// What the main window does for the screen.
struct DeviceScreenHooks {
  std::function<void()> closeChildWindows;
  std::function<void()> bringToFront;
  std::function<void()> closeProgressDialog;
  std::function<bool()> windowActive;
  // Told whether two or more items are visible (the lighting panels' multi-device mode).
  std::function<void(bool multiDevice)> multiDevice;
  // Controls were added to the window (so their notifications are connected).
  std::function<void(QWidget* control)> controlsAdded;
};

class DeviceScreen final : public DeviceManagerView {
 public:
  DeviceScreen(QWidget* root, ui::SkinLoader& loader, ui::MessageTarget window, HidBackend* backend,
               DeviceScreenHooks hooks);
  ~DeviceScreen() override;
  DeviceScreen(const DeviceScreen&) = delete;
  DeviceScreen& operator=(const DeviceScreen&) = delete;

  SlotTable& slotTable() { return slots_; }
  DeviceManager& manager() { return manager_; }

  // The device objects that exist, in the order they were made.
  std::vector<CTarnwiseUSBDevice*> Devices() const;
  CTarnwiseUSBDevice* DeviceOfModel(int model) const;
  CDeviceOptionUI* ItemOfModel(int model) const;
  // The device behind the visible, selected item; null when there is none.
  CTarnwiseUSBDevice* CurrentDevice() const;
  int AttachedCount() const;
  int VisibleItemCount() const { return manager_.VisibleItemCount(); }

  // Message 3331 for model `model`: show (selected when no other item shows) or hide its item.
  void OnReachable(int model, bool reachable);
  // The user chose the item that holds `button` ("device_select"); false when it is none.
  bool OnItemChosen(QWidget* button);
  // "device_select_prev" (-1) / "device_select_next" (+1): the neighbouring visible item.
  void SelectNeighbour(int direction);
  // "No_device_Link" shown when no device is attached, hidden otherwise.
  void UpdateNoDeviceHint();

  // Selector-item timers run this many times faster (tests).
  static void SetTimeDivisor(int divisor);

  // ---- DeviceManagerView
  void CreatePanel(int model) override;
  void ShowItem(int model, bool select) override;
  void HideItem(int model) override;
  void StartItemTimer(int model, int timer, int milliseconds) override;
  void CloseProgressDialog() override;
  void SendReachable(int model, bool reachable) override;
  void BringToFront() override;
  void FirstPassDone() override {}
  void ReadDevice(int model) override;
  void ReadPowerStatus(int model) override;
  void InputOpened(int model, bool receiverIdentity) override;
  void InputClosed(int model, bool receiverIdentity) override;

 private:
  struct Entry;
  Entry* EntryOfModel(int model) const;
  // After any item is shown or hidden.
  void VisibilityCount();
  // The no-device texts: none attached, or attached but all asleep behind their receivers.
  void ShowNoDeviceTexts();
  void StopAllWorkers();

  QWidget* root_;
  ui::SkinLoader& loader_;
  ui::MessageTarget window_;
  DeviceScreenHooks hooks_;
  SlotTable slots_;
  DeviceManager manager_;
  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace varkon
