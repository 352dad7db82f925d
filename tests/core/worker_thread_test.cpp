#include "core/worker_thread.h"

#include <atomic>
#include <chrono>

#include <gtest/gtest.h>

namespace varkon {
namespace {

using namespace std::chrono_literals;

TEST(StopEvent, StaysSignalledUntilReset) {
  StopEvent event;
  EXPECT_FALSE(event.Wait(1ms));
  event.Signal();
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_TRUE(event.Wait(1ms));  // manual reset: a second wait sees it too
  event.Reset();
  EXPECT_FALSE(event.Wait(1ms));
}

TEST(WorkerThread, LoopRunsPassesUntilStopped) {
  std::atomic<int> passes{0};
  WorkerThread worker;
  ASSERT_TRUE(worker.Start([&](StopEvent& stop) { RunWorkerLoop(stop, [&] { ++passes; }); }));
  EXPECT_FALSE(worker.Start([](StopEvent&) {}));  // one body at a time
  while (passes.load() < 5) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(worker.Stop(), WorkerThread::StopResult::Ended);
  const int after = passes.load();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(passes.load(), after);
  EXPECT_FALSE(worker.Running());
  EXPECT_EQ(worker.Stop(), WorkerThread::StopResult::NotRunning);
}

TEST(WorkerThread, ReleaseEndsABlockedWorkerWithinTheBound) {
  // The worker blocks in something only `release` ends, as a transfer ends when its channel
  // is closed.
  StopEvent transferDone;
  WorkerThread worker;
  worker.Start([&](StopEvent&) { transferDone.Wait(60s); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(worker.Stop(1000ms, [&] { transferDone.Signal(); }), WorkerThread::StopResult::Ended);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST(WorkerThread, StuckWorkerIsDetachedAfterTheBoundAndCanRestart) {
  auto hold = std::make_shared<StopEvent>();
  WorkerThread worker;
  worker.Start([hold](StopEvent&) { hold->Wait(60s); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(worker.Stop(100ms), WorkerThread::StopResult::TimedOut);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 100ms);
  EXPECT_LT(took, 2000ms);

  std::atomic<bool> ran{false};
  EXPECT_TRUE(worker.Start([&](StopEvent&) { ran = true; }));
  EXPECT_EQ(worker.Stop(), WorkerThread::StopResult::Ended);
  EXPECT_TRUE(ran.load());
  hold->Signal();  // let the detached body finish before the process ends
  std::this_thread::sleep_for(20ms);
}

TEST(WorkerThread, BodyThatEndsByItselfCanBeStartedAgain) {
  std::atomic<int> runs{0};
  WorkerThread worker;
  worker.Start([&](StopEvent&) { ++runs; });
  while (worker.Running()) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(worker.Start([&](StopEvent&) { ++runs; }));
  worker.Stop();
  EXPECT_EQ(runs.load(), 2);
}

}  // namespace
}  // namespace varkon
