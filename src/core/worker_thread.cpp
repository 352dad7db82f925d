#include "core/worker_thread.h"

#include "core/debug_out.h"

namespace varkon {

void StopEvent::Signal() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_.store(true, std::memory_order_release);
  }
  changed_.notify_all();
}

void StopEvent::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  signalled_.store(false, std::memory_order_release);
}

bool StopEvent::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout,
                           [this] { return signalled_.load(std::memory_order_acquire); });
}

void RunWorkerLoop(StopEvent& stop, const std::function<void()>& pass) {
  while (!stop.Wait(kWorkerPassWait)) pass();
}

WorkerThread::~WorkerThread() {
  Stop();
}

bool WorkerThread::Start(Body body) {
  if (Running()) return false;
  if (thread_.joinable()) thread_.join();  // a body that ended by itself
  auto shared = std::make_shared<Shared>();
  shared_ = shared;
  thread_ = std::thread([shared, body = std::move(body)] {
    body(shared->stop);
    {
      std::lock_guard<std::mutex> lock(shared->mutex);
      shared->finished = true;
    }
    shared->finishedChanged.notify_all();
  });
  return true;
}

bool WorkerThread::Running() const {
  if (!shared_) return false;
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return !shared_->finished;
}

WorkerThread::StopResult WorkerThread::Stop(std::chrono::milliseconds bound,
                                            const std::function<void()>& release) {
  if (!shared_) return StopResult::NotRunning;
  std::shared_ptr<Shared> shared = std::move(shared_);
  shared->stop.Signal();
  if (release) release();
  bool finished;
  {
    std::unique_lock<std::mutex> lock(shared->mutex);
    finished = shared->finishedChanged.wait_for(lock, bound, [&] { return shared->finished; });
  }
  if (finished) {
    thread_.join();
    debugOut("worker thread: ended in time\n");
    return StopResult::Ended;
  }
  // The body keeps its own reference to the shared state, so detaching is safe.
  thread_.detach();
  debugOut("worker thread: still running after %lld ms, detached\n",
           static_cast<long long>(bound.count()));
  return StopResult::TimedOut;
}

}  // namespace varkon
