// What the program does before its main window exists: the command line, the registered
// message numbers every module shares, and the private fonts from the program folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/emulated_kind.h"
#include "emulator/reply_latency.h"

namespace varkon {

// The wake-up a second start sends to the running one; registered under the product name.
inline constexpr const char* kProductName = "Varkon Korvu Wired";
// The name the wake-up travels under on the control socket (the product name has spaces).
inline constexpr const char* kInstanceSocketName = "InstanceMessage";

inline constexpr size_t kGuidMessageCount = 5;
inline constexpr size_t kHookMessageCount = 24;
inline constexpr size_t kPrivateFontCount = 4;

extern const std::array<const char*, kGuidMessageCount> kGuidMessageNames;
extern const std::array<const char*, kHookMessageCount> kHookMessageNames;
// Relative to the program folder.
extern const std::array<const char*, kPrivateFontCount> kPrivateFontFiles;

struct StartupMessages {
  uint32_t instance = 0;
  std::array<uint32_t, kGuidMessageCount> guid{};
  std::array<uint32_t, kHookMessageCount> hook{};
};

// Registers the wake-up, the five GUID messages and the 24 hook and input names (the 15th and
// 19th are one name, so one number). Safe to call again: the numbers stay the same.
const StartupMessages& RegisterStartupMessages();

struct StartupOptions {
  bool simulate = false;
  std::vector<EmulatedKind> simulateKinds;
  // Milliseconds an emulated cable device takes to answer one packet (the receiver four times
  // as long), so the emulated devices feel like real ones; 0 answers at once.
  int latencyMs = kDefaultCableLatencyMs;
  // Start in the tray, without showing the window (as the desktop's autostart does).
  bool hidden = false;
};

// Accepts "--simulate KINDS" and "--simulate=KINDS" (KINDS as ParseEmulatedKinds takes it), and
// with them "--latency N" / "--latency=N" (N as ParseLatencyMs takes it), and "--hidden".
// Arguments Qt consumed are gone by now; anything else is refused. False with `error` set and
// `options` untouched.
bool ParseStartupArgs(const std::vector<std::string>& args, StartupOptions& options,
                      std::string& error);

// Adds the private fonts found under `programFolder`; a missing or unreadable one is skipped.
// Returns the ids QFontDatabase gave, one per font that loaded.
std::vector<int> LoadPrivateFonts(const std::string& programFolder);
void ReleasePrivateFonts(const std::vector<int>& ids);

}  // namespace varkon
