#include "device/fd_wait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

namespace varkon {

WaitDeadline::WaitDeadline(int timeoutMs) : forever_(timeoutMs < 0) {
  if (!forever_) end_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

int WaitDeadline::RemainingMs() const {
  if (forever_) return -1;
  const auto left = end_ - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

CancelSignal::CancelSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CancelSignal::~CancelSignal() {
  if (fd_ >= 0) close(fd_);
}

void CancelSignal::Signal() {
  signalled_.store(true, std::memory_order_release);
  if (fd_ < 0) return;
  // The counter is never read back, so it stays readable. A full counter (EAGAIN) is readable
  // as well; nothing else can go wrong here that a retry would fix.
  const uint64_t one = 1;
  ssize_t written;
  do {
    written = write(fd_, &one, sizeof(one));
  } while (written < 0 && errno == EINTR);
}

FdWaitResult WaitForFd(int fd, short events, const CancelSignal& cancel,
                       const WaitDeadline& deadline) {
  for (;;) {
    if (cancel.IsSignalled()) return FdWaitResult::Cancelled;
    pollfd fds[2] = {{fd, events, 0}, {cancel.Fd(), POLLIN, 0}};
    const int ready = poll(fds, 2, deadline.RemainingMs());
    if (ready < 0) {
      if (errno == EINTR) continue;
      return FdWaitResult::Failed;
    }
    if (fds[1].revents != 0) return FdWaitResult::Cancelled;
    if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return FdWaitResult::Failed;
    if ((fds[0].revents & events) != 0) return FdWaitResult::Ready;
    if (ready == 0) return FdWaitResult::TimedOut;
  }
}

}  // namespace varkon
