// Shared pieces of the control tests: where rendered pictures go, and collecting the
// notifications a tree raises.
#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/ui/notifier.h"

namespace varkon::test {

inline QString RenderFolder() {
  const QString folder = QStringLiteral(VARKON_BINARY_DIR "/test-output/controls");
  QDir().mkpath(folder);
  return folder;
}

// Saves the control's picture for a look and returns it.
inline QImage Render(QWidget* control, const QString& name) {
  const QImage image = control->grab().toImage();
  image.save(RenderFolder() + "/" + name + ".png");
  return image;
}

// Records the notifications raised under `root`.
class Recorder {
 public:
  explicit Recorder(QWidget* root) : notifier_(root) {
    notifier_.AddHandler([this](const ui::Notification& n) { seen_.push_back(n); });
  }
  int Count(const std::string& type) const {
    int count = 0;
    for (const ui::Notification& n : seen_) count += n.type == type ? 1 : 0;
    return count;
  }
  const std::vector<ui::Notification>& seen() const { return seen_; }
  ui::Notifier& notifier() { return notifier_; }

 private:
  ui::Notifier notifier_;
  std::vector<ui::Notification> seen_;
};

}  // namespace varkon::test

#include <QApplication>
#include <QMouseEvent>

namespace varkon::test {

// Delivers a mouse event at `at` (control coordinates) straight to `control`.
inline void SendMouse(QWidget* control, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  const QPointF local(at);
  QMouseEvent event(type, local, control->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(control, &event);
}

inline void Press(QWidget* control, const QPoint& at) {
  SendMouse(control, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}
inline void Move(QWidget* control, const QPoint& at) {
  SendMouse(control, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
inline void Release(QWidget* control, const QPoint& at) {
  SendMouse(control, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// A square image of one colour saved as `path`.
inline bool SaveSolidImage(const std::string& path, QRgb colour, int side = 8) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(colour);
  return image.save(QString::fromStdString(path));
}

}  // namespace varkon::test

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <functional>

namespace varkon::test {

// Runs the event loop until `done` holds or `timeout` passes; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeout.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace varkon::test
