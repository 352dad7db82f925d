#include "devices/light_mouse_effects.h"

#include <gtest/gtest.h>

#include "devices/light_test_support.h"

#include <set>
#include <vector>

namespace varkon {
namespace {

LightState State(MouseEffect mode, uint8_t brightness, uint8_t speed, bool forward, bool multi,
                 Rgb colour = {10, 20, 30}) {
  return test::MakeLightState(static_cast<uint8_t>(mode), brightness, speed, forward, multi,
                              colour);
}

class MouseTest : public ::testing::Test {
 protected:
  LightClassShared shared_;
  LightEngine mouse_{kMouseLights, shared_};
};

TEST(MouseGroups, CoverEveryLedOnce) {
  std::multiset<int> leds;
  for (const MouseGroup& g : kMouseGroups) {
    for (size_t j = 0; j < g.count; ++j) leds.insert(g.leds[j]);
  }
  ASSERT_EQ(leds.size(), kMouseLights);
  for (int i = 0; i < static_cast<int>(kMouseLights); ++i) EXPECT_EQ(leds.count(i), 1u) << i;
}

TEST_F(MouseTest, WaveColoursEachGroupAsOne) {
  MouseStepWave(mouse_, State(MouseEffect::kWave, 4, 4, true, true));
  for (size_t g = 0; g < kMouseGroups.size(); ++g) {
    for (size_t j = 0; j < kMouseGroups[g].count; ++j) {
      EXPECT_EQ(mouse_.colours().Get(kMouseGroups[g].leds[j]), LightColour(Wheel(2 + 7 * g), 255))
          << g;
    }
  }
  mouse_.animation().phase = 0;
  MouseStepWave(mouse_, State(MouseEffect::kWave, 3, 4, true, false));
  EXPECT_EQ(mouse_.colours().Get(14), LightColour(10, 20, 30, ScaleLevel(kWaveCurve[2 + 42], 195)));
  EXPECT_EQ(mouse_.colours().Get(14), mouse_.colours().Get(6));
}

TEST_F(MouseTest, RingChaseMarksAndRotatesOnEveryStep) {
  SeedMouseRing(mouse_);
  const LightState s = State(MouseEffect::kRingChase, 4, 4, true, false);
  MouseStepRingChase(mouse_, s);
  EXPECT_EQ(mouse_.reactive().level(0), 215);
  EXPECT_EQ(mouse_.colours().Get(0), LightColour(10, 20, 30, ScaleLevel(215, 255)));
  EXPECT_EQ(mouse_.colours().Get(13), mouse_.colours().Get(0));
  MouseStepRingChase(mouse_, s);
  EXPECT_EQ(mouse_.reactive().level(1), 215);
  EXPECT_EQ(mouse_.reactive().level(0), 175);
  EXPECT_EQ(mouse_.colours().Get(12).a, ScaleLevel(215, 255));
  for (int i = 0; i < 5; ++i) MouseStepRingChase(mouse_, s);
  EXPECT_EQ(mouse_.colours().Get(7).a, ScaleLevel(215, 255));  // group 6: LEDs 6, 14, 7
  EXPECT_EQ(mouse_.colours().Get(14).a, ScaleLevel(215, 255));
}

TEST_F(MouseTest, RingChaseMarksOnlyTheBasePositions) {
  mouse_.reactive().set_ring(12, 1);
  const LightState s = State(MouseEffect::kRingChase, 4, 4, true, false);
  MouseStepRingChase(mouse_, s);
  EXPECT_EQ(mouse_.reactive().ring(13), 1);
  EXPECT_EQ(mouse_.reactive().level(12), 0);
  EXPECT_EQ(mouse_.colours().rejectedWrites(), 0u);
}

TEST_F(MouseTest, RingChaseHeadGroupKeepsColours) {
  mouse_.colours().Fill(LightColour(4, 5, 6, 0));
  mouse_.reactive().set_level(6, 255);  // head of a backward chase
  mouse_.reactive().set_level(2, 200);
  MouseStepRingChase(mouse_, State(MouseEffect::kRingChase, 4, 4, false, true));
  EXPECT_EQ(mouse_.colours().Get(11), LightColour(4, 5, 6, ScaleLevel(160, 255)));
}

TEST_F(MouseTest, ReactiveFadeRisesTo255ThenFallsToZero) {
  MarkMouseFade(mouse_);
  const LightState s = State(MouseEffect::kReactiveFade, 4, 4, true, false);
  std::vector<uint8_t> levels;
  for (int i = 0; i < 40; ++i) {
    MouseStepReactiveFade(mouse_, s);
    levels.push_back(mouse_.reactive().level(9));
  }
  EXPECT_EQ(levels[0], 15);
  EXPECT_EQ(levels[16], 255);
  EXPECT_EQ(levels[17], 240);
  EXPECT_EQ(levels[33], 0);
  EXPECT_EQ(levels[39], 0);
  EXPECT_EQ(mouse_.colours().Get(9), LightColour(10, 20, 30, 0));
}

TEST_F(MouseTest, ReactiveFadeRemarkWhileFallingRisesAgain) {
  MarkMouseFade(mouse_);
  const LightState s = State(MouseEffect::kReactiveFade, 2, 4, true, true);
  for (int i = 0; i < 20; ++i) MouseStepReactiveFade(mouse_, s);  // 255, then down to 210
  EXPECT_EQ(mouse_.reactive().level(0), 210);
  MarkMouseFade(mouse_);
  MouseStepReactiveFade(mouse_, s);
  EXPECT_EQ(mouse_.reactive().level(0), 225);
  const uint8_t hue = mouse_.reactive().hue(0);
  EXPECT_EQ(mouse_.colours().Get(0), LightColour(Wheel(hue), ScaleLevel(225, 135)));
  EXPECT_NE(mouse_.reactive().hue(1), hue);  // LEDs are spread over the wheel
}

TEST_F(MouseTest, TableDispatchUsesTheMouseThresholds) {
  InstallMouseEffects(mouse_);
  mouse_.SetLightState(State(MouseEffect::kRingChase, 4, 0, true, false));  // 16 per step
  for (uint32_t t = 1; t <= 160; ++t) mouse_.RunPass(t);
  EXPECT_EQ(mouse_.animation().phase, 10);
  mouse_.SetLightState(State(MouseEffect::kBreathingFourColours, 4, 1, true, false));  // 6
  for (uint32_t t = 161; t <= 220; ++t) mouse_.RunPass(t);
  EXPECT_EQ(mouse_.animation().phase, 20);
}

TEST_F(MouseTest, PositionsWithoutAStepRunTheFallback) {
  int fallbacks = 0;
  InstallMouseEffects(mouse_, [&](LightEngine&, const LightState&, uint32_t) { ++fallbacks; });
  mouse_.SetLightState(State(static_cast<MouseEffect>(9), 4, 0, true, false));
  for (uint32_t t = 1; t <= 5; ++t) mouse_.RunPass(t);
  mouse_.SetLightState(State(static_cast<MouseEffect>(12), 4, 0, true, false));
  for (uint32_t t = 6; t <= 10; ++t) mouse_.RunPass(t);
  EXPECT_EQ(fallbacks, 10);
}

TEST(MouseInvariants, EveryPositionAndSpeed) {
  const MouseEffect positions[] = {MouseEffect::kWave,
                                   MouseEffect::kSpectrum,
                                   MouseEffect::kBreathing,
                                   MouseEffect::kStatic,
                                   MouseEffect::kBlink,
                                   MouseEffect::kRingChase,
                                   MouseEffect::kReactiveFade,
                                   MouseEffect::kBreathingFourColours,
                                   MouseEffect::kBlinkFourColours,
                                   MouseEffect::kOff};
  for (MouseEffect position : positions) {
    for (uint8_t speed = 0; speed < 5; ++speed) {
      for (int variant = 0; variant < 4; ++variant) {
        LightClassShared shared;
        LightEngine mouse(kMouseLights, shared, LightTickRule(LightDeviceClass::kMouse));
        InstallMouseEffects(mouse);
        SeedMouseRing(mouse);
        const uint8_t brightness = static_cast<uint8_t>(1 + (variant + speed) % 4);
        mouse.SetLightState(State(position, brightness, speed, variant & 1, variant & 2));
        std::set<std::vector<uint32_t>> seen;
        std::vector<uint32_t> snap(kMouseLights);
        for (uint32_t t = 1; t <= 6000; t += 2) {  // 2 ms per pass: every pass counts
          if (position == MouseEffect::kReactiveFade && t % 1000 == 1) MarkMouseFade(mouse);
          mouse.RunPass(t);
          for (size_t i = 0; i < kMouseLights; ++i) {
            ASSERT_LE(mouse.colours().Get(i).a, Brightness(brightness)) << int(position);
          }
          if (t > 200 && t % 50 == 1) {
            mouse.colours().Snapshot(snap);
            seen.insert(snap);
          }
        }
        ASSERT_EQ(mouse.colours().rejectedWrites(), 0u);
        if (position == MouseEffect::kStatic || position == MouseEffect::kOff) {
          EXPECT_EQ(seen.size(), 1u) << int(position);
        } else {
          EXPECT_GE(seen.size(), 2u) << int(position) << " speed " << int(speed);
        }
      }
    }
  }
}

}  // namespace
}  // namespace varkon
