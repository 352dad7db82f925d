#include "app/startup.h"

#include <QFile>
#include <QFontDatabase>
#include <QString>

#include "platform/ui/registered_messages.h"

namespace varkon {

const std::array<const char*, kGuidMessageCount> kGuidMessageNames = {
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",
    "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}",
};

const std::array<const char*, kHookMessageCount> kHookMessageNames = {
    "WM_HOOK_KEY_SINGLEKEY_MSG",
    "WM_HOOK_KEY_HITKEY_MSG",
    "WM_HOOK_KEY_KBMACRO_MSG",
    "WM_HOOK_KEY_MSMACRO_MSG",
    "WM_HOOK_KEY_KBMACROSINGLE_MSG",
    "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_KBMACROLATER_MSG",
    "WM_HOOK_MOU_SINGLEKEY_MSG",
    "WM_HOOK_MOU_HITKEY_MSG",
    "WM_HOOK_MOU_KBMACRO_MSG",
    "WM_HOOK_MOU_MSMACRO_MSG",
    "WM_HOOK_KEY_MSMACROSINGLE_MSG",
    "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_MSMACROLATER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",
    "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSELBUTTONDOWN_USER_MSG",
    "UWM_MOUSERBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",
    "UWM_MOUSEMOVE_USER_MSG",
    "Game_Start",
    "Game_End",
    "Game_Kill",
    "Game_Death",
};

const std::array<const char*, kPrivateFontCount> kPrivateFontFiles = {
    "Font/Simplified_Chinese.ttf",
    "Font/Display.otf",
    "Font/NotoSansThai-Regular.ttf",
    "Font/NotoSansCJKtc-Regular.otf",
};

const StartupMessages& RegisterStartupMessages() {
  static const StartupMessages messages = [] {
    StartupMessages m;
    m.instance = ui::RegisterMessage(kProductName);
    for (size_t i = 0; i < kGuidMessageCount; ++i)
      m.guid[i] = ui::RegisterMessage(kGuidMessageNames[i]);
    for (size_t i = 0; i < kHookMessageCount; ++i)
      m.hook[i] = ui::RegisterMessage(kHookMessageNames[i]);
    return m;
  }();
  return messages;
}

bool ParseStartupArgs(const std::vector<std::string>& args, StartupOptions& options,
                      std::string& error) {
  StartupOptions parsed;
  bool latencyGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--latency" || arg.rfind("--latency=", 0) == 0) {
      std::string value;
      if (arg == "--latency") {
        if (i + 1 >= args.size()) {
          error = "--latency needs a number of milliseconds (0 answers at once)";
          return false;
        }
        value = args[++i];
      } else {
        value = arg.substr(10);
      }
      if (!ParseLatencyMs(value, parsed.latencyMs)) {
        error = "bad --latency (milliseconds, 0 to " + std::to_string(kMaxCableLatencyMs) +
                "): " + value;
        return false;
      }
      latencyGiven = true;
      continue;
    }
    if (arg == "--hidden") {
      parsed.hidden = true;
      continue;
    }
    std::string kinds;
    if (arg == "--simulate") {
      if (i + 1 >= args.size()) {
        error = "--simulate needs a list of devices (keyboard,mouse,receiver,pad,headset or all)";
        return false;
      }
      kinds = args[++i];
    } else if (arg.rfind("--simulate=", 0) == 0) {
      kinds = arg.substr(11);
    } else {
      error = "unknown argument: " + arg;
      return false;
    }
    std::vector<EmulatedKind> list;
    if (!ParseEmulatedKinds(kinds, list)) {
      error = "unknown device list for --simulate: " + kinds;
      return false;
    }
    parsed.simulate = true;
    for (EmulatedKind kind : list) {
      bool seen = false;
      for (EmulatedKind have : parsed.simulateKinds) seen = seen || have == kind;
      if (!seen) parsed.simulateKinds.push_back(kind);
    }
  }
  // Only emulated devices have a latency to set.
  if (latencyGiven && !parsed.simulate) {
    error = "--latency needs --simulate";
    return false;
  }
  options = std::move(parsed);
  return true;
}

std::vector<int> LoadPrivateFonts(const std::string& programFolder) {
  std::vector<int> ids;
  if (programFolder.empty()) return ids;
  for (const char* file : kPrivateFontFiles) {
    const QString path = QString::fromStdString(programFolder) + QString::fromLatin1(file);
    if (!QFile::exists(path)) continue;
    const int id = QFontDatabase::addApplicationFont(path);
    if (id >= 0) ids.push_back(id);
  }
  return ids;
}

void ReleasePrivateFonts(const std::vector<int>& ids) {
  for (auto it = ids.rbegin(); it != ids.rend(); ++it) QFontDatabase::removeApplicationFont(*it);
}

}  // namespace varkon
