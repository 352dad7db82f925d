#include "app/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

namespace varkon {
namespace {

std::atomic<int> gWriteFd{-1};

void OnSignal(int) {
  const int saved = errno;
  const int fd = gWriteFd.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t written = write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onQuit, QObject* parent)
    : QObject(parent), onQuit_(std::move(onQuit)) {
  if (gWriteFd.load() >= 0 || pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  gWriteFd.store(fds_[1]);
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::OnReadable);
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  if (fds_[1] < 0) return;
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  gWriteFd.store(-1);
  delete notifier_;
  close(fds_[0]);
  close(fds_[1]);
}

void QuitSignals::OnReadable() {
  char bytes[64];
  while (read(fds_[0], bytes, sizeof bytes) > 0) {
  }
  if (onQuit_) onQuit_();
}

}  // namespace varkon
