#include "core/job_queue.h"

#include "core/debug_out.h"

namespace varkon {

JobQueue::JobQueue(std::string name) : name_(std::move(name)) {}

JobQueue::~JobQueue() {
  Stop();
}

void JobQueue::Post(Job job) {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->stopped) return;
    state_->jobs.push_back(std::move(job));
  }
  state_->changed.notify_all();
  if (!worker_.Running()) StartWorker();
}

void JobQueue::StartWorker() {
  std::shared_ptr<State> state = state_;
  worker_.Start([state](StopEvent& stop) {
    while (!stop.IsSignalled()) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->changed.wait_for(lock, kWorkerStopBound,
                                [&] { return !state->jobs.empty() || state->stopped; });
        if (state->stopped) break;
        if (state->jobs.empty()) continue;
        job = std::move(state->jobs.front());
        state->jobs.pop_front();
        state->running = true;
      }
      job(stop);
      {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->running = false;
      }
      state->changed.notify_all();
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    state->running = false;
    state->changed.notify_all();
  });
}

size_t JobQueue::Pending() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->jobs.size() + (state_->running ? 1 : 0);
}

bool JobQueue::WaitIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(state_->mutex);
  return state_->changed.wait_for(lock, timeout,
                                  [&] { return state_->jobs.empty() && !state_->running; });
}

WorkerThread::StopResult JobQueue::Stop(std::chrono::milliseconds bound,
                                        const std::function<void()>& release) {
  size_t dropped = 0;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopped = true;
    dropped = state_->jobs.size();
    state_->jobs.clear();
  }
  state_->changed.notify_all();
  if (dropped > 0) debugOut("%s: %zu queued jobs dropped at stop\n", name_.c_str(), dropped);
  const WorkerThread::StopResult result = worker_.Stop(bound, release);
  if (result == WorkerThread::StopResult::TimedOut) {
    // The detached worker keeps the old state; new jobs get a fresh one.
    state_ = std::make_shared<State>();
    state_->stopped = true;
  }
  return result;
}

void JobQueue::Restart() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->stopped = false;
}

}  // namespace varkon
