#include "tools/hid_tool_watch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <ostream>
#include <sstream>

#include "device/device_manager.h"
#include "emulator/emulated_rig.h"

namespace varkon {

namespace {

std::atomic<bool> interrupted{false};
extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

struct ScriptStep {
  double seconds = 0;
  bool plug = false;
  EmulatedKind kind = EmulatedKind::Keyboard;
};

// "0.3 unplug mouse; 0.8 plug mouse"
bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& why) {
  std::stringstream all(text);
  for (std::string item; std::getline(all, item, ';');) {
    std::istringstream words(item);
    std::string time, action, name, extra;
    if (!(words >> time)) continue;  // empty entry, e.g. after the last ';'
    ScriptStep step;
    std::vector<EmulatedKind> kinds;
    char* end = nullptr;
    step.seconds = std::strtod(time.c_str(), &end);
    if (end == time.c_str() || *end != '\0' || step.seconds < 0 || !(words >> action >> name) ||
        (words >> extra) || (action != "plug" && action != "unplug") ||
        !ParseEmulatedKinds(name, kinds) || kinds.size() != 1) {
      why = "bad script step \"" + item + "\"";
      return false;
    }
    step.plug = action == "plug";
    step.kind = kinds[0];
    steps.push_back(step);
  }
  std::stable_sort(steps.begin(), steps.end(),
                   [](const ScriptStep& a, const ScriptStep& b) { return a.seconds < b.seconds; });
  return true;
}

class Printer {
 public:
  explicit Printer(std::ostream& out) : out_(out) {}
  void Line(const std::string& text) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    out_ << ms.count() << " " << text << "\n";
    out_.flush();
  }
  std::chrono::steady_clock::time_point Start() const { return start_; }

 private:
  std::ostream& out_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class PrintingView final : public DeviceManagerView {
 public:
  explicit PrintingView(Printer& printer) : printer_(printer) {}
  void FirstPassDone() override { printer_.Line("first pass done"); }

 private:
  Printer& printer_;
};

// Prints arrivals and removals on the owner thread, then lets the manager handle them.
class PrintingEvents final : public WatcherEvents {
 public:
  PrintingEvents(CallQueue& queue, DeviceManager& manager, SlotTable& slots, Printer& printer)
      : queue_(queue), manager_(manager), slots_(slots), printer_(printer) {}
  bool Arrived(size_t slot, StopEvent& stop) override {
    return queue_.Send(
        [this, slot] {
          const DeviceSlot bound = slots_.Get(slot);
          paths_[slot] = bound.path;
          printer_.Line("arrived " + Describe(slot, bound, bound.path));
          manager_.OnArrival(slot);
        },
        stop);
  }
  bool Removed(size_t slot, StopEvent& stop) override {
    return queue_.Send(
        [this, slot] {
          printer_.Line("removed " + Describe(slot, slots_.Get(slot), paths_[slot]));
          paths_.erase(slot);
          manager_.OnRemoval(slot);
        },
        stop);
  }
  void FirstPassDone() override {
    queue_.Post([this] { manager_.OnFirstPassDone(); });
  }
  void WatcherEnded() override {
    queue_.Post([this] { printer_.Line("watcher ended: enumeration failed"); });
  }

 private:
  static std::string Describe(size_t index, const DeviceSlot& slot, const std::string& path) {
    return std::to_string(index) + " " + std::to_string(slot.row.kind) + " " +
           std::to_string(slot.row.role) + " " + path;
  }
  CallQueue& queue_;
  DeviceManager& manager_;
  SlotTable& slots_;
  Printer& printer_;
  std::map<size_t, std::string> paths_;
};

}  // namespace

int RunWatch(const std::vector<std::string>& args, HidBackend& backend, EmulatedRig* rig,
             std::ostream& out, std::ostream& err) {
  double forSeconds = -1;
  std::vector<ScriptStep> script;
  std::string why;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--for" && hasValue) {
      char* end = nullptr;
      forSeconds = std::strtod(args[++i].c_str(), &end);
      if (*end != '\0' || forSeconds < 0) {
        err << "varkon-hid: --for takes a number of seconds\n";
        return 2;
      }
    } else if (args[i] == "--script" && hasValue) {
      if (!ParseScript(args[++i], script, why)) {
        err << "varkon-hid: " << why << "\n";
        return 2;
      }
    } else {
      err << "varkon-hid: watch [--for SECONDS] [--script \"T plug|unplug KIND; ...\"]\n";
      return 2;
    }
  }
  if (!script.empty() && rig == nullptr) {
    err << "varkon-hid: --script needs --simulate\n";
    return 2;
  }

  Printer printer(out);
  SlotTable slots;
  PrintingView view(printer);
  DeviceManager manager(slots, &backend, view);
  manager.SetTrace([&printer](const std::string& line) { printer.Line(line); });
  CallQueue queue;
  PrintingEvents events(queue, manager, slots, printer);
  DeviceWatcher watcher(slots, backend, events);

  interrupted.store(false);
  auto previous = std::signal(SIGINT, OnInterrupt);
  watcher.Start();
  size_t nextStep = 0;
  const auto start = printer.Start();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  while (!interrupted.load() && (forSeconds < 0 || elapsed() < forSeconds)) {
    while (nextStep < script.size() && script[nextStep].seconds <= elapsed()) {
      const ScriptStep& step = script[nextStep++];
      printer.Line(std::string(step.plug ? "plug " : "unplug ") + EmulatedKindName(step.kind));
      if (step.plug) {
        rig->Plug(step.kind);
      } else {
        rig->Unplug(step.kind);
      }
    }
    queue.WaitForWork(std::chrono::milliseconds(5));
    queue.RunPending();
  }
  watcher.Stop();
  queue.RunPending();
  std::signal(SIGINT, previous);
  out << "status 1\n";
  return 0;
}

}  // namespace varkon
