// Shared pieces of the tests on a real X server: typing with xdotool (through the XTEST
// extension, so the keys take the server's normal way, grabs included).
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

namespace varkon::test {

inline std::string& XdotoolPath() {
  static std::string path;
  return path;
}
inline void SetXdotool(const std::string& path) {
  XdotoolPath() = path;
}

// Presses and releases each of `keys` (X key symbol names) in turn; false when xdotool failed.
inline bool TypeKeys(const QStringList& keys) {
  QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("10")};
  arguments += keys;
  return QProcess::execute(QString::fromStdString(XdotoolPath()), arguments) == 0;
}

// Moves the pointer to (x, y) on the screen and clicks `button` (1 left, 2 middle, 3 right)
// `clicks` times in quick succession (2: a double click).
inline bool ClickAt(int x, int y, int button, int clicks = 1) {
  return QProcess::execute(
             QString::fromStdString(XdotoolPath()),
             {QStringLiteral("mousemove"), QString::number(x), QString::number(y),
              QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks),
              QStringLiteral("--delay"), QStringLiteral("30"), QString::number(button)}) == 0;
}

}  // namespace varkon::test
