// The main window's rows for the device editors: the custom key colours and the keyboard's
// System page (the lighting editor's own rows are in main_window_light_routes.cpp). Each acts on
// the current device and does nothing without one.
#include "app/device_screen.h"
#include "app/main_window.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/mouse_device.h"

namespace varkon {

namespace {

constexpr const char* kClick = "click";
constexpr const char* kSelectChanged = "selectchanged";
constexpr const char* kValueChanged = "valuechanged";
constexpr int kLightingPage = 1;
constexpr int kCustomColourEffect = 20;

bool PaintsCustomColours(const CTarnwiseKeyboardDevice& keyboard) {
  return keyboard.GetLightState().mode == kCustomColourEffect;
}

}  // namespace

CTarnwiseKeyboardDevice* CMainWnd::CurrentKeyboard() const {
  return qobject_cast<CTarnwiseKeyboardDevice*>(CurrentDevice());
}

CTarnwiseUSBDevice* CMainWnd::CurrentKeyDevice() const {
  CTarnwiseUSBDevice* device = CurrentDevice();
  return device && device->KeyList() ? device : nullptr;
}

CTarnwiseMouseDevice* CMainWnd::CurrentMouse() const {
  return qobject_cast<CTarnwiseMouseDevice*>(CurrentDevice());
}

void CMainWnd::BuildDeviceRoutes() {
  // ---- custom key colours: keys picked by the rubber band, or clicked on the lighting page
  router_.OnType("click_select_end", [this](const RoutedNotification& n) {
    if (n.name != kKeyboardKeyPanelName && n.name != "device_key_light") return;
    CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard();
    if (keyboard && PaintsCustomColours(*keyboard)) keyboard->PaintSelectedKeys();
  });
  router_.OnPrefix(kClick, "key_", [this](const RoutedNotification&, int index) {
    CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard();
    if (!keyboard || keyboard->GetFunctionPage() != kLightingPage) return;
    if (PaintsCustomColours(*keyboard)) keyboard->PaintKey(index);
  });
  router_.OnNames(kClick, {"custom_bright_color_btn", "custom_off_color_btn"},
                  [this](const RoutedNotification& n) {
                    if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) {
                      keyboard->SetPaintsOff(n.name == "custom_off_color_btn");
                    }
                  });

  // ---- the keyboard's System page
  router_.OnName(kValueChanged, "repeat_rate_slider", [this](const RoutedNotification& n) {
    if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) {
      keyboard->OnRepeatRate(static_cast<int>(n.wParam));
    }
  });
  router_.OnPrefix(kSelectChanged, "repeat_delay_check_",
                   [this](const RoutedNotification& n, int index) {
                     CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard();
                     if (keyboard && n.wParam == 1) keyboard->OnRepeatDelay(index);
                   });
  // The keyboard's System page and the mouse's DPI page both offer the report rate.
  router_.OnPrefix(kSelectChanged, "polling_rate_option_",
                   [this](const RoutedNotification& n, int index) {
                     if (n.wParam != 1) return;
                     if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) {
                       keyboard->OnPollingRate(index);
                     } else if (CTarnwiseMouseDevice* mouse = CurrentMouse()) {
                       mouse->OnReportRate(index);
                     }
                   });
  router_.OnNames(kSelectChanged, {"winlockflag_option", "wflag_option", "6flag_option"},
                  [this](const RoutedNotification& n) {
                    if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) {
                      keyboard->OnSystemFlag(n.name, n.wParam == 1);
                    }
                  });
  router_.OnName(kValueChanged, "voice_sensitivity", [this](const RoutedNotification& n) {
    if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) {
      keyboard->OnVoiceSensitivity(static_cast<int>(n.wParam));
    }
  });
  router_.OnName(kClick, "reset_repeat_btn", [this](const RoutedNotification&) {
    if (CTarnwiseKeyboardDevice* keyboard = CurrentKeyboard()) keyboard->OnResetRepeat();
  });
}

}  // namespace varkon
