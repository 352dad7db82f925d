#include "app/single_instance.h"

#include <QMetaObject>

#include "app/startup.h"
#include "platform/ui/registered_messages.h"

namespace varkon {

SingleInstance::SingleInstance(std::string folder, QObject* parent)
    : QObject(parent), folder_(folder), server_(std::move(folder)) {}

// The server's thread is joined before the object goes; calls it queued and that have not run
// yet are dropped with the object.
SingleInstance::~SingleInstance() {
  server_.Stop();
}

ControlServer::StartResult SingleInstance::Start(Handler handler,
                                                 ControlServer::RequestHandler onRequest) {
  handler_ = std::move(handler);
  return server_.Start(
      [this](const std::string& name, int64_t wParam, int64_t lParam) {
        const uint32_t number = name == kInstanceSocketName ? RegisterStartupMessages().instance
                                                            : ui::RegisterMessage(name);
        if (number == 0) return;
        QMetaObject::invokeMethod(
            this,
            [this, number, wParam, lParam] {
              if (handler_) handler_(number, wParam, lParam);
            },
            Qt::QueuedConnection);
      },
      std::move(onRequest));
}

bool SingleInstance::WakeRunning() {
  ControlClient client(folder_);
  return client.Send(kInstanceSocketName, 0, 1);
}

}  // namespace varkon
