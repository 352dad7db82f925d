#include "emulator/report_queue.h"

#include <algorithm>
#include <cstring>

namespace varkon::emulated {

void ReportQueue::Push(const uint8_t* report, size_t length, Clock::time_point due,
                       ReplyClaim claim) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cancelled_ || dead_) return;
  if (entries_.size() >= kCapacity) entries_.pop_front();
  Entry entry;
  entry.bytes.assign(report, report + length);
  entry.due = due;
  entry.claim = std::move(claim);
  // Entries are kept sorted by due time; the new one goes after every entry not due later.
  auto position = std::upper_bound(entries_.begin(), entries_.end(), due,
                                   [](Clock::time_point t, const Entry& e) { return t < e.due; });
  entries_.insert(position, std::move(entry));
  wake_.notify_all();
}

HidIoResult ReportQueue::Pop(uint8_t* buffer, size_t length, size_t& bytesRead, int timeoutMs) {
  bytesRead = 0;
  const bool forever = timeoutMs < 0;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    if (cancelled_) return HidIoResult::Cancelled;
    if (dead_) return HidIoResult::Failed;
    const Clock::time_point now = Clock::now();
    if (!entries_.empty() && entries_.front().due <= now) {
      Entry& front = entries_.front();
      const size_t count = std::min(length, front.bytes.size());
      if (count > 0 && buffer != nullptr) std::memcpy(buffer, front.bytes.data(), count);
      bytesRead = buffer != nullptr ? count : 0;
      entries_.pop_front();
      return HidIoResult::Ok;
    }
    if (!forever && now >= deadline) return HidIoResult::TimedOut;
    if (!entries_.empty()) {
      const Clock::time_point until =
          forever ? entries_.front().due : std::min(deadline, entries_.front().due);
      wake_.wait_until(lock, until);
    } else if (forever) {
      wake_.wait(lock);
    } else {
      wake_.wait_until(lock, deadline);
    }
  }
}

void ReportQueue::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  entries_.clear();
  wake_.notify_all();
}

void ReportQueue::Kill() {
  std::lock_guard<std::mutex> lock(mutex_);
  dead_ = true;
  entries_.clear();
  wake_.notify_all();
}

bool ReportQueue::Cancelled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cancelled_;
}

bool ReportQueue::Dead() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dead_;
}

size_t ReportQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

}  // namespace varkon::emulated
