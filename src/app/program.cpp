#include "app/program.h"

#include <QCoreApplication>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "core/debug_out.h"
#include "device/hid_backend.h"
#include "device/hidraw_backend.h"
#include "emulator/emulated_rig.h"
#include "platform/ui/message_bus.h"
#include "platform/ui/program_folder.h"
#include "platform/ui/skin_loader.h"
#ifdef VARKON_HAVE_CONTROLS
#include "app/controls/register_custom_controls.h"
#endif

namespace varkon {

Program::Program(std::string controlFolder)
    : controlFolder_(controlFolder.empty() ? ControlFolder() : std::move(controlFolder)) {}

Program::~Program() {
  // The window first (it uses the devices), the socket, then the backends it may reach.
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
  switch (instance_->Start([this](uint32_t n, int64_t w, int64_t l) { OnMessage(n, w, l); })) {
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
#endif
  window_ = std::make_unique<MainWindow>();
  window_->SetExitHandler([] { QCoreApplication::quit(); });
  if (!window_->Create(*loader_, mainSkin, resources_.Find(kTrayMenuKey), error)) {
    window_.reset();
    return StartResult::Failed;
  }
  language_ = std::make_unique<LanguageSwitch>(programFolder);
  language_->ApplyLanguage(ReadStoredLanguage(programFolder));
  window_->ShowCentred();
  return StartResult::Running;
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
