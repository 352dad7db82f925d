// When the keyboard's light thread steps each effect: thresholds by effect and speed, counted by
// the keyboard's tick rule on an injected clock.
#include <gtest/gtest.h>

#include "devices/keyboard_light_effects.h"
#include "devices/keyboard_light_engine.h"

namespace varkon {
namespace {

LightState State(uint8_t effect, uint8_t speed, uint8_t brightness = 4, bool multicolour = true) {
  LightState s;
  s.mode = effect;
  s.brightness = brightness;
  s.speed = speed;
  s.direction = 1;
  s.multicolour = multicolour ? 1 : 0;
  s.red = 200;
  s.green = 100;
  s.blue = 50;
  return s;
}

class KeyboardSchedule : public ::testing::Test {
 protected:
  // Runs `passes` passes, the clock moving `msPerPass` before each.
  void Run(int passes, uint32_t msPerPass) {
    for (int i = 0; i < passes; ++i) {
      clock_.Advance(msPerPass);
      engine_.Pass(clock_.NowMs());
    }
  }

  // Steps of effect 1 (its wheel phase moves one entry per step) over `passes` passes.
  int CountWaveSteps(uint8_t speed, int passes, uint32_t msPerPass) {
    engine_.SetLightState(State(1, speed));
    Run(1, msPerPass);  // start routine and the tick baseline
    engine_.scheduler().ResetCount();
    const uint8_t before = engine_.fx().phase;
    Run(passes, msPerPass);
    return (engine_.fx().phase + kWheelSize - before) % kWheelSize;
  }

  LightClassShared shared_;
  KeyboardLightEngine engine_{kKeyboardLights, shared_, TickRule::kTickChangeOver1Ms};
  ManualLightClock clock_{1000};
};

TEST(KeyboardThresholds, ByEffectAndSpeed) {
  const std::array<int, 5> common = {10, 8, 5, 3, 1};
  for (int e : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 19, 20, 21, 25, 26}) {
    for (uint8_t s = 0; s < 5; ++s) EXPECT_EQ(KeyboardStepThreshold(e, s), common[s]) << e;
  }
  for (int e : {16, 18}) {
    for (uint8_t s = 0; s < 5; ++s) EXPECT_EQ(KeyboardStepThreshold(e, s), 3) << e;
  }
  for (int e : {27, 30, 32, 33, 34}) {
    EXPECT_EQ(KeyboardStepThreshold(e, 0), 1) << e;
    for (uint8_t s = 1; s < 5; ++s) EXPECT_EQ(KeyboardStepThreshold(e, s), 0) << e;
  }
  for (uint8_t s = 0; s < 5; ++s) EXPECT_EQ(KeyboardStepThreshold(29, s), 2);
  for (int e : {0, 22, 23, 24, 28, 31, 35, 255}) {
    EXPECT_LT(KeyboardStepThreshold(e, 2), 0) << e;
  }
}

TEST(KeyboardThresholds, EveryEffectWithAThresholdHasAStepRoutine) {
  for (int e = 0; e <= 255; ++e) {
    EXPECT_EQ(KeyboardHasStep(e), KeyboardStepThreshold(e, 0) >= 0) << "effect " << e;
  }
}

TEST_F(KeyboardSchedule, OneMillisecondPassesCountEverySecondPass) {
  // 1 ms between passes: a move of exactly 1 ms is not counted, so 2 passes make one count.
  EXPECT_EQ(CountWaveSteps(4, 100, 1), 50);  // threshold 1
  EXPECT_EQ(CountWaveSteps(0, 100, 1), 5);   // threshold 10
}

TEST_F(KeyboardSchedule, CoarseTicksCountEveryPass) {
  for (uint8_t speed = 0; speed < 5; ++speed) {
    const int threshold = KeyboardStepThreshold(1, speed);
    EXPECT_EQ(CountWaveSteps(speed, 120, 16), 120 / threshold) << "speed " << int{speed};
  }
}

TEST_F(KeyboardSchedule, NoStepWhileTheClockStandsStill) {
  EXPECT_EQ(CountWaveSteps(4, 50, 0), 0);
}

TEST_F(KeyboardSchedule, EveryPassEffectsStepWithoutCounts) {
  // Effect 32 at speed 1-4 steps on every pass, even when the pass is not counted.
  engine_.SetLightState(State(32, 3));
  Run(1, 1);
  const uint16_t before = engine_.fx().position;
  Run(40, 1);
  EXPECT_EQ(engine_.fx().position - before, 40);
  // At speed 0 it needs one count: every second 1 ms pass.
  engine_.SetLightState(State(33, 0));
  Run(1, 1);
  engine_.SetLightState(State(32, 0));
  Run(1, 1);
  const uint16_t slow = engine_.fx().position;
  Run(40, 1);
  EXPECT_EQ(engine_.fx().position - slow, 20);
}

TEST_F(KeyboardSchedule, MusicStepsWhenTheCountExceedsOne) {
  KeyboardAudioLight light;
  light.style = static_cast<uint8_t>(MusicStyle::kPulse);  // its phase moves once per step
  light.multicolour = true;
  engine_.SetAudioLight(light);
  for (uint8_t speed : {0, 4}) {
    engine_.SetLightState(State(1, 0));
    Run(1, 16);
    engine_.SetLightState(State(29, speed));
    Run(1, 16);
    const uint8_t before = engine_.fx().phase;
    Run(60, 16);
    EXPECT_EQ((engine_.fx().phase + kWheelSize - before) % kWheelSize, 30u)
        << "speed " << int{speed};
  }
}

TEST_F(KeyboardSchedule, BlinkAtSpeedZeroTogglesEvery1600Ms) {
  engine_.SetLightState(State(34, 0));
  std::vector<uint32_t> toggles;
  uint8_t last = engine_.colours().Get(0).a;
  for (int i = 0; i < 8000; ++i) {
    clock_.Advance(1);
    engine_.Pass(clock_.NowMs());
    const uint8_t a = engine_.colours().Get(0).a;
    if (a != last) toggles.push_back(clock_.NowMs());
    last = a;
  }
  ASSERT_GE(toggles.size(), 4u);
  for (size_t i = 1; i < toggles.size(); ++i) {
    // Counted every 2 ms at speed 0 (threshold 1), so a toggle may come 1 ms late.
    EXPECT_GE(toggles[i] - toggles[i - 1], 1600u);
    EXPECT_LE(toggles[i] - toggles[i - 1], 1602u);
  }
  // The blink keeps list indices without a light dark.
  EXPECT_EQ(engine_.colours().GetRaw(kKeyboardLitKeys), 0u);
}

TEST_F(KeyboardSchedule, BlinkAtSpeedFourTogglesEvery200Ms) {
  engine_.SetLightState(State(34, 4));
  std::vector<uint32_t> toggles;
  uint8_t last = engine_.colours().Get(5).a;
  for (int i = 0; i < 2000; ++i) {
    clock_.Advance(1);
    engine_.Pass(clock_.NowMs());
    const uint8_t a = engine_.colours().Get(5).a;
    if (a != last) toggles.push_back(clock_.NowMs());
    last = a;
  }
  ASSERT_GE(toggles.size(), 5u);
  for (size_t i = 1; i < toggles.size(); ++i) EXPECT_EQ(toggles[i] - toggles[i - 1], 200u);
}

TEST_F(KeyboardSchedule, EffectsWithoutAStepPlayTheCustomSequence) {
  LightSequenceStep step;
  step.state = State(static_cast<uint8_t>(SequenceMode::kStatic), 4, 3, false);
  step.state.red = 10;
  step.state.green = 20;
  step.state.blue = 30;
  step.durationMs = 1000;
  engine_.sequence().Set({step});
  for (uint8_t effect : {0, 22, 23, 24, 28, 31, 35}) {
    engine_.SetLightState(State(1, 4));
    Run(4, 16);
    engine_.SetLightState(State(effect, 4));
    Run(4, 16);
    EXPECT_EQ(engine_.colours().Get(0), LightColour(10, 20, 30, 195)) << "effect " << int{effect};
  }
}

TEST_F(KeyboardSchedule, PerKeyEffectsRunAfterEveryPass) {
  std::vector<LightRecord> records(kKeyboardLights);
  records[3] = LightRecord::Make(PerLightType::kStatic, 2, 0, false, 1, 2, 3, true);
  // A record of a list index without a light is not shown.
  records[140] = LightRecord::Make(PerLightType::kStatic, 4, 0, false, 9, 9, 9, true);
  engine_.SetLightRecords(records, clock_.NowMs());
  engine_.SetLightState(State(6, 0, 4, false));
  Run(30, 16);
  EXPECT_EQ(engine_.colours().Get(3), LightColour(1, 2, 3, 135));
  EXPECT_EQ(engine_.colours().Get(4), LightColour(200, 100, 50, 255));
  EXPECT_EQ(engine_.colours().GetRaw(140), 0u);
  // Between two steps of the main effect the key keeps its own colour.
  Run(1, 16);
  EXPECT_EQ(engine_.colours().Get(3), LightColour(1, 2, 3, 135));
}

TEST_F(KeyboardSchedule, RestartRunsTheStartRoutineAgain) {
  engine_.SetLightState(State(1, 4));
  Run(20, 16);
  ASSERT_NE(engine_.fx().phase, 0);
  engine_.SetAudioLight({});
  const int32_t loud[kAudioBands] = {1000};
  engine_.FeedAudioLevels(loud);
  engine_.RestartEffect();
  clock_.Advance(0);
  engine_.Pass(clock_.NowMs());  // no count: only the start routine ran
  EXPECT_EQ(engine_.fx().phase, 0);
  EXPECT_EQ(engine_.inputs().audioLevel(0), 0);
  EXPECT_EQ(engine_.colours().GetRaw(0), 0u);
}

}  // namespace
}  // namespace varkon
