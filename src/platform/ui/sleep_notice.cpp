#include "platform/ui/sleep_notice.h"

#include <QDBusConnection>

namespace varkon::ui {

SleepNotice::SleepNotice(MessageTarget target, QObject* parent)
    : QObject(parent), target_(std::move(target)) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  connected_ = bus.connect(QStringLiteral("org.freedesktop.login1"),
                           QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"),
                           QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
}

void SleepNotice::OnPrepareForSleep(bool sleeping) {
  Message message;
  message.number = kPowerBroadcastMessage;
  message.wParam = sleeping ? kPowerBroadcastSuspend : kPowerBroadcastResume;
  target_.Post(std::move(message));
}

}  // namespace varkon::ui
