#include "app/ui_stall_monitor.h"

namespace varkon {

UiStallMonitor::UiStallMonitor(QObject* parent) : QObject(parent) {
  timer_.setInterval(kBeatMs);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { OnBeat(); });
}

void UiStallMonitor::Start() {
  if (!clock_.isValid()) clock_.start();
  last_ = clock_.elapsed();
  timer_.start();
}

void UiStallMonitor::Pause() {
  timer_.stop();
}

void UiStallMonitor::OnBeat() {
  const qint64 now = clock_.elapsed();
  const qint64 late = now - last_ - kBeatMs;
  if (late > worst_) worst_ = late;
  last_ = now;
}

}  // namespace varkon
