// Worker threads as the program runs them: each has its own manual-reset stop event, its loop
// waits 1 ms on the event per pass, and a stop is bounded. A worker that outlives the bound is
// detached (never killed); it holds only state shared with it through shared pointers.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace varkon {

// A manual-reset event: once signalled it stays signalled until Reset.
class StopEvent {
 public:
  void Signal();
  void Reset();
  bool IsSignalled() const { return signalled_.load(std::memory_order_acquire); }
  // Waits up to `timeout`; true when the event is (or becomes) signalled.
  bool Wait(std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> signalled_{false};
};

constexpr std::chrono::milliseconds kWorkerPassWait{1};
constexpr std::chrono::milliseconds kWorkerStopBound{1000};

// Runs `pass` repeatedly, waiting kWorkerPassWait on `stop` before each pass, until it fires.
void RunWorkerLoop(StopEvent& stop, const std::function<void()>& pass);

class WorkerThread {
 public:
  enum class StopResult { NotRunning, Ended, TimedOut };
  using Body = std::function<void(StopEvent& stop)>;

  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  ~WorkerThread();

  // Starts `body` on a new thread with the stop event reset. False when one is already running.
  bool Start(Body body);

  // Signals the stop event, then calls `release` (if given) to end a transfer the worker may be
  // blocked in, and waits at most `bound` for the body to return. A worker still running then is
  // detached and TimedOut is returned.
  StopResult Stop(std::chrono::milliseconds bound = kWorkerStopBound,
                  const std::function<void()>& release = {});

  bool Running() const;

 private:
  struct Shared {
    StopEvent stop;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
  };
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace varkon
