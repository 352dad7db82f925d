// How long the UI thread was kept from its events: a heartbeat timer that notes how late each
// beat came. A window that never waits for a device shows only scheduling noise here.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace varkon {

class UiStallMonitor : public QObject {
 public:
  static constexpr int kBeatMs = 100;

  explicit UiStallMonitor(QObject* parent = nullptr);
  void Start();
  // While the window is hidden nobody waits for it; the beats pause (and do not count the pause).
  void Pause();
  // The latest a beat came since the start or the last reset, in milliseconds.
  qint64 WorstStallMs() const { return worst_; }
  void Reset() { worst_ = 0; }

 private:
  void OnBeat();

  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 worst_ = 0;
};

}  // namespace varkon
