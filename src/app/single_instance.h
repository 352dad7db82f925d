// One running program per user: the first start listens on the control socket, a second start
// sends the wake-up there and ends. Messages that arrive on the socket are handed to the UI
// thread as registered message numbers.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/control_socket.h"

namespace varkon {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // Called on the UI thread with the registered number of the message's name (the wake-up has
  // the number of the product name).
  using Handler = std::function<void(uint32_t number, int64_t wParam, int64_t lParam)>;

  // Made on the UI thread; `folder` is the control folder.
  explicit SingleInstance(std::string folder = ControlFolder(), QObject* parent = nullptr);
  ~SingleInstance() override;

  ControlServer::StartResult Start(Handler handler);
  // The second start's part: sends the wake-up (wParam 0, lParam 1). False when nothing took it.
  bool WakeRunning();

 private:
  std::string folder_;
  Handler handler_;
  ControlServer server_;
};

}  // namespace varkon
