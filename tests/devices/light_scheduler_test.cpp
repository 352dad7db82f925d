#include "devices/light_scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace varkon {
namespace {

// Runs `passes` passes, one per `msPerPass`, and returns the pass numbers (1-based) that stepped.
std::vector<int> StepsOver(StepScheduler& s, int passes, uint32_t msPerPass, uint32_t threshold) {
  std::vector<int> steps;
  uint32_t now = 1000;
  s.Reset(now);
  for (int p = 1; p <= passes; ++p) {
    now += msPerPass;
    if (s.Pass(now, threshold)) steps.push_back(p);
  }
  return steps;
}

TEST(StepScheduler, EveryPassRuleStepsAtTheThreshold) {
  StepScheduler s(TickRule::kEveryPass);
  EXPECT_EQ(StepsOver(s, 24, 1, 8), (std::vector<int>{8, 16, 24}));
  EXPECT_EQ(StepsOver(s, 3, 1, 1), (std::vector<int>{1, 2, 3}));
}

TEST(StepScheduler, EveryPassRuleIgnoresTheClock) {
  StepScheduler s(TickRule::kEveryPass);
  // Passes that see the same tick still count: the pad's thread counts its own 1 ms sleeps.
  EXPECT_EQ(StepsOver(s, 4, 0, 2), (std::vector<int>{2, 4}));
}

TEST(StepScheduler, KeyboardRuleDoesNotCountASingleOneMillisecondChange) {
  StepScheduler s(TickRule::kTickChangeOver1Ms);
  s.Reset(100);
  EXPECT_FALSE(s.Count(100));  // no change
  EXPECT_FALSE(s.Count(101));  // exactly 1 ms
  EXPECT_EQ(s.count(), 0u);
  EXPECT_TRUE(s.Count(102));  // the 1 ms adds up with the next one
  EXPECT_TRUE(s.Count(117));  // a coarse 15 ms tick counts once
  EXPECT_EQ(s.count(), 2u);
}

TEST(StepScheduler, KeyboardRuleAtOneMillisecondPassesStepsEveryOtherMillisecond) {
  StepScheduler s(TickRule::kTickChangeOver1Ms);
  // Threshold 5 (speed 2): one counted pass per 2 ms, so a step every 10 passes.
  EXPECT_EQ(StepsOver(s, 30, 1, 5), (std::vector<int>{10, 20, 30}));
}

TEST(StepScheduler, SyncRuleCountsAdvancesOfTwoMillisecondsOrMore) {
  StepScheduler s(TickRule::kTickAdvance2Ms);
  // At speed 0 (8 passes) with 2 ms ticks: every eighth change, i.e. every 16 ms.
  EXPECT_EQ(StepsOver(s, 24, 2, 8), (std::vector<int>{8, 16, 24}));
  // At speed 4 (1 pass): every change of 2 ms or more.
  EXPECT_EQ(StepsOver(s, 4, 3, 1), (std::vector<int>{1, 2, 3, 4}));
}

TEST(StepScheduler, ZeroThresholdStepsOnEveryPassEvenWithoutATick) {
  StepScheduler s(TickRule::kTickChangeOver1Ms);
  EXPECT_EQ(StepsOver(s, 3, 0, 0), (std::vector<int>{1, 2, 3}));
}

TEST(StepScheduler, TickWrapAroundStillCounts) {
  StepScheduler s(TickRule::kTickAdvance2Ms);
  s.Reset(0xFFFFFFFEu);
  EXPECT_TRUE(s.Count(1));  // 3 ms across the wrap
}

TEST(StepScheduler, FirstPassWithoutResetOnlyTakesTheTick) {
  StepScheduler s(TickRule::kTickAdvance2Ms);
  EXPECT_FALSE(s.Count(5000));
  EXPECT_TRUE(s.Count(5002));
}

TEST(StepThresholds, Pad) {
  EXPECT_EQ(PadStepThreshold(0), 8);
  EXPECT_EQ(PadStepThreshold(3), 2);
  EXPECT_EQ(PadStepThreshold(4), 1);
}

TEST(StepThresholds, Mouse) {
  EXPECT_EQ(MouseStepThreshold(5, 0), 16);
  EXPECT_EQ(MouseStepThreshold(5, 4), 2);
  EXPECT_EQ(MouseStepThreshold(0, 0), 8);
  EXPECT_EQ(MouseStepThreshold(7, 1), 6);  // four-colour breathing uses breathing's
  EXPECT_EQ(MouseStepThreshold(8, 2), 4);
  EXPECT_EQ(MouseStepThreshold(10, 4), 1);
  EXPECT_EQ(MouseStepThreshold(9, 0), -1);
  EXPECT_EQ(MouseStepThreshold(11, 0), -1);
  EXPECT_EQ(MouseStepThreshold(-1, 0), -1);
}

TEST(StepThresholds, Keyboard) {
  EXPECT_EQ(KeyboardStepThreshold(1, 0), 10);
  EXPECT_EQ(KeyboardStepThreshold(15, 2), 5);
  EXPECT_EQ(KeyboardStepThreshold(25, 4), 1);
  EXPECT_EQ(KeyboardStepThreshold(26, 1), 8);  // effect 5's
  EXPECT_EQ(KeyboardStepThreshold(16, 0), 3);
  EXPECT_EQ(KeyboardStepThreshold(18, 4), 3);
  EXPECT_EQ(KeyboardStepThreshold(27, 0), 1);
  EXPECT_EQ(KeyboardStepThreshold(34, 1), 0);
  EXPECT_EQ(KeyboardStepThreshold(29, 0), 2);
  EXPECT_EQ(KeyboardStepThreshold(29, 4), 2);
  for (int e : {0, 22, 23, 24, 28, 31, 35, 255}) EXPECT_EQ(KeyboardStepThreshold(e, 2), -1) << e;
}

TEST(ManualLightClock, AdvancesAndWraps) {
  ManualLightClock clock(0xFFFFFFFFu);
  clock.Advance(2);
  EXPECT_EQ(clock.NowMs(), 1u);
}

TEST(SystemLightClock, MovesForward) {
  SystemLightClock clock;
  const uint32_t a = clock.NowMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const uint32_t elapsed = clock.NowMs() - a;
  EXPECT_GE(elapsed, 15u);  // generous: a loaded machine may sleep much longer
}

}  // namespace
}  // namespace varkon
