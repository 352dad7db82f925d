#include "app/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdlib>

namespace varkon {

std::string AutostartEntryPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config == '/') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    folder = std::string(home) + "/.config";
  } else {
    return {};  // no configuration folder to put it in (never "/autostart")
  }
  return folder + "/autostart/" + kAutostartFileName;
}

bool AutostartEnabled() {
  const std::string path = AutostartEntryPath();
  return !path.empty() && QFileInfo::exists(QString::fromStdString(path));
}

std::string AutostartEntryText(const std::string& programPath) {
  // Inside double quotes a desktop entry's Exec escapes ", `, $ and \ with a backslash, and the
  // backslash itself is escaped once more by the string rules of the file.
  std::string quoted = "\"";
  for (char c : programPath) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\\\";
    } else if (c == '\\') {
      quoted += "\\\\\\";
    } else if (c == '\n' || c == '\r') {
      continue;
    }
    quoted += c;
  }
  quoted += "\"";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Varkon Korvu Wired\n"
         "Comment=Keeps the devices' settings and lighting, in the tray\n"
         "Exec=" +
         quoted + " " + kStartHiddenArgument +
         "\n"
         "Icon=io.github.varkon.KorvuWired\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool SetAutostart(bool on, const std::string& programPath, std::string& error) {
  if (AutostartEntryPath().empty()) {
    error = "the desktop's autostart folder is unknown: neither XDG_CONFIG_HOME nor HOME is set";
    return false;
  }
  const QString path = QString::fromStdString(AutostartEntryPath());
  if (!on) {
    if (!QFile::exists(path) || QFile::remove(path)) return true;
    error = "cannot remove " + path.toStdString();
    return false;
  }
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    error = "cannot create the folder of " + path.toStdString();
    return false;
  }
  QSaveFile file(path);
  const std::string text = AutostartEntryText(programPath);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    error = "cannot write " + path.toStdString() + ": " + file.errorString().toStdString();
    return false;
  }
  return true;
}

}  // namespace varkon
