#include "app/main_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/about_wnd.h"
#include "app/device_screen.h"
#include "app/set_wnd.h"
#include "app/skin_frame.h"
#include "app/startup.h"
#include "app/sync_lighting.h"
#include "app/ui_stall_monitor.h"
#include "core/debug_out.h"
#include "device/device_catalogue.h"
#include "device/device_watcher.h"
#include "device/hid_backend.h"
#include "devices/panels/usb_device.h"
#include "editors/light_control.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_timers.h"
#include "platform/ui/input_hook.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/program_folder.h"
#include "platform/ui/registered_messages.h"
#include "platform/ui/skin_loader.h"
#include "platform/ui/tray_icon.h"
#include "profile/data_folders.h"

namespace varkon {

namespace {

// A thread table entry's stop outcome: 0 ended, 1 timed out, -1 not running.
int StopOutcome(WorkerThread::StopResult result) {
  switch (result) {
    case WorkerThread::StopResult::Ended:
      return 0;
    case WorkerThread::StopResult::TimedOut:
      return 1;
    case WorkerThread::StopResult::NotRunning:
      break;
  }
  return -1;
}

constexpr uint32_t kMessageActivate = 6;
constexpr uint32_t kMessageDestroy = 2;
constexpr uint32_t kMessageMouseHover = 673;
constexpr uint32_t kMessageMouseLeave = 675;
constexpr uint32_t kMessageTimer = 275;
constexpr uint32_t kMessageCopyData = 74;
constexpr uint32_t kMessageDisplayChange = 126;
constexpr uint32_t kMessageDpiChanged = 736;
constexpr uint32_t kMessageInterfaceDpi = 1224;
constexpr uint32_t kMessageSyncRequest = 3330;
constexpr int kTopMostMs = 10;

// The watcher's reports as window messages: arrivals and removals sent (the watcher waits for
// the window to handle them), the first pass posted as the wake-up.
class BusWatcherEvents final : public WatcherEvents {
 public:
  explicit BusWatcherEvents(ui::MessageTarget window) : window_(std::move(window)) {}
  bool Arrived(size_t slot, StopEvent& stop) override { return Send(kMessageArrival, slot, stop); }
  bool Removed(size_t slot, StopEvent& stop) override { return Send(kMessageRemoval, slot, stop); }
  void FirstPassDone() override {
    ui::Message message;
    message.number = RegisterStartupMessages().instance;
    window_.Post(std::move(message));
  }
  void WatcherEnded() override { debugOut("the device watcher ended: enumeration failed\n"); }

 private:
  bool Send(uint32_t number, size_t slot, StopEvent& stop) {
    ui::Message message;
    message.number = number;
    message.wParam = slot;
    const ui::SendStatus status = window_.Send(message, stop);
    return status == ui::SendStatus::Handled || status == ui::SendStatus::Unhandled;
  }
  ui::MessageTarget window_;
};

}  // namespace

int DpiForMonitor(int width, int height) {
  return width > 1500 && height > 960 ? 144 : 96;
}

int ValidDpi(int dpi) {
  if (dpi >= 48 && dpi <= 192 && dpi % 24 == 0) return dpi;
  debugOut("MAIN_WND DPI SET ERROR\n");
  return 96;
}

CMainWnd::CMainWnd() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromLatin1(kProductName));
  setMinimumSize(kMainWindowWidth, kMainWindowHeight);
  resize(kMainWindowWidth, kMainWindowHeight);
  bus_.AddHandler(
      [this](const ui::Message& message, intptr_t& result) { return OnMessage(message, result); });
}

CMainWnd::~CMainWnd() {
  Shutdown();
  // The panels go with the window's tree; their workers stop first.
  screen_.reset();
  notifier_.reset();
  menu_.reset();
  tray_.reset();
}

bool CMainWnd::Create(ui::SkinLoader& loader, const std::string& skinName,
                      const std::string& menuName, std::string& error) {
  debugOut("InitWindow\n");
  std::string loadError;
  QWidget* root = loader.LoadSkin(skinName, this, &loadError);
  if (!root) {
    error = "cannot load the main window skin \"" + skinName + "\": " + loadError;
    return false;
  }
  loader_ = &loader;
  root_ = root;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(root_);
  notifier_ = std::make_unique<ui::Notifier>(root_);
  notifier_->AddHandler([this](const ui::Notification& n) { OnNotify(n); });

  tray_ = std::make_unique<ui::TrayIcon>(bus_.Target());
  const QString iconPath =
      QString::fromStdString(ui::SkinFilePath(loader.skinFolder(), kTrayIconImage));
  if (tray_->SetIconFile(iconPath)) setWindowIcon(QIcon(iconPath));
  tray_->SetToolTip(QString::fromLatin1(kProductName));

  menu_ = std::make_unique<ui::PopupMenu>(bus_.Target());
  std::string menuError;
  if (menuName.empty() || !menu_->Load(menuName, &menuError, loader.skinFolder())) menu_.reset();
  BuildRoutes();
  UpdateMaxButtons();
  // The background the user picked last time.
  SkinChange stored;
  if (ReadSkinChoice(stored)) ReceiveSkinChange(stored.isColour, stored.colour, stored.image);
  for (const std::string& name : MissingControls()) {
    std::fprintf(stderr, "varkon: the main window skin has no \"%s\"; what it does is left out\n",
                 name.c_str());
  }
  return true;
}

std::vector<std::string> CMainWnd::MissingControls() const {
  static const char* const kExpected[] = {"closebtn",
                                          "minbtn",
                                          "maxbtn",
                                          "restorebtn",
                                          "skinbtn",
                                          "setbtn",
                                          "No_device_Link",
                                          "device_select_layout",
                                          "device_switch",
                                          "device_power_switch",
                                          "control_light_status"};
  std::vector<std::string> missing;
  for (const char* name : kExpected) {
    if (!root_ || !ui::FindControl(root_, QString::fromLatin1(name))) missing.emplace_back(name);
  }
  return missing;
}

void CMainWnd::WindowInit(HidBackend* backend) {
  if (initialised_ || !root_) return;
  initialised_ = true;
  if (broadcast_) broadcast_(kGuidMessageNames[1], 1, 1);

  DeviceScreenHooks hooks;
  hooks.closeChildWindows = [this] { CloseChildWindows(); };
  // Until the first pass is over the window stays hidden, so the user never sees it empty.
  hooks.bringToFront = [this] {
    if (firstPassDone_ && !startHidden_) BringForward();
  };
  hooks.closeProgressDialog = [this] {
    if (QWidget* progress = ui::FindControl(root_, QStringLiteral("setting_progress"))) {
      progress->setVisible(false);
    }
    RefreshUpdateBadge();
  };
  hooks.windowActive = [this] { return isVisible() && !isMinimized(); };
  // Two or more devices shown: the lighting editors offer "deng_same_mode".
  hooks.multiDevice = [this](bool multiDevice) {
    ForEachDevice(DeviceGroup::All, [multiDevice](CTarnwiseUSBDevice& device) {
      if (CLightControlUI* panel = device.LightPanel()) panel->SetMultiDevice(multiDevice);
    });
  };
  hooks.controlsAdded = [this](QWidget* control) {
    if (notifier_) notifier_->Attach(control);
  };
  screen_ =
      std::make_unique<DeviceScreen>(root_, *loader_, bus_.Target(), backend, std::move(hooks));

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    screenWidth_ = screen->geometry().width();
    screenHeight_ = screen->geometry().height();
  }
  hide();
  if (tray_) tray_->Show();

  watcherEvents_ = std::make_unique<BusWatcherEvents>(bus_.Target());
  watcher_ = std::make_unique<DeviceWatcher>(
      screen_->slotTable(), backend ? *backend : DefaultHidBackend(), *watcherEvents_);
  threads_[kWatcherThreadEntry] = {"device watcher", [this] { return watcher_->Running(); },
                                   [this] { return StopOutcome(watcher_->Stop()); }};
  watcher_->Start();
  syncLighting_ = std::make_unique<SyncLighting>();
  threads_[kSyncLightingThreadEntry] = {"synchronised lighting",
                                        [this] { return syncLighting_->Running(); },
                                        [this] { return StopOutcome(syncLighting_->Stop()); }};
  syncLighting_->Start();
  StartWindowTimer(kTimerFitWindow, 100);
  stallMonitor_ = new UiStallMonitor(this);
  stallMonitor_->Start();
}

qint64 CMainWnd::UiStallMaxMs() const {
  return stallMonitor_ ? stallMonitor_->WorstStallMs() : 0;
}

void CMainWnd::ResetUiStall() {
  if (stallMonitor_) stallMonitor_->Reset();
}

int CMainWnd::RunningThreads() const {
  int running = 0;
  for (const ThreadEntry& entry : threads_) running += entry.running && entry.running() ? 1 : 0;
  return running;
}

void CMainWnd::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  debugOut("退出测试\n");
  StopKeyCapture();
  CloseChildWindows();
  hide();
  if (tray_) tray_->Hide();
  for (size_t i = 0; i < threads_.size(); ++i) {
    if (!threads_[i].stop) continue;
    const int outcome = threads_[i].stop();
    if (outcome == 0) debugOut("%s: ended\n", threads_[i].name.c_str());
    if (outcome == 1) debugOut("%s: timed out (entry %zu)\n", threads_[i].name.c_str(), i);
  }
  ui::ControlTimers::StopAll(this);
  // The devices' light threads and input readers.
  if (screen_) {
    for (CTarnwiseUSBDevice* device : screen_->Devices()) device->StopWorkers();
  }
}

CTarnwiseUSBDevice* CMainWnd::CurrentDevice() const {
  return screen_ ? screen_->CurrentDevice() : nullptr;
}

void CMainWnd::BringForward() {
  startHidden_ = false;
  if (screen_) screen_->UpdateNoDeviceHint();
  SetWindowHiddenOnDevices(false);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  // Top-most for a moment, so the window comes over whatever covers it. Changing the flags
  // hides a window, so each change is followed by showing it again.
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  show();
  QTimer::singleShot(kTopMostMs, this, [this] {
    if (shutDown_) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (shown) show();
  });
}

void CMainWnd::HideToTray() {
  CloseChildWindows();
  hide();
  SetWindowHiddenOnDevices(true);
}

void CMainWnd::ForEachDevice(DeviceGroup group,
                             const std::function<void(CTarnwiseUSBDevice&)>& fn) {
  if (!screen_) return;
  for (CTarnwiseUSBDevice* device : screen_->Devices()) {
    const int kind = device->Kind();
    if (group == DeviceGroup::AllButHeadset && kind == kKindHeadset) continue;
    if (group == DeviceGroup::KeyboardsAndMice && (kind == kKindHeadset || kind == kKindMousePad)) {
      continue;
    }
    fn(*device);
  }
}

void CMainWnd::SetWindowHiddenOnDevices(bool hidden) {
  ForEachDevice(DeviceGroup::KeyboardsAndMice,
                [hidden](CTarnwiseUSBDevice& device) { device.SetWindowHidden(hidden); });
}

void CMainWnd::BroadcastLightControl(bool on) {
  ForEachDevice(DeviceGroup::AllButHeadset,
                [on](CTarnwiseUSBDevice& device) { device.SetLightControl(on); });
}

void CMainWnd::ShowLightControlText() {
  QWidget* status = ui::FindControl(root_, QStringLiteral("control_light_status"));
  if (!status) return;
  // The text id follows the state, so a language change shows it in the new language.
  const char* id = lightControl_ ? "light_control_on" : "light_control_off";
  SetControlTextId(status, id);
}

void CMainWnd::ToggleLightControl() {
  lightControl_ = !lightControl_;
  if (broadcast_) broadcast_(kGuidMessageNames[1], 1, lightControl_ ? 1 : 0);
  ShowLightControlText();
  BroadcastLightControl(lightControl_);
}

// The secondary windows (settings, about, palette, music) are child windows of the main
// window; each open one is asked to close (a modal one then ends its run).
void CMainWnd::CloseChildWindows() {
  for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() && child->isVisible()) child->close();
  }
}

void CMainWnd::StartWindowTimer(int timer, int milliseconds) {
  ui::ControlTimers::Start(this, timer, milliseconds, ui::ControlTimers::Repeat::Once,
                           [this](QWidget*, int number) { OnTimer(number); });
}

void CMainWnd::OnTimer(int timer) {
  ui::ControlTimers::Stop(this, timer);
  switch (timer) {
    case kTimerFitWindow:
      FitWindow();
      update();
      break;
    case kTimerTrayMenu:
      RefreshTrayProfiles();
      if (menu_) menu_->Show(QCursor::pos(), ui::kMenuAlignLeft | ui::kMenuAlignTop);
      break;
    case kTimerProfileSwitch:
      if (onProfileSwitch_) onProfileSwitch_(CurrentDevice());
      break;
    case kTimerGameLighting:
      // Every flashed device, also one that stopped being the current one meanwhile.
      ForEachDevice(DeviceGroup::All,
                    [](CTarnwiseUSBDevice& device) { device.RestoreOwnLighting(); });
      break;
    default:
      break;
  }
}

void CMainWnd::FitWindow() {
  const bool shown = isVisible() && !isMinimized();
  if (isMinimized()) showNormal();
  QScreen* screen = QWidget::screen() ? QWidget::screen() : QGuiApplication::primaryScreen();
  const QRect monitor = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  dpi_ = ValidDpi(DpiForMonitor(monitor.width(), monitor.height()));
  const QSize size(kFittedWidth * dpi_ / 96, kFittedHeight * dpi_ / 96);
  // Never larger than the monitor's work area.
  const QRect area = screen ? screen->availableGeometry() : monitor;
  resize(size.boundedTo(area.size()).expandedTo(minimumSize()));
  QRect frame(QPoint(0, 0), this->size());
  frame.moveCenter(area.center());
  move(frame.topLeft());
  setVisible(shown);
}

void CMainWnd::OnTray(intptr_t mouseMessage) {
  if (mouseMessage == ui::kTrayLeftButtonUp) {
    if (screen_) screen_->UpdateNoDeviceHint();
    const bool shown = isVisible() && !isMinimized();
    CloseChildWindows();
    if (shown) {
      hide();
      SetWindowHiddenOnDevices(true);
    } else {
      FitWindow();
      BringForward();
    }
  } else if (mouseMessage == ui::kTrayRightButtonUp) {
    StartWindowTimer(kTimerTrayMenu, 10);
  }
}

void CMainWnd::OnMenuCommand(const std::string& item) {
  if (OnProfileMenuCommand(item)) return;
  if (OnMacroMenuCommand(item)) return;
  const QString name = QString::fromStdString(item);
  if (name.compare("exit", Qt::CaseInsensitive) == 0) {
    CloseChildWindows();
    Shutdown();
    if (onExit_) onExit_();
  } else if (name.compare("about_menu", Qt::CaseInsensitive) == 0) {
    OpenAboutWindow();
  } else if (name.compare("setwnd_menu", Qt::CaseInsensitive) == 0) {
    OpenSettingsWindow();
  } else if (name.compare("show_main", Qt::CaseInsensitive) == 0) {
    FitWindow();
    BringForward();
  }
}

std::vector<InstalledItem> CMainWnd::InstalledItems() const {
  // The program, then each device the program has met, with its firmware while it is attached.
  std::vector<InstalledItem> installed = {{"program", "Varkon Korvu Wired", VARKON_VERSION}};
  if (screen_) {
    for (CTarnwiseUSBDevice* device : screen_->Devices()) {
      const uint16_t version = device->Logic().FirmwareVersion();
      installed.push_back(
          {DeviceKindName(static_cast<uint16_t>(device->Kind())), device->DisplayName(),
           device->TransportOpen() && version != 0 ? FirmwareVersionText(version) : std::string()});
    }
  }
  return installed;
}

void CMainWnd::RefreshUpdateBadge() {
  QWidget* set = root_ ? ui::FindControl(root_, QStringLiteral("setbtn")) : nullptr;
  if (!set) return;
  const bool available =
      OfferedUpdates(InstalledItems(), UserDataRoot()).Status() == kUpdateStatusAvailable;
  const QString badge = available ? QStringLiteral("image/update_badge.svg") : QString();
  if (ui::ForegroundImage(set) != badge) ui::SetForegroundImage(set, badge);
}

void CMainWnd::OpenSettingsWindow() {
  if (settings_) {
    settings_->raise();
    return;
  }
  std::vector<InstalledItem> installed = InstalledItems();
  CSetWnd settings(
      this, ui::ProgramFolder(), languageIndex_, std::move(installed),
      [this](int index) {
        if (onLanguage_) onLanguage_(index);
      },
      [this] { ClearUpdateBadge(); });
  std::string error;
  if (!settings.Create(error, loader_ ? loader_->skinFolder() : std::string())) {
    std::fprintf(stderr, "varkon: %s\n", error.c_str());
    return;
  }
  settings.Centre();
  settings_ = &settings;
  settings.exec();
  settings_ = nullptr;
  RefreshUpdateBadge();
}

void CMainWnd::ClearUpdateBadge() {
  if (QWidget* set = ui::FindControl(root_, QStringLiteral("setbtn"))) {
    ui::SetForegroundImage(set, QString());
  }
}

void CMainWnd::OpenAboutWindow() {
  if (about_) {
    about_->raise();
    return;
  }
  CAboutWnd about(this);
  std::string error;
  if (!about.Create(error, loader_ ? loader_->skinFolder() : std::string())) {
    std::fprintf(stderr, "varkon: %s\n", error.c_str());
    return;
  }
  about.SetVersion(VARKON_VERSION);
  about_ = &about;
  about.exec();
  about_ = nullptr;
}

void CMainWnd::OnGameEvent(uintptr_t variant, intptr_t mode) {
  if (CTarnwiseUSBDevice* device = CurrentDevice()) {
    device->ApplyGameLighting(static_cast<int>(variant), static_cast<uint8_t>(mode));
  }
  StartWindowTimer(kTimerGameLighting, 5000);
}

void CMainWnd::OpenSkinPicker() {
  auto* picker = new CSkinFrame(this, [this](const SkinChange& change) {
    ReceiveSkinChange(change.isColour, change.colour, change.image);
  });
  std::string error;
  if (!picker->Create(error, loader_ ? loader_->skinFolder() : std::string())) {
    std::fprintf(stderr, "varkon: %s\n", error.c_str());
    delete picker;
    return;
  }
  picker->PlaceUnder(root_ ? ui::FindControl(root_, QStringLiteral("skinbtn")) : nullptr);
  picker->show();
  picker->activateWindow();
}

void CMainWnd::ReceiveSkinChange(bool isColour, uint32_t colour, const QString& image) {
  if (!root_) return;
  ui::SetBackgroundFile(root_, QString());
  if (isColour) {
    ui::SetBackgroundImage(root_, QString());
    ui::SetBackgroundColour(root_, colour);
  } else if (QDir::isAbsolutePath(image)) {
    // A picture of the user's own, from the file dialog.
    ui::SetBackgroundImage(root_, QString());
    if (ui::SetBackgroundFile(root_, image)) ui::SetBackgroundColour(root_, 0);
  } else {
    ui::SetBackgroundColour(root_, 0);
    ui::SetBackgroundImage(root_, image);
  }
}

void CMainWnd::closeEvent(QCloseEvent* event) {
  // Closing only hides the window; the program goes on in the tray.
  event->ignore();
  HideToTray();
}

void CMainWnd::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) UpdateMaxButtons();
  if (event->type() == QEvent::ActivationChange) {
    ui::Message message;
    message.number = kMessageActivate;
    message.wParam = isActiveWindow() ? 1 : 0;
    intptr_t result = 0;
    OnMessage(message, result);
  }
}

void CMainWnd::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ForEachDevice(DeviceGroup::All, [](CTarnwiseUSBDevice& device) { device.SetPreviewShown(true); });
  if (stallMonitor_) stallMonitor_->Start();
  RefreshUpdateBadge();
}

void CMainWnd::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  StopKeyCapture();
  ForEachDevice(DeviceGroup::All,
                [](CTarnwiseUSBDevice& device) { device.SetPreviewShown(false); });
  if (stallMonitor_) stallMonitor_->Pause();
}

void CMainWnd::StartKeyCapture() {
  if (!inputHook_) inputHook_ = std::make_unique<ui::InputHook>();
  // Every key the capture table knows is taken, Escape and Tab included; the capture ends when
  // the key edit loses the focus (a click elsewhere), which posts 1054 with 0.
  const bool started =
      inputHook_->Start(this, ui::kHookSingleKey,
                        [this](uint8_t scanCode, bool extended, bool down, bool autoRepeat) {
                          if (down && !autoRepeat) OnKeyCaptured(scanCode, extended);
                        });
  if (!started) debugOut("key capture: the window is not shown\n");
}

void CMainWnd::StopKeyCapture() {
  if (inputHook_) inputHook_->Stop();
}

void CMainWnd::UpdateMaxButtons() {
  if (!root_) return;
  QWidget* maxButton = ui::FindControl(root_, "maxbtn");
  QWidget* restoreButton = ui::FindControl(root_, "restorebtn");
  if (maxButton) maxButton->setVisible(!isMaximized());
  if (restoreButton) restoreButton->setVisible(isMaximized());
}

bool CMainWnd::OnMessage(const ui::Message& message, intptr_t& result) {
  result = 0;
  bool handled = false;
  if (OnUngatedMessage(message, result, handled)) return handled;
  // While the machine suspends, everything else waits for the resume.
  if (!powerOn_) return true;
  return OnGatedMessage(message, result);
}

bool CMainWnd::OnUngatedMessage(const ui::Message& message, intptr_t& result, bool& handled) {
  const StartupMessages& registered = RegisterStartupMessages();
  const uint32_t n = message.number;
  if (n == kMessageActivate) {
    windowActive_ = mouseInside_ = message.wParam != 0;
    ForEachDevice(DeviceGroup::AllButHeadset,
                  [this](CTarnwiseUSBDevice& device) { device.SetWindowActive(mouseInside_); });
    return true;
  }
  if (n == kMessageMouseLeave || n == kMessageMouseHover) {
    if (!windowActive_) {
      mouseInside_ = n == kMessageMouseHover;
      ForEachDevice(DeviceGroup::AllButHeadset,
                    [this](CTarnwiseUSBDevice& device) { device.SetWindowActive(mouseInside_); });
    }
    return true;
  }
  if (n == registered.instance) {
    debugOut("wake-up %u, %zx %zx\n", n, static_cast<size_t>(message.wParam),
             static_cast<size_t>(message.lParam));
    // The watcher's first pass (lParam 0) or a second start (lParam 1).
    firstPassDone_ = true;
    if (message.lParam != 0 || !startHidden_) BringForward();
    handled = true;
    return true;
  }
  if (n == registered.guid[0]) {
    // An outside updater's progress, for the settings window when one is open.
    if (settings_) {
      settings_->OnUpdateStep(static_cast<int>(message.wParam), static_cast<int>(message.lParam));
    }
    return true;
  }
  if (n == registered.guid[2]) {
    if (message.wParam == 1) {
      if (message.lParam == 0 || message.lParam == 1) {
        lightControl_ = message.lParam == 1;
        ShowLightControlText();
      }
      BroadcastLightControl(lightControl_);
    }
    return true;
  }
  if (n == registered.guid[3]) {
    ReportToWorkTool();
    return true;
  }
  if (n == kMessageDestroy) {
    Shutdown();
    handled = true;
    return true;
  }
  if (n == kMessagePowerBroadcast) {
    if (message.wParam == kPowerResumeAutomatic) {
      powerOn_ = true;
      BroadcastLightControl(lightControl_);
    } else if (message.wParam == kPowerSuspend) {
      powerOn_ = false;
      BroadcastLightControl(false);
    }
    return true;
  }
  return false;
}

bool CMainWnd::OnGatedMessage(const ui::Message& message, intptr_t& result) {
  const StartupMessages& registered = RegisterStartupMessages();
  const uint32_t n = message.number;
  for (size_t i = 0; i < kHookMessageCount; ++i) {
    if (n != registered.hook[i]) continue;
    const std::string name = kHookMessageNames[i];
    if (name.rfind("Game_", 0) == 0) {
      OnGameEvent(message.wParam, message.lParam);
    } else if (name.find("MACRO") != std::string::npos) {
      OnMacroHookMessage(name, message);
      return true;
    }
    return false;
  }
  switch (n) {
    case kMessageArrival:
      if (screen_) screen_->manager().OnArrival(message.wParam);
      return true;
    case kMessageRemoval:
      if (screen_) screen_->manager().OnRemoval(message.wParam);
      return true;
    case kMessageOpenSettings:
      OpenSettingsWindow();
      return true;
    case kMessageClearUpdateBadge:
      ClearUpdateBadge();
      return true;
    case kMessageSyncHandled:
    case kMessagePowerStatus:
    case kMessageSyncRequest:
      return false;
    case kMessageReachable:
      if (screen_) screen_->OnReachable(static_cast<int>(message.wParam), message.lParam != 0);
      RefreshUpdateBadge();
      return true;
    case kMessageLanguageChanged:
      if (onLanguage_) onLanguage_(static_cast<int>(message.wParam));
      return true;
    case kMessageShowProgress:
    case kMessageHideProgress:
      if (QWidget* progress = ui::FindControl(root_, QStringLiteral("setting_progress"))) {
        progress->setVisible(message.number == kMessageShowProgress);
      }
      return true;
    case kMessageInterfaceDpi:
      debugOut("界面 DPI 1发生变化\n");
      return true;
    case kMessageKeyCapture:
      if (message.wParam == 1) StartKeyCapture();
      if (message.wParam == 0) StopKeyCapture();
      return true;
    case kMessageDpiChanged:
      dpi_ = ValidDpi(static_cast<int>(message.wParam & 0xFFFF));
      debugOut("界面 DPI 发生变化\n");
      return true;
    case ui::kTrayCallbackMessage:
      OnTray(message.lParam);
      return true;
    case ui::kMenuCommandMessage:
      OnMenuCommand(message.name);
      result = 0;
      return true;
    case kMessageTimer:
      OnTimer(static_cast<int>(message.wParam));
      return true;
    case kMessageCopyData:
      return false;
    case kMessageDisplayChange:
      debugOut("显示器分辨率发生变化\n");
      displayChanged_ = true;
      FitWindow();
      return true;
    default:
      return false;
  }
}

}  // namespace varkon
