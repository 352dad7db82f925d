#include "devices/light_sequence.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "devices/light_engine.h"
#include "devices/light_tables.h"

namespace varkon {
namespace {

LightSequenceStep SeqStep(SequenceMode mode, uint8_t brightness, uint8_t speed, bool forward,
                          bool multi, uint32_t durationMs, Rgb c = {10, 20, 30}) {
  LightSequenceStep step;
  step.state.mode = static_cast<uint8_t>(mode);
  step.state.brightness = brightness;
  step.state.speed = speed;
  step.state.direction = forward ? 1 : 0;
  step.state.multicolour = multi ? 1 : 0;
  step.state.red = c.r;
  step.state.green = c.g;
  step.state.blue = c.b;
  step.durationMs = durationMs;
  return step;
}

class SequenceTest : public ::testing::Test {
 protected:
  SequenceShared shared_;
  LightSequence sequence_{shared_};
  ColourBuffer out_{15};
};

TEST_F(SequenceTest, EmptySequenceTurnsTheLightsOff) {
  out_.Fill(LightColour(1, 2, 3, 4));
  sequence_.Pass(0, 0, out_);
  for (size_t i = 0; i < out_.size(); ++i) EXPECT_EQ(out_.Get(i), LightColour());
  EXPECT_EQ(sequence_.step(), 0u);
}

TEST_F(SequenceTest, BreathingStepsThePhaseAtTheSpeedTicks) {
  sequence_.Set({SeqStep(SequenceMode::kBreathing, 4, 0, true, false, 100000)});
  for (uint32_t t = 1; t <= 7; ++t) sequence_.Pass(t, 0, out_);
  EXPECT_EQ(shared_.Get().phase, 0);
  EXPECT_EQ(out_.Get(0), LightColour());  // nothing rendered yet
  sequence_.Pass(8, 0, out_);
  EXPECT_EQ(shared_.Get().phase, 1);
  EXPECT_EQ(shared_.Get().counter, 0);
  EXPECT_EQ(out_.Get(14), LightColour(10, 20, 30, ScaleLevel(kBreathingCurve[1], 255)));
}

TEST_F(SequenceTest, MulticolourBreathingMovesTheWheelAtEachDarkPoint) {
  sequence_.Set({SeqStep(SequenceMode::kBreathing, 2, 4, true, true, 100000)});
  for (uint32_t t = 1; t <= 128; ++t) sequence_.Pass(t, 0, out_);
  EXPECT_EQ(shared_.Get().phase, 0);
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(16), 0));
  sequence_.Pass(129, 0, out_);
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(16), ScaleLevel(kBreathingCurve[1], 135)));
}

TEST_F(SequenceTest, StaticRendersAtTheTick) {
  sequence_.Set({SeqStep(SequenceMode::kStatic, 1, 3, true, false, 100000, {5, 6, 7})});
  sequence_.Pass(1, 0, out_);
  EXPECT_EQ(out_.Get(0), LightColour());
  sequence_.Pass(2, 0, out_);
  EXPECT_EQ(out_.Get(0), LightColour(5, 6, 7, 80));
}

TEST_F(SequenceTest, BlinkFollowsTheDeviceSpeedAndTakesPhasePlus14) {
  sequence_.Set({SeqStep(SequenceMode::kBlink, 4, 0, true, true, 100000)});
  std::vector<uint32_t> toggles;
  bool lit = false;
  for (uint32_t t = 1; t <= 2000; ++t) {
    sequence_.Pass(t, 4, out_);  // device speed 4: 200 ms, whatever the step's speed
    const bool nowLit = out_.Get(0).a != 0;
    if (nowLit != lit) toggles.push_back(t);
    lit = nowLit;
    if (t == 200) {
      // Phase advanced once per pass: 200 % 128 = 72; the hue is 72 + 14.
      EXPECT_EQ(out_.Get(3), LightColour(Wheel(86), 255));
    }
  }
  ASSERT_EQ(toggles.size(), 10u);
  EXPECT_EQ(toggles[0], 200u);
  EXPECT_EQ(toggles[1], 400u);
}

TEST_F(SequenceTest, ForwardMulticolourWaveRunsBackwardsOverTheWheel) {
  sequence_.Set({SeqStep(SequenceMode::kWave, 4, 4, true, true, 100000)});
  sequence_.Pass(1, 0, out_);  // phase 1
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(191), 255));
  EXPECT_EQ(out_.Get(1), LightColour(Wheel(11), 255));  // 12 entries on, wrapped
  for (uint32_t t = 2; t <= 192; ++t) sequence_.Pass(t, 0, out_);
  EXPECT_EQ(shared_.Get().phase, 0);
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(191), 255));  // phase 0 also starts at 191
  sequence_.Pass(193, 0, out_);
  sequence_.Pass(194, 0, out_);  // phase 2
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(190), 255));
}

TEST_F(SequenceTest, BackwardMulticolourWaveStartsAtPhasePlusOne) {
  sequence_.Set({SeqStep(SequenceMode::kWave, 4, 4, false, true, 100000)});
  sequence_.Pass(1, 0, out_);
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(2), 255));
  EXPECT_EQ(out_.Get(2), LightColour(Wheel(26), 255));
  for (uint32_t t = 2; t <= 191; ++t) sequence_.Pass(t, 0, out_);  // phase 191
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(0), 255));              // 192 is taken as 0
}

TEST_F(SequenceTest, FixedColourWaveUsesTheWaveCurve) {
  sequence_.Set({SeqStep(SequenceMode::kWave, 3, 4, false, false, 100000, {9, 8, 7})});
  for (uint32_t t = 1; t <= 100; ++t) sequence_.Pass(t, 0, out_);  // phase 100, start 101
  EXPECT_EQ(out_.Get(0), LightColour(9, 8, 7, ScaleLevel(kWaveCurve[101 % 96], 195)));
  EXPECT_EQ(out_.Get(9), LightColour(9, 8, 7, ScaleLevel(kWaveCurve[(101 + 108) % 96], 195)));
}

TEST_F(SequenceTest, SpectrumUsesItsOwnTicks) {
  sequence_.Set({SeqStep(SequenceMode::kSpectrum, 4, 0, true, false, 100000)});
  for (uint32_t t = 1; t <= 9; ++t) sequence_.Pass(t, 0, out_);
  EXPECT_EQ(shared_.Get().phase, 0);
  sequence_.Pass(10, 0, out_);  // 10 passes at speed 0, not 8
  EXPECT_EQ(shared_.Get().phase, 1);
  EXPECT_EQ(out_.Get(0), LightColour(Wheel(1), 255));
}

TEST_F(SequenceTest, StepsAdvanceAfterTheirDurationAndWrap) {
  sequence_.Set({SeqStep(SequenceMode::kStatic, 4, 4, true, false, 100, {1, 0, 0}),
                 SeqStep(SequenceMode::kStatic, 4, 4, true, false, 50, {2, 0, 0})});
  sequence_.Pass(1000, 0, out_);  // the timer starts here
  EXPECT_EQ(out_.Get(0).r, 1);
  sequence_.Pass(1099, 0, out_);
  EXPECT_EQ(sequence_.step(), 0u);
  sequence_.Pass(1100, 0, out_);
  EXPECT_EQ(sequence_.step(), 1u);
  sequence_.Pass(1101, 0, out_);
  EXPECT_EQ(out_.Get(0).r, 2);
  sequence_.Pass(1150, 0, out_);
  EXPECT_EQ(sequence_.step(), 0u);
}

TEST_F(SequenceTest, UnknownStepModesLeaveTheLightsButStillTime) {
  LightSequenceStep odd = SeqStep(SequenceMode::kStatic, 4, 4, true, false, 10);
  odd.state.mode = 3;
  sequence_.Set({odd, SeqStep(SequenceMode::kStatic, 4, 4, true, false, 10, {3, 3, 3})});
  out_.Fill(LightColour(9, 9, 9, 9));
  sequence_.Pass(0, 0, out_);
  EXPECT_EQ(out_.Get(0), LightColour(9, 9, 9, 9));
  sequence_.Pass(10, 0, out_);
  EXPECT_EQ(sequence_.step(), 1u);
}

TEST_F(SequenceTest, CounterRestartsAt255) {
  // A breathing step at an impossible speed never renders; its counter must still stay bounded.
  LightSequenceStep odd = SeqStep(SequenceMode::kWave, 4, 4, true, false, 100000);
  odd.state.mode = 200;
  sequence_.Set({odd});
  for (uint32_t t = 0; t < 600; ++t) {
    sequence_.Pass(t, 0, out_);
    ASSERT_LT(shared_.Get().counter, 255);
  }
}

TEST(SequenceShared, DevicesOfOneClassShareThePhase) {
  LightClassShared shared;
  LightEngine a(4, shared), b(4, shared);
  const auto step = SeqStep(SequenceMode::kSpectrum, 4, 4, true, false, 100000);
  a.sequence().Set({step});
  b.sequence().Set({step});
  a.RunSequencePass(1);
  b.RunSequencePass(1);
  EXPECT_EQ(shared.sequence.Get().phase, 2);
  EXPECT_EQ(b.colours().Get(0), LightColour(Wheel(2), 255));
}

TEST(SequenceShared, EditorReplacesTheListWhileTheLightThreadPlays) {
  LightClassShared shared;
  LightEngine engine(15, shared);
  std::thread player([&] {
    for (uint32_t t = 0; t < 5000; ++t) engine.RunSequencePass(t);
  });
  for (int i = 0; i < 300; ++i) {
    std::vector<LightSequenceStep> steps(static_cast<size_t>(i % 4),
                                         SeqStep(SequenceMode::kWave, 4, 4, true, true, 3));
    engine.sequence().Set(std::move(steps));
  }
  player.join();
  EXPECT_LT(engine.sequence().step(), 4u);
}

}  // namespace
}  // namespace varkon
