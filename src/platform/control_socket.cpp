#include "platform/control_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/debug_out.h"

namespace varkon {

namespace {

constexpr const char kSocketName[] = "control";
constexpr const char kLockName[] = "control.lock";

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

constexpr const char kBlanks[] = " \t\r";

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The text of `line` after its first word, blanks around it removed.
std::string AfterFirstWord(const std::string& line) {
  const size_t start = line.find_first_not_of(kBlanks);
  if (start == std::string::npos) return {};
  const size_t end = line.find_first_of(kBlanks, start);
  return end == std::string::npos ? std::string() : TrimBlanks(line.substr(end));
}

// `text` without its last word, blanks at the end removed.
std::string WithoutLastWord(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  const size_t blank = trimmed.find_last_of(kBlanks);
  return blank == std::string::npos ? std::string() : TrimBlanks(trimmed.substr(0, blank));
}

bool ParseInt64(const std::string& text, int64_t& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  value = parsed;
  return true;
}

// "send NAME [WPARAM [LPARAM]]" with `words` its words. With more than one word after the
// name's first, the last two words are the numbers and the name is all the text before them,
// inner spaces kept as they came.
bool ParseSendRequest(const std::string& line, const std::vector<std::string>& words,
                      std::string& name, int64_t& wParam, int64_t& lParam) {
  wParam = lParam = 0;
  if (words.size() < 2) return false;
  if (words.size() <= 3) {
    name = words[1];
    if (words.size() == 3 && !ParseInt64(words[2], wParam)) return false;
  } else {
    if (!ParseInt64(words[words.size() - 2], wParam) ||
        !ParseInt64(words[words.size() - 1], lParam)) {
      return false;
    }
    name = WithoutLastWord(WithoutLastWord(AfterFirstWord(line)));
  }
  return IsValidMessageName(name);
}

// The folder must be ours alone: a socket others can reach would let them drive the program.
bool EnsurePrivateFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
    debugOut("control socket: %s is not a private folder of this user\n", folder.c_str());
    return false;
  }
  if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) return false;
  return true;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      if (poll(&p, 1, 1000) <= 0) return false;  // a reader that stopped reading is dropped
      continue;
    }
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

enum class LineResult { Line, TimedOut, Closed };

// Reads until a whole line has come, the time-out passes or the peer closes.
LineResult ReadLine(int fd, std::string& buffer, std::string& line, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const size_t end = buffer.find('\n');
    if (end != std::string::npos) {
      line = buffer.substr(0, end);
      buffer.erase(0, end + 1);
      return LineResult::Line;
    }
    if (buffer.size() > kMaxControlLine) return LineResult::Closed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (timeoutMs >= 0 && left <= 0) return LineResult::TimedOut;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs < 0 ? -1 : static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return LineResult::TimedOut;
    if (ready < 0) return LineResult::Closed;
    char chunk[4096];
    const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return LineResult::Closed;
    buffer.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace

std::string ControlFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/varkon-korvu-wired";
  return "/tmp/varkon-korvu-wired-" + std::to_string(getuid());
}

std::string ControlSocketPath(const std::string& folder) {
  return folder + "/" + kSocketName;
}

bool IsValidMessageName(const std::string& name) {
  if (name.empty() || name.size() > 256 || name.front() == ' ' || name.back() == ' ') {
    return false;
  }
  for (unsigned char c : name) {
    if (c < ' ' || c == 0x7F) return false;
  }
  return true;
}

struct ControlServer::Client {
  int fd = -1;
  std::string buffer;
  std::atomic<bool> listener{false};
  std::atomic<bool> closed{false};
  std::string name;  // a listener's name ("listen NAME"); set before `listener`, then read only
  std::mutex writeMutex;

  ~Client() {
    if (fd >= 0) close(fd);
  }
  void Write(const std::string& line) {
    std::lock_guard<std::mutex> lock(writeMutex);
    if (!closed.load() && !SendAll(fd, line + "\n")) closed.store(true);
  }
};

ControlServer::ControlServer(std::string folder)
    : folder_(std::move(folder)), socketPath_(ControlSocketPath(folder_)) {}

ControlServer::~ControlServer() {
  Stop();
}

ControlServer::StartResult ControlServer::Start(MessageHandler onMessage,
                                                RequestHandler onRequest) {
  if (thread_.joinable()) return StartResult::Listening;
  if (!EnsurePrivateFolder(folder_)) return StartResult::Failed;
  // The lock lives as long as this process listens; the kernel drops it when the process
  // ends, however it ends, so a socket file left by a crash never blocks the next start.
  lockFd_ = open((folder_ + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0) return StartResult::Failed;
  if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    close(lockFd_);
    lockFd_ = -1;
    return errno == EWOULDBLOCK ? StartResult::AlreadyRunning : StartResult::Failed;
  }
  sockaddr_un address;
  if (!FillAddress(socketPath_, address)) return Fail();
  unlink(socketPath_.c_str());  // left behind by a program that is gone
  listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0 ||
      bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      chmod(socketPath_.c_str(), 0600) != 0 || listen(listenFd_, 16) != 0) {
    return Fail();
  }
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return Fail();
  onMessage_ = std::move(onMessage);
  onRequest_ = std::move(onRequest);
  thread_ = std::thread([this] { Run(); });
  return StartResult::Listening;
}

ControlServer::StartResult ControlServer::Fail() {
  debugOut("control socket: cannot listen on %s: %s\n", socketPath_.c_str(), std::strerror(errno));
  if (listenFd_ >= 0) close(listenFd_);
  if (wakeFd_ >= 0) close(wakeFd_);
  if (lockFd_ >= 0) close(lockFd_);
  listenFd_ = wakeFd_ = lockFd_ = -1;
  return StartResult::Failed;
}

void ControlServer::Stop() {
  if (!thread_.joinable()) return;
  const uint64_t one = 1;
  if (write(wakeFd_, &one, sizeof one) < 0) debugOut("control socket: wake failed\n");
  thread_.join();
  {
    std::lock_guard<std::mutex> lock(clientsMutex_);
    clients_.clear();
  }
  unlink(socketPath_.c_str());
  close(listenFd_);
  close(wakeFd_);
  close(lockFd_);
  listenFd_ = wakeFd_ = lockFd_ = -1;
}

size_t ControlServer::ListenerCount() const {
  std::lock_guard<std::mutex> lock(clientsMutex_);
  size_t count = 0;
  for (const auto& client : clients_) count += client->listener.load() && !client->closed.load();
  return count;
}

void ControlServer::Broadcast(const std::string& name, int64_t wParam, int64_t lParam) {
  if (!IsValidMessageName(name)) return;
  const std::string line = name + " " + std::to_string(wParam) + " " + std::to_string(lParam);
  std::lock_guard<std::mutex> lock(clientsMutex_);
  for (const auto& client : clients_) {
    if (client->listener.load()) client->Write(line);
  }
}

bool ControlServer::SendToListener(const std::string& listenerName, const std::string& line) {
  if (line.size() >= kMaxControlLine || line.find('\n') != std::string::npos) return false;
  std::lock_guard<std::mutex> lock(clientsMutex_);
  for (const auto& client : clients_) {
    if (client->listener.load() && !client->closed.load() && client->name == listenerName) {
      client->Write(line);
      return true;
    }
  }
  return false;
}

void ControlServer::HandleLine(Client& client, const std::string& line) {
  const std::vector<std::string> words = SplitWords(line);
  if (words.empty()) return;
  if (words[0] == "send") {
    std::string name;
    int64_t wParam = 0, lParam = 0;
    if (!ParseSendRequest(line, words, name, wParam, lParam)) {
      client.Write("error bad send request");
      return;
    }
    if (onMessage_) onMessage_(name, wParam, lParam);
    client.Write("ok");
  } else if (words[0] == "listen") {
    const std::string name = AfterFirstWord(line);
    if (!name.empty() && !IsValidMessageName(name)) {
      client.Write("error bad listener name");
      return;
    }
    client.Write("ok");
    if (!name.empty()) {
      std::lock_guard<std::mutex> lock(clientsMutex_);
      client.name = name;
    }
    client.listener.store(true);
  } else if (onRequest_) {
    std::string answer = onRequest_(words);
    for (char& c : answer) {
      if (c == '\n') c = ' ';  // one answer, one line
    }
    client.Write(answer);
  } else {
    client.Write("error unknown request");
  }
}

void ControlServer::DropClosed() {
  std::lock_guard<std::mutex> lock(clientsMutex_);
  for (auto it = clients_.begin(); it != clients_.end();) {
    it = (*it)->closed.load() ? clients_.erase(it) : std::next(it);
  }
}

void ControlServer::Run() {
  for (;;) {
    std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    std::vector<Client*> polled;
    {
      std::lock_guard<std::mutex> lock(clientsMutex_);
      for (const auto& client : clients_) {
        fds.push_back({client->fd, POLLIN, 0});
        polled.push_back(client.get());
      }
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      debugOut("control socket: poll failed: %s\n", std::strerror(errno));
      return;
    }
    if (fds[0].revents != 0) return;  // stop
    if (fds[1].revents & POLLIN) {
      const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) {
        auto client = std::make_unique<Client>();
        client->fd = fd;
        std::lock_guard<std::mutex> lock(clientsMutex_);
        if (clients_.size() < kMaxControlClients) clients_.push_back(std::move(client));
      }
    }
    for (size_t i = 0; i < polled.size(); ++i) {
      Client& client = *polled[i];
      const short events = fds[i + 2].revents;
      if (events == 0) continue;
      char chunk[4096];
      const ssize_t got = recv(client.fd, chunk, sizeof chunk, 0);
      if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) client.closed.store(true);
        continue;
      }
      client.buffer.append(chunk, static_cast<size_t>(got));
      for (size_t end; (end = client.buffer.find('\n')) != std::string::npos;) {
        const std::string line = client.buffer.substr(0, end);
        client.buffer.erase(0, end + 1);
        HandleLine(client, line);
      }
      if (client.buffer.size() > kMaxControlLine) client.closed.store(true);
    }
    DropClosed();
  }
}

ControlClient::ControlClient(std::string folder) : socketPath_(ControlSocketPath(folder)) {}

int ControlClient::Connect() const {
  sockaddr_un address;
  if (!FillAddress(socketPath_, address)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool ControlClient::Request(const std::string& line, std::string& answer, int timeoutMs) {
  const int fd = Connect();
  if (fd < 0) return false;
  std::string buffer;
  const bool ok =
      SendAll(fd, line + "\n") && ReadLine(fd, buffer, answer, timeoutMs) == LineResult::Line;
  close(fd);
  return ok;
}

bool ControlClient::Send(const std::string& name, int64_t wParam, int64_t lParam, int timeoutMs) {
  if (!IsValidMessageName(name)) return false;
  std::string answer;
  return Request("send " + name + " " + std::to_string(wParam) + " " + std::to_string(lParam),
                 answer, timeoutMs) &&
         answer == "ok";
}

bool ControlClient::Listen(const std::function<void(const std::string& line)>& onLine,
                           const std::atomic<bool>& stop, const std::string& name) {
  if (!name.empty() && !IsValidMessageName(name)) return false;
  const int fd = Connect();
  if (fd < 0) return false;
  std::string buffer, line;
  if (!SendAll(fd, name.empty() ? std::string("listen\n") : "listen " + name + "\n") ||
      ReadLine(fd, buffer, line, 2000) != LineResult::Line || line != "ok") {
    close(fd);
    return false;
  }
  while (!stop.load()) {
    const LineResult result = ReadLine(fd, buffer, line, 100);
    if (result == LineResult::Line) onLine(line);
    if (result == LineResult::Closed) break;  // the program went away
  }
  close(fd);
  return true;
}

}  // namespace varkon
