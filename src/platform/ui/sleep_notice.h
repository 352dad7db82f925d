// Suspend and resume notices of the session's power management (logind's PrepareForSleep on
// the system bus, where one exists), posted to a window as its power-broadcast message: wParam
// 4 before the machine suspends, 18 when it has resumed.
#pragma once

#include <QObject>

#include "platform/ui/message_bus.h"

namespace varkon::ui {

inline constexpr uint32_t kPowerBroadcastMessage = 536;
inline constexpr uintptr_t kPowerBroadcastSuspend = 4;
inline constexpr uintptr_t kPowerBroadcastResume = 18;

class SleepNotice : public QObject {
  Q_OBJECT

 public:
  explicit SleepNotice(MessageTarget target, QObject* parent = nullptr);
  // False when there is no system bus or no logind on it (no notices then).
  bool Connected() const { return connected_; }

 public slots:
  // logind's signal: true before sleeping, false after waking.
  void OnPrepareForSleep(bool sleeping);

 private:
  MessageTarget target_;
  bool connected_ = false;
};

}  // namespace varkon::ui
