// The program's main window and its controller: built from the "XML_MAIN" skin, it owns the
// device screen (panels, selector items, the device manager and watcher), the tray icon and its
// menu, the notification routing, the message table and the window timers, and the table of
// background threads. Closing it hides it to the tray; only the tray menu's "exit" (or the
// system ending the session) ends the program.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/notify_router.h"
#include "devices/panels/device_messages.h"
#include "platform/ui/message_bus.h"
#include "platform/ui/sleep_notice.h"

namespace varkon {
namespace ui {
class Notifier;
class PopupMenu;
class SkinLoader;
class TrayIcon;
class InputHook;
struct Notification;
}  // namespace ui

class CTarnwiseUSBDevice;
class CSetWnd;
struct InstalledItem;
class CTarnwiseKeyboardDevice;
class CMacroControlUI;
class CTarnwiseMouseDevice;
class DeviceScreen;
class UiStallMonitor;
class DeviceWatcher;
class SyncLighting;
class HidBackend;
class WatcherEvents;

inline constexpr int kMainWindowWidth = 800;
inline constexpr int kMainWindowHeight = 572;
// The size the window is fitted to at 96 DPI.
inline constexpr int kFittedWidth = 1000;
inline constexpr int kFittedHeight = 640;
inline constexpr const char* kMainSkinKey = "XML_MAIN";
inline constexpr const char* kTrayMenuKey = "XML_MENU";
inline constexpr const char* kTrayIconImage = "image/logo.svg";
inline constexpr size_t kThreadTableSize = 20;
inline constexpr size_t kWatcherThreadEntry = 0;
inline constexpr size_t kSyncLightingThreadEntry = 8;

// Window timers.
inline constexpr int kTimerFitWindow = 1011;
inline constexpr int kTimerTrayMenu = 1032;
inline constexpr int kTimerProfileSwitch = 1055;
inline constexpr int kTimerGameLighting = 1066;

// Numbered messages of the main window.
inline constexpr uint32_t kMessageLanguageChanged = 3089;
inline constexpr uint32_t kMessageArrival = 3090;
inline constexpr uint32_t kMessageRemoval = 3091;
inline constexpr uint32_t kMessageOpenSettings = 3093;
inline constexpr uint32_t kMessageClearUpdateBadge = 3094;
inline constexpr uint32_t kMessageKeyCapture = 1054;
// A request of the control socket, carried to the UI thread (wParam: a ControlRequest*).
inline constexpr uint32_t kMessageControlRequest = 0x7F01;
// A suspend notice (wParam 4) or an automatic resume (wParam 18), as the sleep notice posts.
inline constexpr uint32_t kMessagePowerBroadcast = ui::kPowerBroadcastMessage;
inline constexpr uintptr_t kPowerSuspend = ui::kPowerBroadcastSuspend;
inline constexpr uintptr_t kPowerResumeAutomatic = ui::kPowerBroadcastResume;

// The monitor size decides the window's DPI: larger than 1500 x 960 gives 144, else 96.
int DpiForMonitor(int width, int height);
// 48 to 192 in steps of 24; anything else becomes 96.
int ValidDpi(int dpi);

struct ControlRequest {
  std::vector<std::string> words;
  std::string answer;
};

class CMainWnd : public QWidget {
  Q_OBJECT

 public:
  CMainWnd();
  ~CMainWnd() override;

  // Builds the window from the skin `skinName` with `loader` and the tray menu from `menuName`
  // (the InitWindow steps). False with `error` set when the main skin cannot be loaded (a
  // missing menu only leaves the tray without one).
  bool Create(ui::SkinLoader& loader, const std::string& skinName, const std::string& menuName,
              std::string& error);
  // The window-init steps: device slots and screen, the window hidden until the watcher's
  // first pass, the thread table and the fitting timer. Runs once.
  void WindowInit(HidBackend* backend);
  // Brings the window forward (the wake-up and the first pass): the no-device hint updated,
  // devices told the window shows, restored and raised.
  void BringForward();
  // Ends the program's work: child windows closed, tray icon removed, every thread stopped
  // within its bound, then `onExit`. Runs once.
  void Shutdown();

  // Called when the user asks to end the program (the tray's "exit").
  void SetExitHandler(std::function<void()> handler) { onExit_ = std::move(handler); }
  // Started with the desktop: the window stays in the tray, also as devices arrive, until the
  // user opens it (the tray, a second start).
  void SetStartHidden(bool hidden) { startHidden_ = hidden; }
  // Called when "device_profile_combo" settles (timer 1055); the profile panels take it.
  void SetProfileSwitchHandler(std::function<void(CTarnwiseUSBDevice*)> handler) {
    onProfileSwitch_ = std::move(handler);
  }

  ui::MessageBus& bus() { return bus_; }
  QWidget* skinRoot() const { return root_; }
  ui::TrayIcon* tray() const { return tray_.get(); }
  // The key capture's input hook (message 1054); null until the first capture.
  ui::InputHook* inputHook() const { return inputHook_.get(); }
  ui::PopupMenu* trayMenu() const { return menu_.get(); }
  DeviceScreen* deviceScreen() const { return screen_.get(); }
  NotifyRouter& router() { return router_; }
  CTarnwiseUSBDevice* CurrentDevice() const;
  // The current device when it is a keyboard.
  CTarnwiseKeyboardDevice* CurrentKeyboard() const;
  // The current device when it is a mouse.
  CTarnwiseMouseDevice* CurrentMouse() const;
  // The current device when it has keys to edit (a keyboard or a mouse).
  CTarnwiseUSBDevice* CurrentKeyDevice() const;
  // How late the UI thread's heartbeat came at worst (see UiStallMonitor).
  qint64 UiStallMaxMs() const;
  void ResetUiStall();

  bool LightControl() const { return lightControl_; }
  // Key assignments changed in the key editor but not yet written to the device.
  bool KeysUnsent() const { return keysUnsent_; }
  bool PowerOn() const { return powerOn_; }
  int Dpi() const { return dpi_; }
  bool FirstPassDone() const { return firstPassDone_; }
  bool ShutDown() const { return shutDown_; }
  int LanguageIndex() const { return languageIndex_; }
  void SetLanguageIndex(int index) { languageIndex_ = index; }
  // The controls the window works with that its skin lacks (reported once on stderr).
  std::vector<std::string> MissingControls() const;
  // How many threads of the table are running.
  int RunningThreads() const;

  // The snapshot `varkonctl state` prints.
  std::string StateJson() const;
  // `varkonctl light DEVICE [mode N] [brightness B] [speed S] [direction D] [colour RRGGBB]
  // [multicolour 0|1]`: the lighting editor's action on that device. "ok" or "error ...".
  std::string LightRequest(const std::vector<std::string>& words);
  // `varkonctl profile DEVICE list|switch NAME|add|copy|rename NAME|reset|delete|export FILE|
  // import FILE [--yes]`: the profile panel's operations. A JSON list, "ok" or "error ...".
  std::string ProfileRequest(const std::vector<std::string>& words);
  // `varkonctl keys DEVICE list|set INDEX KIND B1 B2 [--fn]|write`: the key editor's operations.
  std::string KeysRequest(const std::vector<std::string>& words);
  // The macro panel of the current device (null when it has none).
  CMacroControlUI* CurrentMacroPanel() const;
  // Whether a macro recording runs (its capture holds the keyboard and the mouse).
  bool MacroRecording() const { return macroRecording_; }
  // A key typed while key capture runs (message 1054 turned it on): its PC set-1 scan code and
  // extended-key flag. The key editor takes it.
  void OnKeyCaptured(uint8_t scanCode, bool extended);
  // The tray menu's "Profiles" submenu: one submenu per device, one item per profile (built
  // again each time the menu opens).
  void RefreshTrayProfiles();
  // The attached device a script names: its display name (any case), "pad" or "headset".
  CTarnwiseUSBDevice* DeviceNamed(const std::string& word) const;
  // The skin picker's change: a background colour, or an image.
  void ReceiveSkinChange(bool isColour, uint32_t colour, const QString& image);
  // The background picker under "skinbtn" (it closes by itself when it loses the focus).
  void OpenSkinPicker();
  // The settings window (modal), from "setbtn", the tray menu and message 3093.
  void OpenSettingsWindow();
  // The open settings window, or null.
  const CSetWnd* SettingsWindow() const { return settings_; }
  // Takes the update badge off "setbtn" (message 3094; nothing is left to update).
  void ClearUpdateBadge();
  // Shows the badge on "setbtn" while an outside updater offers something newer than what is
  // installed (looked at whenever the window is shown, a device wakes and the settings window
  // closes).
  void RefreshUpdateBadge();
  std::vector<InstalledItem> InstalledItems() const;
  // DPI fitting for the monitor nearest the window.
  void FitWindow();
  // Hands `lightControl` (or off while suspended) to every keyboard, mouse and mouse pad.
  void BroadcastLightControl(bool on);
  // The block reported to the external tool, sent to a "WorkTool" listener when one exists.
  void SetWorkToolSender(std::function<bool(const std::string& line)> sender) {
    sendToWorkTool_ = std::move(sender);
  }
  // Broadcasts a registered message to other programs (the lighting-control state).
  void SetBroadcaster(std::function<void(const std::string&, int64_t, int64_t)> broadcaster) {
    broadcast_ = std::move(broadcaster);
  }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void OnNotify(const ui::Notification& notification);
  bool OnMessage(const ui::Message& message, intptr_t& result);
  bool OnUngatedMessage(const ui::Message& message, intptr_t& result, bool& handled);
  bool OnGatedMessage(const ui::Message& message, intptr_t& result);
  void OnTimer(int timer);
  void OnTray(intptr_t mouseMessage);
  void OnMenuCommand(const std::string& item);
  void OnGameEvent(uintptr_t variant, intptr_t mode);
  // The about window, modal; at most one.
  void OpenAboutWindow();
  void BuildRoutes();
  // The rows of the device editors: custom colours, the keyboard's System page.
  void BuildDeviceRoutes();
  // The lighting editor's rows, and the action they share: `change` turns the current device's
  // five light-state words into the new ones; `showColour` shows the new fixed colour in the
  // editor (the colour actions).
  void BuildLightRoutes();
  // The profile panel's rows (the operations with their confirmations, the switch timer).
  void BuildProfileRoutes();
  // The key assignment editor's rows.
  void BuildKeyRoutes();
  // The mouse's DPI page.
  void BuildMouseRoutes();
  // A choice in that submenu; false for other items.
  bool OnProfileMenuCommand(const std::string& item);
  // The macro panel's rows: its library, recording, the step commands and their menu.
  void BuildMacroRoutes();
  // A choice in the macro steps menu; false for other items.
  bool OnMacroMenuCommand(const std::string& item);
  // A capture's event as its hook message (the "WM_HOOK_KEY_*MACRO*" names) for the macro
  // panel that records.
  void OnMacroHookMessage(const std::string& name, const ui::Message& message);
  // A recording into the current macro panel in capture mode `mode` (4 append, 8 before, 16
  // after, 32 replace) and record state `state` (1 measured, 2 constant, 3 none). While it
  // runs the device selector, the profile panel and the key editor are disabled.
  void StartMacroRecording(uint32_t mode, int state);
  // Ends it: the capture is released, the panels enabled again and the macro saved.
  void StopMacroRecording();
  void LockPanelsForRecording(bool locked);
  void DeleteSelectedMacro(CMacroControlUI& panel);
  void ShowMacroMenu(const QPoint& at);
  // The key editor's Save and Write on the current keyboard (Write reports through texts 7 and
  // 16 and, on a macro overflow, falls back to the edited key's default and writes again).
  void SaveEditedKey(CTarnwiseUSBDevice& device);
  void WriteEditedKeys(CTarnwiseUSBDevice& device);
  void EditCurrentLight(
      const std::function<std::array<uint32_t, 5>(const std::array<uint32_t, 5>&)>& change,
      bool showColour = false);
  void EditDeviceLight(
      CTarnwiseUSBDevice* device,
      const std::function<std::array<uint32_t, 5>(const std::array<uint32_t, 5>&)>& change,
      bool showColour);
  void HideToTray();
  // Message 1054: key capture for the key editor on (the window's keys go to OnKeyCaptured) or
  // off.
  void StartKeyCapture();
  void StopKeyCapture();
  void ToggleLightControl();
  void ShowLightControlText();
  // The device objects the window hands a state to: keyboards and mice, every device but the
  // headset, or all.
  enum class DeviceGroup { KeyboardsAndMice, AllButHeadset, All };
  void ForEachDevice(DeviceGroup group, const std::function<void(CTarnwiseUSBDevice&)>& fn);
  void SetWindowHiddenOnDevices(bool hidden);
  void CloseChildWindows();
  void StartWindowTimer(int timer, int milliseconds);
  void UpdateMaxButtons();
  void ReportToWorkTool();

  ui::MessageBus bus_;
  QWidget* root_ = nullptr;
  ui::SkinLoader* loader_ = nullptr;
  std::unique_ptr<ui::Notifier> notifier_;
  std::unique_ptr<ui::TrayIcon> tray_;
  std::unique_ptr<ui::PopupMenu> menu_;
  NotifyRouter router_;
  std::unique_ptr<DeviceScreen> screen_;
  std::unique_ptr<WatcherEvents> watcherEvents_;
  std::unique_ptr<DeviceWatcher> watcher_;
  std::unique_ptr<SyncLighting> syncLighting_;
  CSetWnd* settings_ = nullptr;  // while the settings window is open
  bool startHidden_ = false;
  QPointer<QWidget> about_;
  std::unique_ptr<ui::InputHook> inputHook_;
  std::unique_ptr<ui::PopupMenu> macroMenu_;
  QPointer<CMacroControlUI> recordingPanel_;
  QPointer<CTarnwiseUSBDevice> recordingDevice_;
  bool macroRecording_ = false;
  UiStallMonitor* stallMonitor_ = nullptr;
  std::function<void()> onExit_;
  std::function<void(CTarnwiseUSBDevice*)> onProfileSwitch_;
  std::function<bool(const std::string&)> sendToWorkTool_;
  std::function<void(const std::string&, int64_t, int64_t)> broadcast_;
  int dpi_ = 96;
  int languageIndex_ = -1;
  bool lightControl_ = true;
  bool keysUnsent_ = false;
  bool windowActive_ = false;
  bool mouseInside_ = false;
  bool displayChanged_ = false;
  bool powerOn_ = true;
  bool initialised_ = false;
  bool firstPassDone_ = false;
  bool shutDown_ = false;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  // The thread table: entry 0 is the device watcher; the others are filled as their workers
  // come to exist.
  struct ThreadEntry {
    std::string name;
    std::function<bool()> running;
    std::function<int()> stop;  // 0 ended, 1 timed out, -1 not running
  };
  std::array<ThreadEntry, kThreadTableSize> threads_;
  std::function<void(int)> onLanguage_;

 public:
  // Message 3089: the language switch applies language `index`.
  void SetLanguageHandler(std::function<void(int)> handler) { onLanguage_ = std::move(handler); }
};

}  // namespace varkon
