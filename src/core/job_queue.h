// Work that must not run on the UI thread (device transfers): jobs run one after another, in the
// order they were posted, on one worker thread of their own. A job hands its results back to its
// owner itself (through the owner's post function), so the owner never waits for a device.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/worker_thread.h"

namespace varkon {

class JobQueue {
 public:
  // A job sees the queue's stop event, so a long one can end early when the queue stops.
  using Job = std::function<void(const StopEvent& stop)>;

  explicit JobQueue(std::string name = "jobs");
  ~JobQueue();
  JobQueue(const JobQueue&) = delete;
  JobQueue& operator=(const JobQueue&) = delete;

  // Queues `job`; the worker starts with the first job. Ignored once the queue was stopped.
  void Post(Job job);
  // Jobs queued or running.
  size_t Pending() const;
  // Waits until nothing is queued or running (tests, benchmarks); false on time-out.
  bool WaitIdle(std::chrono::milliseconds timeout) const;

  // Drops the jobs not yet started, lets the running one end (its transfers end with their own
  // time-outs, or at once when `release` closes their channel) and waits at most `bound`.
  // Posting after a stop is ignored until Restart.
  WorkerThread::StopResult Stop(std::chrono::milliseconds bound = kWorkerStopBound,
                                const std::function<void()>& release = {});
  // Takes jobs again after a stop.
  void Restart();
  bool Running() const { return worker_.Running(); }

 private:
  // Shared with the worker, so a worker detached by a stop never touches a freed queue.
  struct State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<Job> jobs;
    bool running = false;  // a job is being run
    bool stopped = false;
  };

  void StartWorker();

  std::string name_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
  WorkerThread worker_;
};

}  // namespace varkon
