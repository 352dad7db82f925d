#include "app/program.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/ui_driver.h"
#include "core/debug_out.h"
#include "device/hid_backend.h"
#include "device/hidraw_backend.h"
#include "emulator/emulated_rig.h"
#include "platform/ui/message_bus.h"
#include "platform/ui/program_folder.h"
#include "platform/ui/skin_loader.h"
#include "platform/ui/sleep_notice.h"
#include "platform/ui/tray_icon.h"
#ifdef VARKON_HAVE_CONTROLS
#include "app/controls/register_custom_controls.h"
#include "devices/panels/register_device_classes.h"
#include "editors/register_editor_controls.h"
#endif

namespace varkon {

Program::Program(std::string controlFolder)
    : controlFolder_(controlFolder.empty() ? ControlFolder() : std::move(controlFolder)) {}

Program::~Program() {
  // A request still waiting for the UI thread gives up; then the window (it uses the devices),
  // the socket, then the backends it may reach.
  requestsStop_.Signal();
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    requestTarget_ = ui::MessageTarget();
  }
  if (window_) window_->Shutdown();
  if (rig_) rig_->SaveMemory(EmulatedMemoryPath());
  sleepNotice_.reset();
  window_.reset();
  instance_.reset();
  loader_.reset();
  if (composite_) SetDefaultHidBackend(nullptr);
  composite_.reset();
  rig_.reset();
  hidraw_.reset();
  ReleasePrivateFonts(fonts_);
}

Program::StartResult Program::Start(const StartupOptions& options, std::string& error) {
  options_ = options;
  const std::string programFolder = ui::ProgramFolder();
  fonts_ = LoadPrivateFonts(programFolder);

  const StartupMessages& messages = RegisterStartupMessages();
  debugOut("InstanceMessage: %u", messages.instance);

  instance_ = std::make_unique<SingleInstance>(controlFolder_);
  // Requests are answered on the UI thread; the socket's thread waits for the answer, and gives
  // up when the program is ending.
  auto onRequest = [this](const std::vector<std::string>& words) -> std::string {
    ui::MessageTarget target;
    {
      std::lock_guard<std::mutex> lock(requestMutex_);
      target = requestTarget_;
    }
    if (!target.IsOpen()) return "error the program is starting";
    ControlRequest request;
    request.words = words;
    ui::Message message;
    message.number = kMessageControlRequest;
    message.wParam = reinterpret_cast<uintptr_t>(&request);
    if (target.Send(message, requestsStop_) != ui::SendStatus::Handled) {
      return "error the program is ending";
    }
    return request.answer;
  };
  switch (instance_->Start([this](uint32_t n, int64_t w, int64_t l) { OnMessage(n, w, l); },
                           onRequest)) {
    case ControlServer::StartResult::Listening:
      break;
    case ControlServer::StartResult::AlreadyRunning:
      if (!instance_->WakeRunning()) debugOut("the running instance did not take the wake-up");
      return StartResult::WokeRunning;
    case ControlServer::StartResult::Failed:
      // Without the socket the program still works; only a second start cannot find it.
      debugOut("the control socket could not be opened");
      break;
  }

  if (options_.simulate) {
    hidraw_ = std::make_unique<HidrawBackend>();
    rig_ = std::make_unique<EmulatedRig>();
    rig_->SetCableLatency(options_.latencyMs);
    rig_->LoadMemory(EmulatedMemoryPath());
    for (EmulatedKind kind : options_.simulateKinds) rig_->Plug(kind);
    composite_ = std::make_unique<CompositeHidBackend>(hidraw_.get(), &rig_->Backend());
    SetDefaultHidBackend(composite_.get());
  }

  const std::string skinFolder = ui::SkinFolder();
  if (skinFolder.empty()) {
    error = "the program folder is unknown (set VARKON_RESOURCE_DIR)";
    return StartResult::Failed;
  }
  std::string indexError;
  if (!resources_.Load(skinFolder, indexError)) {
    error = indexError;
    return StartResult::Failed;
  }
  const std::string mainSkin = resources_.Find(kMainSkinKey);
  if (mainSkin.empty()) {
    error = std::string("the resource index names no ") + kMainSkinKey;
    return StartResult::Failed;
  }
  loader_ = std::make_unique<ui::SkinLoader>(skinFolder);
#ifdef VARKON_HAVE_CONTROLS
  RegisterCustomControls(*loader_);
  RegisterDeviceClasses(*loader_);
  RegisterEditorControls(*loader_);
#endif
  window_ = std::make_unique<CMainWnd>();
  window_->SetExitHandler([] { QCoreApplication::quit(); });
  window_->SetStartHidden(options_.hidden);
  window_->SetBroadcaster([this](const std::string& name, int64_t w, int64_t l) {
    if (instance_) instance_->Broadcast(name, w, l);
  });
  window_->SetWorkToolSender([this](const std::string& line) {
    return instance_ && instance_->SendToListener("WorkTool", line);
  });
  window_->bus().AddHandler(
      kMessageControlRequest,
      [this](const ui::Message& message, intptr_t&) {
        auto* request = reinterpret_cast<ControlRequest*>(message.wParam);
        if (request) request->answer = HandleRequest(request->words);
        return true;
      },
      true);
  if (!window_->Create(*loader_, mainSkin, resources_.Find(kTrayMenuKey), error)) {
    window_.reset();
    return StartResult::Failed;
  }
  language_ = std::make_unique<LanguageSwitch>(programFolder);
  const int languageIndex = ReadStoredLanguage(programFolder);
  // The window shows the switch's own index, which moves only when a language was applied.
  language_->ApplyLanguage(languageIndex);
  window_->SetLanguageIndex(language_->languageIndex());
  window_->SetLanguageHandler([this](int index) {
    if (!language_) return;
    language_->ApplyLanguage(index);
    window_->SetLanguageIndex(language_->languageIndex());
  });
  sleepNotice_ = std::make_unique<ui::SleepNotice>(window_->bus().Target());
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    requestTarget_ = window_->bus().Target();
  }
  // The window stays hidden until the device watcher's first pass is over.
  window_->WindowInit(composite_.get());
  return StartResult::Running;
}

std::string Program::EmulatedMemoryPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  const std::string base =
      state && *state ? std::string(state) : QDir::homePath().toStdString() + "/.local/state";
  const std::string folder = base + "/Varkon Korvu Wired";
  QDir().mkpath(QString::fromStdString(folder));
  return folder + "/emulated-devices.json";
}

std::string Program::HandleRequest(const std::vector<std::string>& words) {
  if (words.empty()) return "error empty request";
  if (words[0] == "state" && words.size() == 1) return window_ ? window_->StateJson() : "{}";
  if (words[0] == "sim") return HandleSimRequest(words);
  if (words[0] == "light") return window_ ? window_->LightRequest(words) : "error no window";
  if (words[0] == "profile") return window_ ? window_->ProfileRequest(words) : "error no window";
  if (words[0] == "keys") return window_ ? window_->KeysRequest(words) : "error no window";
  // "stall [reset]": how late the UI thread's heartbeat came at worst, in milliseconds.
  if (words[0] == "stall" && window_ && words.size() <= 2) {
    const std::string worst = std::to_string(window_->UiStallMaxMs());
    if (words.size() == 2 && words[1] == "reset") window_->ResetUiStall();
    return worst;
  }
  // "ui ...": a user's action on a named control, through the control's own signals.
  if (words[0] == "ui") return UiDriver(window_.get()).Handle(words);
  // "window show|hide": what the tray icon does, for scripts and measurements.
  if (words[0] == "window" && words.size() == 2 && window_ &&
      (words[1] == "show" || words[1] == "hide")) {
    if ((words[1] == "show") != (window_->isVisible() && !window_->isMinimized())) {
      ui::Message click;
      click.number = ui::kTrayCallbackMessage;
      click.lParam = ui::kTrayLeftButtonUp;
      window_->bus().Post(std::move(click));
    }
    return "ok";
  }
  return "error unknown request " + words[0];
}

// sim plug|unplug NAME, sim memory NAME (the firmware's memory as JSON), sim notice NAME VALUE,
// sim sleep|wake (the mouse behind the receiver).
std::string Program::HandleSimRequest(const std::vector<std::string>& words) {
  if (!rig_) return "error the program runs without --simulate";
  if (words.size() == 2 && (words[1] == "sleep" || words[1] == "wake")) {
    rig_->SetMouseReachable(words[1] == "wake");
    return "ok";
  }
  if (words.size() < 3) return "error usage: sim plug|unplug|memory|notice NAME [VALUE]";
  std::vector<EmulatedKind> kinds;
  if (!ParseEmulatedKinds(words[2], kinds) || kinds.size() != 1) {
    return "error unknown device " + words[2];
  }
  const EmulatedKind kind = kinds.front();
  if (words[1] == "plug" && words.size() == 3) {
    rig_->Plug(kind);
    return "ok";
  }
  if (words[1] == "unplug" && words.size() == 3) {
    rig_->Unplug(kind);
    return "ok";
  }
  if (words[1] == "memory" && words.size() == 3) {
    if (!rig_->IsPlugged(kind)) return "error " + words[2] + " is not plugged in";
    return rig_->MemoryJson(kind);
  }
  if (words[1] == "notice" && words.size() == 4) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(words[3].c_str(), &end, 0);
    if (words[3].empty() || *end != '\0' || value > 0xFFFF) return "error bad notice value";
    if (!rig_->IsPlugged(kind)) return "error " + words[2] + " is not plugged in";
    rig_->SendNotice(kind, static_cast<uint16_t>(value));
    return "ok";
  }
  return "error usage: sim plug|unplug|memory|notice NAME [VALUE]";
}

void Program::OnMessage(uint32_t number, int64_t wParam, int64_t lParam) {
  if (number == RegisterStartupMessages().instance) {
    ++wakeUps_;
    debugOut("wake-up received (%lld, %lld)", static_cast<long long>(wParam),
             static_cast<long long>(lParam));
  }
  if (window_) {
    ui::Message message;
    message.number = number;
    message.wParam = static_cast<uintptr_t>(wParam);
    message.lParam = static_cast<intptr_t>(lParam);
    window_->bus().Post(std::move(message));
  }
}

}  // namespace varkon
