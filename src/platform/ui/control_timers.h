// Numbered timers owned by a control. Each control has its own numbers; starting a number that
// runs already restarts it with the new period and target. A timer is one-shot or repeating,
// and is delivered either to a callback or as a "timer" notification of the control with the
// number in wParam. All of a control's timers stop when it is destroyed.
#pragma once

#include <functional>

class QWidget;

namespace varkon::ui {

class ControlTimers {
 public:
  enum class Repeat { Once, Repeating };
  // Runs on the UI thread when the timer fires. It may stop or restart timers, or delete the
  // control with deleteLater.
  using Callback = std::function<void(QWidget* control, int number)>;

  ControlTimers() = delete;

  // False for a null control, a negative period or a negative number. An empty callback means
  // the "timer" notification.
  static bool Start(QWidget* control, int number, int periodMs, Repeat repeat,
                    Callback callback = {});
  // Starts the timer's countdown again with its period; false when the number was never
  // started on this control.
  static bool Restart(QWidget* control, int number);
  // False when the number does not run.
  static bool Stop(QWidget* control, int number);
  static void StopAll(QWidget* control);
  static bool IsActive(const QWidget* control, int number);
  static int ActiveCount(const QWidget* control);
};

}  // namespace varkon::ui
