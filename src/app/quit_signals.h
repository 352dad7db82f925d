// SIGTERM and SIGINT end the program the way the tray's "exit" does: the handler writes one
// byte to a pipe, and the UI thread, woken by it, quits the event loop.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace varkon {

class QuitSignals : public QObject {
  Q_OBJECT

 public:
  // Made on the UI thread; one at a time. `onQuit` runs on the UI thread.
  explicit QuitSignals(std::function<void()> onQuit, QObject* parent = nullptr);
  ~QuitSignals() override;

  bool IsActive() const { return notifier_ != nullptr; }

 private:
  void OnReadable();

  std::function<void()> onQuit_;
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace varkon
