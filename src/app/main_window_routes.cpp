// The main window's own rows of the notification routing: the title bar, the no-device hint,
// the lighting-control switch, the device selector and the function-page tabs. Editors add
// their rows to the same router.
#include <QAbstractButton>

#include "app/device_screen.h"
#include "app/main_window.h"
#include "devices/device_pages.h"
#include "devices/panels/usb_device.h"
#include "editors/device_profile.h"
#include "platform/ui/notifier.h"

namespace varkon {

namespace {

constexpr const char* kClick = "click";
constexpr const char* kSelectChanged = "selectchanged";

}  // namespace

void CMainWnd::BuildRoutes() {
  // Start-up normally runs the window-init steps itself; this covers a window shown first.
  router_.OnType("windowinit", [this](const RoutedNotification&) {
    if (!initialised_) WindowInit(nullptr);
  });
  router_.OnType("windowsize", [this](const RoutedNotification& n) {
    if (root_ && n.name == root_->objectName().toStdString() && displayChanged_) {
      displayChanged_ = false;
      FitWindow();
    }
  });
  router_.OnName(kClick, "closebtn", [this](const RoutedNotification&) { HideToTray(); });
  router_.OnName(kClick, "nodevice_ok_btn", [this](const RoutedNotification&) { hide(); });
  router_.OnName(kClick, "control_light_status",
                 [this](const RoutedNotification&) { ToggleLightControl(); });
  router_.OnName(kClick, "skinbtn", [this](const RoutedNotification&) { OpenSkinPicker(); });
  router_.OnName(kClick, "setbtn", [this](const RoutedNotification&) { OpenSettingsWindow(); });
  router_.OnName(kClick, "minbtn", [this](const RoutedNotification&) { showMinimized(); });
  router_.OnName(kClick, "maxbtn", [this](const RoutedNotification&) { showMaximized(); });
  router_.OnName(kClick, "restorebtn", [this](const RoutedNotification&) { showNormal(); });
  router_.OnName(kClick, "device_select_prev", [this](const RoutedNotification&) {
    if (screen_) screen_->SelectNeighbour(-1);
  });
  router_.OnName(kClick, "device_select_next", [this](const RoutedNotification&) {
    if (screen_) screen_->SelectNeighbour(1);
  });
  // A function-page tab turning on shows that page of the current device.
  router_.OnNames(kSelectChanged,
                  {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab",
                   "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"},
                  [this](const RoutedNotification& n) {
                    CTarnwiseUSBDevice* device = CurrentDevice();
                    if (!device || n.wParam != 1) return;
                    const int page = FunctionPageOfTab(n.name);
                    device->SelectFunctionPage(page);
                    // The profile panel keeps the tab row's choice.
                    if (CDeviceProfileUI* profiles = device->ProfilePanel()) {
                      profiles->SelectOperationTab(page);
                    }
                  });
  // Scrolling through the profiles switches once, to where the user stops.
  router_.OnName("itemselect", "device_profile_combo",
                 [this](const RoutedNotification&) { StartWindowTimer(kTimerProfileSwitch, 400); });
  BuildDeviceRoutes();
  BuildLightRoutes();
  BuildProfileRoutes();
  BuildKeyRoutes();
  BuildMacroRoutes();
  BuildMouseRoutes();
  // The click-select notifications of the framework that end here.
  router_.SkipFrameworkFor("click_wpremove");
  router_.SkipFrameworkFor("click_wpedit");
}

void CMainWnd::OnNotify(const ui::Notification& notification) {
  // A selector item's button: which item it is only the sender tells.
  if (notification.type == kSelectChanged && notification.name == "device_select" &&
      notification.wParam == 1 && screen_) {
    screen_->OnItemChosen(notification.sender);
  }
  RoutedNotification routed;
  routed.type = notification.type;
  routed.name = notification.name;
  routed.wParam = notification.wParam;
  routed.lParam = notification.lParam;
  // A control inside a device's panel also reaches that device's own handlers.
  if (screen_ && notification.sender) {
    for (CTarnwiseUSBDevice* device : screen_->Devices()) {
      if (device->isAncestorOf(notification.sender)) {
        device->Pump().Route(routed);
        break;
      }
    }
  }
  router_.Route(routed);
}

}  // namespace varkon
