// Starting with the desktop: an XDG autostart entry that starts the program hidden, in the tray.
#pragma once

#include <string>

namespace varkon {

inline constexpr const char* kAutostartFileName = "varkon-korvu-wired.desktop";
inline constexpr const char* kStartHiddenArgument = "--hidden";

// $XDG_CONFIG_HOME/autostart/<kAutostartFileName> (~/.config when the variable is unset);
// empty when neither gives an absolute folder.
std::string AutostartEntryPath();
bool AutostartEnabled();

// The entry's text for the program at `programPath`: its Exec line quotes the path as desktop
// entries require.
std::string AutostartEntryText(const std::string& programPath);

// Writes (atomically) or removes the entry. False with `error` naming the file and the cause.
bool SetAutostart(bool on, const std::string& programPath, std::string& error);

}  // namespace varkon
