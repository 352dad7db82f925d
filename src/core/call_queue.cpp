#include "core/call_queue.h"

namespace varkon {

bool CallQueue::Send(std::function<void()> call, StopEvent& stop) {
  auto entry = std::make_shared<Entry>();
  entry->call = std::move(call);
  std::unique_lock<std::mutex> lock(mutex_);
  entries_.push_back(entry);
  queued_.notify_all();
  for (;;) {
    if (entry->state == Entry::State::Done) return true;
    if (entry->state == Entry::State::Queued && stop.IsSignalled()) {
      entry->state = Entry::State::Abandoned;
      return false;
    }
    finished_.wait_for(lock, kStopPoll);
  }
}

void CallQueue::Post(std::function<void()> call) {
  auto entry = std::make_shared<Entry>();
  entry->call = std::move(call);
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(std::move(entry));
  queued_.notify_all();
}

size_t CallQueue::RunPending() {
  std::deque<std::shared_ptr<Entry>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(entries_);
  }
  size_t ran = 0;
  for (const std::shared_ptr<Entry>& entry : batch) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (entry->state != Entry::State::Queued) continue;  // its sender gave up
      entry->state = Entry::State::Running;
    }
    entry->call();
    ++ran;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      entry->state = Entry::State::Done;
    }
    finished_.notify_all();
  }
  return ran;
}

bool CallQueue::WaitForWork(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return queued_.wait_for(lock, timeout, [this] { return !entries_.empty(); });
}

}  // namespace varkon
