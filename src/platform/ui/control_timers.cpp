#include "platform/ui/control_timers.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>

#include "platform/ui/notifier.h"

namespace varkon::ui {

namespace {

constexpr const char* kTimerSetName = "varkon_control_timers";

// The timers of one control; a child of it, so they die with it.
class TimerSet : public QObject {
  Q_OBJECT

 public:
  explicit TimerSet(QWidget* control) : QObject(control), control_(control) {
    setObjectName(QLatin1String(kTimerSetName));
  }

  struct Entry {
    QTimer* timer = nullptr;
    ControlTimers::Callback callback;
  };

  Entry* Find(int number) {
    auto it = entries_.find(number);
    return it == entries_.end() ? nullptr : &it->second;
  }

  void Start(int number, int periodMs, bool once, ControlTimers::Callback callback) {
    Entry& entry = entries_[number];
    if (entry.timer == nullptr) {
      entry.timer = new QTimer(this);
      entry.timer->setTimerType(Qt::PreciseTimer);
      connect(entry.timer, &QTimer::timeout, this, [this, number] { Fire(number); });
    }
    entry.callback = std::move(callback);
    entry.timer->setSingleShot(once);
    entry.timer->start(periodMs);
  }

  int ActiveCount() const {
    int active = 0;
    for (const auto& [number, entry] : entries_) active += entry.timer->isActive() ? 1 : 0;
    return active;
  }

  std::map<int, Entry> entries_;

 private:
  void Fire(int number) {
    Entry* entry = Find(number);
    if (entry == nullptr || control_ == nullptr) return;
    // A copy: the callback may start this number again with another callback.
    const ControlTimers::Callback callback = entry->callback;
    if (callback) {
      callback(control_, number);
    } else {
      RaiseNotification(control_, "timer", static_cast<uintptr_t>(number));
    }
  }

  QPointer<QWidget> control_;
};

TimerSet* TimersOf(const QWidget* control, bool create) {
  if (control == nullptr) return nullptr;
  auto* timers =
      control->findChild<TimerSet*>(QLatin1String(kTimerSetName), Qt::FindDirectChildrenOnly);
  if (timers == nullptr && create) timers = new TimerSet(const_cast<QWidget*>(control));
  return timers;
}

}  // namespace

bool ControlTimers::Start(QWidget* control, int number, int periodMs, Repeat repeat,
                          Callback callback) {
  if (control == nullptr || number < 0 || periodMs < 0) return false;
  TimersOf(control, true)->Start(number, periodMs, repeat == Repeat::Once, std::move(callback));
  return true;
}

bool ControlTimers::Restart(QWidget* control, int number) {
  TimerSet* timers = TimersOf(control, false);
  TimerSet::Entry* entry = timers == nullptr ? nullptr : timers->Find(number);
  if (entry == nullptr) return false;
  entry->timer->start();
  return true;
}

bool ControlTimers::Stop(QWidget* control, int number) {
  TimerSet* timers = TimersOf(control, false);
  TimerSet::Entry* entry = timers == nullptr ? nullptr : timers->Find(number);
  if (entry == nullptr || !entry->timer->isActive()) return false;
  entry->timer->stop();
  return true;
}

void ControlTimers::StopAll(QWidget* control) {
  if (TimerSet* timers = TimersOf(control, false)) {
    for (auto& [number, entry] : timers->entries_) entry.timer->stop();
  }
}

bool ControlTimers::IsActive(const QWidget* control, int number) {
  TimerSet* timers = TimersOf(control, false);
  TimerSet::Entry* entry = timers == nullptr ? nullptr : timers->Find(number);
  return entry != nullptr && entry->timer->isActive();
}

int ControlTimers::ActiveCount(const QWidget* control) {
  TimerSet* timers = TimersOf(control, false);
  return timers == nullptr ? 0 : timers->ActiveCount();
}

}  // namespace varkon::ui

#include "control_timers.moc"
