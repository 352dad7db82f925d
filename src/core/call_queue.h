// Calls handed from worker threads to one owner thread (the UI thread), which runs them when it
// pumps the queue. A synchronous send waits for its call to finish, but gives up as soon as the
// sender's stop event fires, so a worker being stopped never waits on an owner that has stopped
// pumping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "core/worker_thread.h"

namespace varkon {

class CallQueue {
 public:
  // Runs `call` on the owner thread and waits for it. False, with the call never run, when
  // `stop` fired first; once the call has started, the send waits for it to end.
  bool Send(std::function<void()> call, StopEvent& stop);
  // Queues `call` without waiting.
  void Post(std::function<void()> call);

  // Owner thread: runs every call queued now; returns how many ran.
  size_t RunPending();
  // Owner thread: waits up to `timeout` for a call to be queued.
  bool WaitForWork(std::chrono::milliseconds timeout);

 private:
  struct Entry {
    enum class State { Queued, Running, Done, Abandoned };
    std::function<void()> call;
    State state = State::Queued;
  };

  // How often a waiting sender looks at its stop event.
  static constexpr std::chrono::milliseconds kStopPoll{5};

  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable finished_;
  std::deque<std::shared_ptr<Entry>> entries_;
};

}  // namespace varkon
