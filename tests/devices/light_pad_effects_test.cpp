#include "devices/light_pad_effects.h"

#include <gtest/gtest.h>

#include "devices/light_test_support.h"

#include <set>
#include <vector>

namespace varkon {
namespace {

LightState State(PadMode mode, uint8_t brightness, uint8_t speed, bool forward, bool multi,
                 Rgb colour = {10, 20, 30}) {
  return test::MakeLightState(static_cast<uint8_t>(mode), brightness, speed, forward, multi,
                              colour);
}

class PadTest : public ::testing::Test {
 protected:
  LightClassShared shared_;
  LightEngine pad_{15, shared_};
  LightEngine headset_{13, shared_};
};

TEST_F(PadTest, PadMulticolourWaveSpreadsSevenEntriesPerLight) {
  StepWave(pad_, State(PadMode::kWave, 4, 4, true, true), kPadWave);
  EXPECT_EQ(pad_.animation().phase, 1);
  EXPECT_EQ(pad_.colours().Get(0), LightColour(Wheel(2), 255));
  EXPECT_EQ(pad_.colours().Get(14), LightColour(Wheel(2 + 98), 255));
  pad_.animation().phase = 190;
  StepWave(pad_, State(PadMode::kWave, 4, 4, true, true), kPadWave);  // phase 191
  EXPECT_EQ(pad_.colours().Get(0), LightColour(Wheel(0), 255));       // 192 wraps to 0
  EXPECT_EQ(pad_.colours().Get(1), LightColour(Wheel(7), 255));
}

TEST_F(PadTest, PadFixedWaveRunsTheWaveCurveWithinNinetySix) {
  StepWave(pad_, State(PadMode::kWave, 2, 4, false, false), kPadWave);  // backward from 0
  EXPECT_EQ(pad_.animation().phase, 95);
  // k starts at phase + 1 = 96, i.e. 0, and moves 7 per light.
  EXPECT_EQ(pad_.colours().Get(0), LightColour(10, 20, 30, ScaleLevel(kWaveCurve[0], 135)));
  EXPECT_EQ(pad_.colours().Get(14), LightColour(10, 20, 30, ScaleLevel(kWaveCurve[98 % 96], 135)));
}

TEST_F(PadTest, HeadsetWaveConstants) {
  StepWave(headset_, State(PadMode::kWave, 4, 4, true, true), kHeadsetWave);
  EXPECT_EQ(headset_.colours().Get(0), LightColour(Wheel(2), 255));
  EXPECT_EQ(headset_.colours().Get(12), LightColour(Wheel(2 + 16 * 12), 255));
  headset_.animation().phase = 0;
  StepWave(headset_, State(PadMode::kWave, 4, 4, true, false), kHeadsetWave);
  EXPECT_EQ(headset_.animation().phase, 3);  // steps of 3
  EXPECT_EQ(headset_.colours().Get(0), LightColour(10, 20, 30, ScaleLevel(kWaveCurve[3], 255)));
  EXPECT_EQ(headset_.colours().Get(12),
            LightColour(10, 20, 30, ScaleLevel(kWaveCurve[(3 + 120) % 96], 255)));
  headset_.animation().phase = 1;
  StepWave(headset_, State(PadMode::kWave, 4, 4, false, false), kHeadsetWave);
  EXPECT_EQ(headset_.animation().phase, 93);
}

TEST_F(PadTest, RingChaseMarksEveryOtherStepAndDecays) {
  pad_.reactive().set_ring(0, 1);
  const LightState s = State(PadMode::kRingChase, 4, 4, true, false);
  StepRingChase(pad_, s);
  StepRingChase(pad_, s);
  EXPECT_EQ(pad_.colours().Get(0).a, 0);  // nothing marked yet
  StepRingChase(pad_, s);                 // pairStep reached 2: mark, then rotate up
  EXPECT_EQ(pad_.reactive().ring(1), 1);
  EXPECT_EQ(pad_.reactive().level(0), 215);
  EXPECT_EQ(pad_.colours().Get(0), LightColour(10, 20, 30, ScaleLevel(215, 255)));
  StepRingChase(pad_, s);
  EXPECT_EQ(pad_.reactive().level(1), 0);  // no mark on this step
  StepRingChase(pad_, s);
  EXPECT_EQ(pad_.reactive().level(1), 215);
  EXPECT_EQ(pad_.reactive().ring(2), 1);
  EXPECT_EQ(pad_.animation().phase, 5);
}

TEST_F(PadTest, RingChaseBackwardRotatesDown) {
  pad_.reactive().set_ring(5, 1);
  const LightState s = State(PadMode::kRingChase, 4, 4, false, false);
  for (int i = 0; i < 3; ++i) StepRingChase(pad_, s);
  EXPECT_EQ(pad_.reactive().ring(4), 1);
  EXPECT_EQ(pad_.reactive().level(5), 215);
}

TEST_F(PadTest, RingChaseMulticolourRunsTwelveEntriesPerLightFromThePhase) {
  const LightState s = State(PadMode::kRingChase, 4, 4, true, true);
  pad_.reactive().set_level(3, 255);
  StepRingChase(pad_, s);  // phase 1; light 3 takes phase + 4 × 12
  EXPECT_EQ(pad_.colours().Get(3), LightColour(Wheel(49), ScaleLevel(215, 255)));
}

TEST_F(PadTest, RingChaseKeepsPresentColoursWhileTheHeadIsLit) {
  const LightState s = State(PadMode::kRingChase, 4, 4, true, true);
  pad_.colours().Fill(LightColour(1, 2, 3, 0));
  pad_.reactive().set_level(0, 255);  // head of a forward chase
  pad_.reactive().set_level(4, 100);
  StepRingChase(pad_, s);
  EXPECT_EQ(pad_.colours().Get(4), LightColour(1, 2, 3, ScaleLevel(70, 255)));
  // Backward: the head is the last light, which is dark, so the wheel colours come back.
  StepRingChase(pad_, State(PadMode::kRingChase, 4, 4, false, true));
  EXPECT_NE(pad_.colours().Get(4), LightColour(1, 2, 3, pad_.colours().Get(4).a));
}

TEST_F(PadTest, PairsLightBothCellsOfAPairAndRotateEightEntries) {
  pad_.reactive().set_ring(7, 1);
  pad_.reactive().set_ring(20, 1);  // beyond the eight entries the pairs rotate
  const LightState s = State(PadMode::kPairs, 3, 4, true, false);
  for (int i = 0; i < 3; ++i) StepPairs(pad_, s);
  // Forward pairs rotate towards lower positions: 7 -> 6.
  EXPECT_EQ(pad_.reactive().ring(6), 1);
  EXPECT_EQ(pad_.reactive().ring(20), 1);
  // Ring entry 7 marked level 7, which is not a pair index (pairs are 0-6): pairs stay dark.
  for (size_t i = 1; i < 15; ++i) EXPECT_EQ(pad_.colours().Get(i).a, 0) << i;
  for (int i = 0; i < 2; ++i) StepPairs(pad_, s);
  // Now entry 6 was marked: pair 6 is cells (7, 8).
  const LightColour expect(10, 20, 30, ScaleLevel(215, 195));
  EXPECT_EQ(pad_.colours().Get(7), expect);
  EXPECT_EQ(pad_.colours().Get(8), expect);
  EXPECT_EQ(pad_.colours().Get(0), LightColour());  // cell 0 is in no pair
}

TEST_F(PadTest, PairsOnTheHeadsetNeverWritePastItsThirteenLights) {
  for (size_t i = 0; i < kRingSize; ++i) headset_.reactive().set_ring(i, 1);
  const LightState s = State(PadMode::kPairs, 4, 4, false, true);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(StepPairs(headset_, s), 13u);
  EXPECT_EQ(headset_.colours().rejectedWrites(), 0u);
  EXPECT_NE(headset_.colours().Get(1).a, 0);   // pair (1, 14): only cell 1 exists
  EXPECT_NE(headset_.colours().Get(12).a, 0);  // pair (3, 12)
}

TEST_F(PadTest, RingEffectsLightTheirOwnHeadWhenTheyStart) {
  InstallPadEffects(pad_);
  for (PadMode mode : {PadMode::kRingChase, PadMode::kPairs}) {
    pad_.SetLightState(State(PadMode::kStatic, 4, 4, true, false));
    pad_.RunPass(1);
    pad_.SetLightState(State(mode, 4, 4, true, true));
    int lit = 0;
    for (uint32_t t = 2; t <= 500; ++t) {
      pad_.RunPass(t);
      for (size_t i = 0; i < 15; ++i) lit += pad_.colours().Get(i).a > 0 ? 1 : 0;
    }
    EXPECT_GT(lit, 0) << static_cast<int>(mode);
  }
}

TEST_F(PadTest, DispatchStepsAtTheSpeedTicks) {
  InstallPadEffects(pad_);
  pad_.SetLightState(State(PadMode::kSpectrum, 4, 1, true, false));  // 6 passes per step
  for (uint32_t t = 1; t <= 60; ++t) pad_.RunPass(t);
  EXPECT_EQ(pad_.animation().phase, 10);
}

TEST_F(PadTest, HeadsetTableRunsTheHeadsetWave) {
  InstallPadEffects(headset_, kHeadsetWave);
  headset_.SetLightState(State(PadMode::kWave, 4, 4, true, false));
  headset_.RunPass(1);
  EXPECT_EQ(headset_.animation().phase, 3);
  EXPECT_EQ(headset_.colours().Get(1), LightColour(10, 20, 30, ScaleLevel(kWaveCurve[13], 255)));
}

TEST_F(PadTest, OtherModesPlayTheCustomSequenceEveryPass) {
  InstallPadEffects(pad_);
  LightSequenceStep step;
  step.state.mode = static_cast<uint8_t>(SequenceMode::kStatic);
  step.state.brightness = 4;
  step.state.speed = 4;
  step.state.red = 200;
  step.durationMs = 1000;
  pad_.sequence().Set({step});
  pad_.SetLightState(State(static_cast<PadMode>(5), 4, 0, true, false));
  pad_.RunPass(1);
  EXPECT_EQ(pad_.colours().Get(0), LightColour(200, 0, 0, 255));
}

TEST_F(PadTest, PerLightRecordsOverrideTheModeAfterEachPass) {
  InstallPadEffects(pad_);
  std::vector<LightRecord> records(15);
  records[3] = LightRecord::Make(PerLightType::kStatic, 4, 0, false, 7, 7, 7, true);
  records[4] = LightRecord::Make(PerLightType::kOff, 4, 0, false, 0, 0, 0, true);
  pad_.SetLightRecords(records, 0);
  pad_.SetLightState(State(PadMode::kStatic, 4, 4, true, false));
  pad_.RunPass(1);
  EXPECT_EQ(pad_.colours().Get(2), LightColour(10, 20, 30, 255));
  EXPECT_EQ(pad_.colours().Get(3), LightColour(7, 7, 7, 255));
  EXPECT_EQ(pad_.colours().Get(4), LightColour());
}

// Every mode at every speed, brightness, direction and colour choice, on the pad and the
// headset: nothing is written past the light count, no alpha exceeds the brightness, and every
// animated effect keeps changing.
TEST(PadInvariants, EveryModeAndSpeed) {
  struct Device {
    size_t lights;
    WaveConstants wave;
  };
  const PadMode modes[] = {PadMode::kWave,   PadMode::kSpectrum, PadMode::kBreathing,
                           PadMode::kStatic, PadMode::kBlink,    PadMode::kRingChase,
                           PadMode::kPairs,  PadMode::kOff,      static_cast<PadMode>(5)};
  for (const Device& device : {Device{15, kPadWave}, Device{13, kHeadsetWave}}) {
    for (PadMode mode : modes) {
      for (uint8_t speed = 0; speed < 5; ++speed) {
        for (int variant = 0; variant < 4; ++variant) {
          const bool forward = variant & 1, multi = variant & 2;
          const uint8_t brightness = static_cast<uint8_t>(1 + (speed + variant) % 4);
          LightClassShared shared;
          LightEngine engine(device.lights, shared);
          InstallPadEffects(engine, device.wave);
          LightSequenceStep step;
          step.state = State(PadMode::kWave, brightness, speed, forward, multi);
          step.state.mode = static_cast<uint8_t>(SequenceMode::kWave);
          step.durationMs = 700;
          LightSequenceStep second = step;
          second.state.mode = static_cast<uint8_t>(SequenceMode::kBlink);
          engine.sequence().Set({step, second});
          engine.SetLightState(State(mode, brightness, speed, forward, multi));

          std::set<std::vector<uint32_t>> seen;
          std::vector<uint32_t> snap(device.lights);
          for (uint32_t t = 1; t <= 3000; ++t) {
            engine.RunPass(t);
            for (size_t i = 0; i < device.lights; ++i) {
              ASSERT_LE(engine.colours().Get(i).a, Brightness(brightness))
                  << "mode " << int(mode) << " speed " << int(speed) << " light " << i;
            }
            if (t % 50 == 0) {
              engine.colours().Snapshot(snap);
              seen.insert(snap);
            }
          }
          ASSERT_EQ(engine.colours().rejectedWrites(), 0u) << int(mode);
          const bool still = mode == PadMode::kStatic || mode == PadMode::kOff;
          if (still) {
            EXPECT_EQ(seen.size(), 1u) << "mode " << int(mode);
          } else {
            EXPECT_GE(seen.size(), 2u) << "mode " << int(mode) << " speed " << int(speed)
                                       << " variant " << variant << " lights " << device.lights;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace varkon
