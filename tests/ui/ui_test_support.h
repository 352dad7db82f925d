// Shared pieces of the user-interface tests: where the test skins are, a custom control class
// like the program's own, and waiting for the event loop.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <chrono>
#include <functional>
#include <string>

namespace varkon::ui::test {

inline std::string SkinDataFolder() {
  return std::string(VARKON_UI_TEST_DATA) + "/skin/";
}

// Runs the event loop until `done` holds or `timeout` passes; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

// Runs the event loop for `span`.
inline void Pump(std::chrono::milliseconds span) {
  WaitUntil([] { return false; }, span);
}

// A custom control with a property of its own, made by a registered factory.
class TestKeyButton : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(int keyCode READ keyCode WRITE setKeyCode)

 public:
  explicit TestKeyButton(QWidget* parent = nullptr) : QPushButton(parent) {}
  int keyCode() const { return keyCode_; }
  void setKeyCode(int code) { keyCode_ = code; }

 private:
  int keyCode_ = -1;
};

}  // namespace varkon::ui::test
