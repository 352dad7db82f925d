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

  // `onRequest` answers the socket's other requests, on the socket's thread.
  ControlServer::StartResult Start(Handler handler, ControlServer::RequestHandler onRequest = {});
  // Broadcasts to every listener, and sends a line to a named listener.
  void Broadcast(const std::string& name, int64_t wParam, int64_t lParam) {
    server_.Broadcast(name, wParam, lParam);
  }
  bool SendToListener(const std::string& listener, const std::string& line) {
    return server_.SendToListener(listener, line);
  }
  // The second start's part: sends the wake-up (wParam 0, lParam 1). False when nothing took it.
  bool WakeRunning();

 private:
  std::string folder_;
  Handler handler_;
  ControlServer server_;
};

}  // namespace varkon
