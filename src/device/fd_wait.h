// Waiting on a file descriptor with poll(), with a time limit and a cancel signal that another
// thread raises to end every wait at once.
#pragma once

#include <atomic>
#include <chrono>

namespace varkon {

// The moment a wait has to end by, or none for waits without a time limit.
class WaitDeadline {
 public:
  // A negative `timeoutMs` means no limit.
  explicit WaitDeadline(int timeoutMs);

  // Milliseconds left, rounded up so a wait never ends early; -1 without a limit, 0 once passed.
  int RemainingMs() const;

 private:
  bool forever_;
  std::chrono::steady_clock::time_point end_;
};

// An eventfd that, once signalled, stays readable: every current and later wait that watches it
// ends with Cancelled.
class CancelSignal {
 public:
  CancelSignal();
  ~CancelSignal();
  CancelSignal(const CancelSignal&) = delete;
  CancelSignal& operator=(const CancelSignal&) = delete;

  // False when the eventfd could not be created; such a signal must not be waited on.
  bool Valid() const { return fd_ >= 0; }
  void Signal();
  bool IsSignalled() const { return signalled_.load(std::memory_order_acquire); }
  int Fd() const { return fd_; }

 private:
  int fd_;
  std::atomic<bool> signalled_{false};
};

enum class FdWaitResult { Ready, TimedOut, Cancelled, Failed };

// Waits until `fd` reports one of `events` (POLLIN, POLLOUT), the deadline passes or `cancel` is
// signalled. A cancel wins over readiness. Failed when poll() fails or the descriptor reports an
// error, a hang-up or that it is not open.
FdWaitResult WaitForFd(int fd, short events, const CancelSignal& cancel,
                       const WaitDeadline& deadline);

}  // namespace varkon
