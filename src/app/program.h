// The running program: single instance, messages, fonts, devices (real and emulated), skins,
// main window and tray. Made after the QApplication, on its thread; undone in reverse order.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/resource_index.h"
#include "app/startup.h"
#include "core/worker_thread.h"
#include "platform/ui/message_bus.h"

namespace varkon {

class CompositeHidBackend;
class EmulatedRig;
class HidrawBackend;
class CMainWnd;
class SingleInstance;
namespace ui {
class SkinLoader;
class SleepNotice;
}  // namespace ui

class Program {
 public:
  enum class StartResult {
    Running,      // the main window is up; run the event loop
    WokeRunning,  // another instance runs and was woken: end with 0
    Failed,       // `error` says why: end with 1
  };

  // `controlFolder` empty means ControlFolder().
  explicit Program(std::string controlFolder = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  StartResult Start(const StartupOptions& options, std::string& error);

  CMainWnd* mainWindow() const { return window_.get(); }
  EmulatedRig* rig() const { return rig_.get(); }
  const StartupOptions& options() const { return options_; }
  size_t fontsLoaded() const { return fonts_.size(); }
  // How many wake-ups reached this instance.
  int wakeUps() const { return wakeUps_; }
  LanguageSwitch* language() const { return language_.get(); }
  // Answers a control-socket request on the UI thread ("state", "sim ...").
  std::string HandleRequest(const std::vector<std::string>& words);
  // Where the emulated devices keep their memory between runs.
  static std::string EmulatedMemoryPath();

 private:
  void OnMessage(uint32_t number, int64_t wParam, int64_t lParam);
  std::string HandleSimRequest(const std::vector<std::string>& words);

  std::string controlFolder_;
  StartupOptions options_;
  std::vector<int> fonts_;
  std::unique_ptr<SingleInstance> instance_;
  std::unique_ptr<HidrawBackend> hidraw_;
  std::unique_ptr<EmulatedRig> rig_;
  std::unique_ptr<CompositeHidBackend> composite_;
  std::unique_ptr<ui::SkinLoader> loader_;
  ResourceIndex resources_;
  std::unique_ptr<CMainWnd> window_;
  std::unique_ptr<LanguageSwitch> language_;
  std::unique_ptr<ui::SleepNotice> sleepNotice_;
  // Fired before the socket stops, so a request waiting for the UI thread gives up.
  StopEvent requestsStop_;
  // Where the socket's thread sends requests; empty until the window exists.
  std::mutex requestMutex_;
  ui::MessageTarget requestTarget_;
  int wakeUps_ = 0;
};

}  // namespace varkon
