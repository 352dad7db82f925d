#include "core/job_queue.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace varkon {
namespace {

using namespace std::chrono_literals;

TEST(JobQueue, RunsJobsInOrderOffTheCallersThread) {
  JobQueue queue;
  std::vector<int> order;
  std::mutex mutex;
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<bool> offThread{true};
  for (int i = 0; i < 20; ++i) {
    queue.Post([&, i](const StopEvent&) {
      if (std::this_thread::get_id() == caller) offThread = false;
      std::lock_guard<std::mutex> lock(mutex);
      order.push_back(i);
    });
  }
  ASSERT_TRUE(queue.WaitIdle(5s));
  std::lock_guard<std::mutex> lock(mutex);
  ASSERT_EQ(order.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
  EXPECT_TRUE(offThread);
}

// A stop drops what has not started and is bounded by the running job; a job that outlives the
// bound is left to finish on its own, touching only what it holds.
TEST(JobQueue, StopDropsQueuedJobsAndIsBounded) {
  JobQueue queue;
  auto ran = std::make_shared<std::atomic<int>>(0);
  std::atomic<bool> started{false};
  queue.Post([&, ran](const StopEvent& stop) {
    started = true;
    stop.IsSignalled();
    std::this_thread::sleep_for(300ms);
    ran->fetch_add(1);
  });
  for (int i = 0; i < 5; ++i) queue.Post([ran](const StopEvent&) { ran->fetch_add(10); });
  while (!started) std::this_thread::sleep_for(1ms);
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(queue.Stop(100ms), WorkerThread::StopResult::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 290ms);
  queue.Post([ran](const StopEvent&) { ran->fetch_add(100); });  // refused after a stop
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(ran->load(), 1);
  queue.Restart();
  queue.Post([ran](const StopEvent&) { ran->fetch_add(1000); });
  ASSERT_TRUE(queue.WaitIdle(5s));
  EXPECT_EQ(ran->load(), 1001);
}

}  // namespace
}  // namespace varkon
