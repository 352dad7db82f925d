// The per-user control socket: how a second start of the program, varkonctl and other programs
// reach the running one. The first instance listens; clients send one line per request and read
// one line of answer; "listen" clients stay connected and receive every broadcast.
//
// Wire format (UTF-8 lines ending in '\n', words separated by single spaces, at most
// kMaxControlLine bytes):
//   send NAME WPARAM LPARAM   -> "ok" once the running program took the message
//   listen [NAME]             -> "ok", then one line "NAME WPARAM LPARAM" per broadcast (and
//                                lines sent to the listener's NAME, e.g. "data 5 HEX")
//   any other request         -> the program's own answer (for example "state" -> JSON)
// Message names may hold spaces (the wake-up is registered under the product name): in "send"
// and in broadcast lines the last two words are the numbers and everything before them is the
// name. A name without spaces may also be sent alone or with one number ("send NAME [WPARAM]").
// "listen" takes the rest of its line as the listener's name.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace varkon {

constexpr size_t kMaxControlLine = 65536;
constexpr size_t kMaxControlClients = 32;

// "$XDG_RUNTIME_DIR/varkon-korvu-wired", else "/tmp/varkon-korvu-wired-<uid>".
std::string ControlFolder();
std::string ControlSocketPath(const std::string& folder);

// A message name may travel on the socket: 1-256 bytes, no control characters (so no line
// ends or tabs), spaces only between other characters.
bool IsValidMessageName(const std::string& name);

class ControlServer {
 public:
  enum class StartResult { Listening, AlreadyRunning, Failed };
  // Called on the server's thread with the request's words; returns the answer line (without
  // its line end). "send" and "listen" are handled before it is asked.
  using RequestHandler = std::function<std::string(const std::vector<std::string>& words)>;
  using MessageHandler =
      std::function<void(const std::string& name, int64_t wParam, int64_t lParam)>;

  explicit ControlServer(std::string folder = ControlFolder());
  ~ControlServer();
  ControlServer(const ControlServer&) = delete;
  ControlServer& operator=(const ControlServer&) = delete;

  // Creates the folder (mode 0700, refused when another user owns it or others can enter it),
  // then binds the socket. A socket left by a program that is gone is taken over; one that
  // answers means another instance runs.
  StartResult Start(MessageHandler onMessage, RequestHandler onRequest = {});
  void Stop();

  // Sends a line "NAME WPARAM LPARAM" to every listening client.
  void Broadcast(const std::string& name, int64_t wParam, int64_t lParam);
  // Sends `line` to the first listener that registered as `listenerName` ("listen NAME").
  // False when there is none.
  bool SendToListener(const std::string& listenerName, const std::string& line);

  const std::string& SocketPath() const { return socketPath_; }
  size_t ListenerCount() const;

 private:
  struct Client;
  void Run();
  void HandleLine(Client& client, const std::string& line);
  void DropClosed();
  StartResult Fail();

  std::string folder_;
  std::string socketPath_;
  int listenFd_ = -1;
  int wakeFd_ = -1;  // eventfd that ends the poll loop
  int lockFd_ = -1;  // held while this process is the running instance
  std::thread thread_;
  MessageHandler onMessage_;
  RequestHandler onRequest_;
  mutable std::mutex clientsMutex_;
  std::vector<std::unique_ptr<Client>> clients_;
};

// Client side. Each call connects, sends one request and reads one answer line.
class ControlClient {
 public:
  explicit ControlClient(std::string folder = ControlFolder());
  // False when no program listens (or it did not answer within the time-out).
  bool Send(const std::string& name, int64_t wParam, int64_t lParam, int timeoutMs = 2000);
  // Sends any request line; the answer line goes to `answer`.
  bool Request(const std::string& line, std::string& answer, int timeoutMs = 2000);
  // Prints broadcasts through `onLine` until `stop` becomes true or the program goes away.
  // False when no program listens.
  bool Listen(const std::function<void(const std::string& line)>& onLine,
              const std::atomic<bool>& stop, const std::string& name = {});

 private:
  int Connect() const;
  std::string socketPath_;
};

}  // namespace varkon
