#include "devices/sync_light_step.h"

#include <vector>

#include <gtest/gtest.h>

#include "devices/light_tables.h"
#include "devices/sync_light_modes.h"

namespace varkon {
namespace {

SyncSettings Settings(SyncType type, uint8_t brightness, uint8_t speed, bool forward,
                      bool multicolour, uint8_t r = 10, uint8_t g = 20, uint8_t b = 30) {
  return SyncSettings{
      static_cast<uint8_t>(type),        brightness, speed, static_cast<uint8_t>(forward),
      static_cast<uint8_t>(multicolour), r,          g,     b};
}

LightColour Step1(const SyncSettings& s, SyncAnimation& a, uint32_t now = 0) {
  std::optional<LightColour> c = SyncStep(s, a, now);
  EXPECT_TRUE(c.has_value());
  return c.value_or(LightColour(1, 2, 3, 4));
}

TEST(SyncLightStep, BreathingRunsTheCurveOnceIn128Steps) {
  const SyncSettings s = Settings(SyncType::kBreathing, 4, 4, true, false);
  SyncAnimation a;
  std::vector<int> alphas;
  for (int k = 0; k < 128; ++k) {
    const LightColour c = Step1(s, a);
    EXPECT_EQ(c.r, 10);
    EXPECT_EQ(c.g, 20);
    EXPECT_EQ(c.b, 30);
    alphas.push_back(c.a);
  }
  EXPECT_EQ(a.breathingPhase, 0);  // back at the start after 128 steps
  EXPECT_EQ(alphas.front(), 0);    // phase 1: curve 1 × 255 / 256
  EXPECT_EQ(alphas[62], 254);      // phase 63: curve 255 × 255 / 256
  EXPECT_EQ(alphas[63], 254);      // phase 64, the mirror
  EXPECT_EQ(alphas.back(), 0);     // phase 0 again
  for (int k = 0; k < 62; ++k) EXPECT_LE(alphas[k], alphas[k + 1]) << k;
  for (int k = 64; k < 127; ++k) EXPECT_GE(alphas[k], alphas[k + 1]) << k;
}

TEST(SyncLightStep, BreathingAlphaScalesByBrightness) {
  SyncAnimation a;
  a.breathingPhase = 62;  // the next step is phase 63 (curve 255)
  EXPECT_EQ(Step1(Settings(SyncType::kBreathing, 2, 4, true, false), a).a, 255 * 135 / 256);
  a.breathingPhase = 40;  // phase 41: curve 119
  EXPECT_EQ(Step1(Settings(SyncType::kBreathing, 1, 4, true, false), a).a, 119 * 80 / 256);
}

TEST(SyncLightStep, BreathingBackwardFromZeroGoesTo127) {
  SyncAnimation a;
  Step1(Settings(SyncType::kBreathing, 4, 4, false, false), a);
  EXPECT_EQ(a.breathingPhase, 127);
  Step1(Settings(SyncType::kBreathing, 4, 4, false, false), a);
  EXPECT_EQ(a.breathingPhase, 126);
}

TEST(SyncLightStep, MulticolourBreathingMovesTheColourAtPhasesZeroAndOne) {
  const SyncSettings s = Settings(SyncType::kBreathing, 4, 4, true, true);
  SyncAnimation a;
  // Step 1 reaches phase 1: 16 on; the cycle then keeps it until phase 0 and 1 come back.
  const LightColour first = Step1(s, a);
  EXPECT_EQ(a.breathingColourIndex, 16);
  EXPECT_EQ(Rgb(first.r, first.g, first.b), Wheel(16));
  for (int k = 2; k <= 127; ++k) {
    const LightColour c = Step1(s, a);
    ASSERT_EQ(a.breathingColourIndex, 16) << k;
    EXPECT_EQ(Rgb(c.r, c.g, c.b), Wheel(16));
  }
  Step1(s, a);  // phase 0
  EXPECT_EQ(a.breathingColourIndex, 32);
  const LightColour c = Step1(s, a);  // phase 1
  EXPECT_EQ(a.breathingColourIndex, 48);
  EXPECT_EQ(Rgb(c.r, c.g, c.b), Wheel(48));
}

TEST(SyncLightStep, MulticolourBreathingIndexWrapsAtTheWheelEnd) {
  SyncAnimation a;
  a.breathingColourIndex = 176;
  Step1(Settings(SyncType::kBreathing, 4, 4, true, true), a);  // phase 1
  EXPECT_EQ(a.breathingColourIndex, 0);
}

TEST(SyncLightStep, StaticIsTheFixedColourAtTheLevel) {
  SyncAnimation a;
  EXPECT_EQ(Step1(Settings(SyncType::kStatic, 2, 0, true, true, 200, 0, 7), a),
            LightColour(200, 0, 7, 135));
  EXPECT_EQ(Step1(Settings(SyncType::kStatic, 3, 0, true, false, 1, 2, 3), a),
            LightColour(1, 2, 3, 195));
}

TEST(SyncLightStep, BlinkTogglesAfterTheSpeedPeriod) {
  const SyncSettings s = Settings(SyncType::kBlink, 4, 0, true, false);
  SyncAnimation a;
  EXPECT_EQ(Step1(s, a, 0).a, 0);  // the last toggle is at 0: nothing yet
  EXPECT_EQ(Step1(s, a, 1599).a, 0);
  EXPECT_EQ(Step1(s, a, 1600), LightColour(10, 20, 30, 255));
  EXPECT_EQ(a.blinkColourIndex, 14);
  EXPECT_EQ(Step1(s, a, 3199).a, 255);
  EXPECT_EQ(Step1(s, a, 3200), LightColour(0, 0, 0, 0));
  EXPECT_EQ(a.blinkColourIndex, 28);
  EXPECT_EQ(a.lastBlinkToggleMs, 3200u);
}

TEST(SyncLightStep, BlinkPeriodsBySpeed) {
  const uint32_t periods[] = {1600, 1200, 800, 400, 200};
  for (uint8_t speed = 0; speed < 5; ++speed) {
    SyncAnimation a;
    const SyncSettings s = Settings(SyncType::kBlink, 4, speed, true, false);
    Step1(s, a, periods[speed] - 1);
    EXPECT_EQ(a.blinkOn, 0) << int{speed};
    Step1(s, a, periods[speed]);
    EXPECT_EQ(a.blinkOn, 1) << int{speed};
  }
}

TEST(SyncLightStep, MulticolourBlinkWalksTheWheelBy14) {
  const SyncSettings s = Settings(SyncType::kBlink, 1, 4, true, true);
  SyncAnimation a;
  uint32_t now = 0;
  for (int toggle = 1; toggle <= 13; ++toggle) {
    now += 200;
    const LightColour c = Step1(s, a, now);
    EXPECT_EQ(a.blinkColourIndex, 14 * toggle);
    if (a.blinkOn) {
      EXPECT_EQ(c, LightColour(Wheel(14 * toggle), 80));
    }
  }
  Step1(s, a, now + 200);  // 182 + 14 reaches 192 or more: back to 0
  EXPECT_EQ(a.blinkColourIndex, 0);
}

TEST(SyncLightStep, BlinkSurvivesTheTickCountWrapping) {
  const SyncSettings s = Settings(SyncType::kBlink, 4, 4, true, false);
  SyncAnimation a;
  a.lastBlinkToggleMs = 0xFFFFFFF0u;
  Step1(s, a, 183);  // 199 ms later, past the wrap
  EXPECT_EQ(a.blinkOn, 0);
  Step1(s, a, 184);
  EXPECT_EQ(a.blinkOn, 1);
  EXPECT_EQ(a.lastBlinkToggleMs, 184u);
}

TEST(SyncLightStep, SpectrumCyclesForwardWhateverTheDirection) {
  const SyncSettings s = Settings(SyncType::kSpectrum, 3, 4, false, false);
  SyncAnimation a;
  for (int k = 1; k < 192; ++k) {
    EXPECT_EQ(Step1(s, a), LightColour(Wheel(k), 195)) << k;
  }
  EXPECT_EQ(Step1(s, a), LightColour(Wheel(0), 195));
  EXPECT_EQ(a.spectrumIndex, 0);
}

TEST(SyncLightStep, OffIsDark) {
  SyncAnimation a;
  EXPECT_EQ(Step1(Settings(SyncType::kOff, 4, 4, true, true), a), LightColour(0, 0, 0, 0));
}

TEST(SyncLightStep, BrightnessZeroIsDarkInEveryTypeButKeepsTheColour) {
  for (int t = 0; t < kSyncTypeCount; ++t) {
    SyncAnimation a;
    const SyncSettings s = Settings(static_cast<SyncType>(t), 0, 4, true, false, 90, 91, 92);
    bool sawColour = false;
    for (uint32_t now = 0; now < 2000; now += 50) {
      const LightColour c = Step1(s, a, now);
      EXPECT_EQ(c.a, 0) << t;
      sawColour = sawColour || c.r == 90;
    }
    if (t != static_cast<int>(SyncType::kOff) && t != static_cast<int>(SyncType::kSpectrum)) {
      EXPECT_TRUE(sawColour) << t;
    }
  }
}

TEST(SyncLightStep, LevelsAbove4CountAs4) {
  SyncAnimation a;
  EXPECT_EQ(Step1(Settings(SyncType::kStatic, 200, 9, true, false), a).a, 255);
  const SyncSettings blink = Settings(SyncType::kBlink, 7, 9, true, false);
  Step1(blink, a, 199);
  EXPECT_EQ(a.blinkOn, 0);
  Step1(blink, a, 200);
  EXPECT_EQ(a.blinkOn, 1);
}

TEST(SyncLightStep, UnknownTypesRunNothing) {
  for (int t : {5, 6, 100, 255}) {
    SyncSettings s = Settings(SyncType::kSpectrum, 4, 4, true, true);
    s.type = static_cast<uint8_t>(t);
    SyncAnimation a;
    a.breathingPhase = 3;
    a.spectrumIndex = 9;
    EXPECT_FALSE(SyncStep(s, a, 100000).has_value()) << t;
    EXPECT_EQ(a.breathingPhase, 3);
    EXPECT_EQ(a.spectrumIndex, 9);
    EXPECT_EQ(a.blinkOn, 0);
  }
}

TEST(SyncLightStep, SharedSettingsKeepEveryByte) {
  SharedSyncSettings shared;
  EXPECT_EQ(shared.Load(), SyncSettings{});
  const SyncSettings s{3, 4, 2, 1, 1, 0xAB, 0xCD, 0xEF};
  shared.Store(s);
  EXPECT_EQ(shared.Load(), s);
  const SyncSettings t{255, 0, 255, 0, 255, 0, 255, 1};
  shared.Store(t);
  EXPECT_EQ(shared.Load(), t);
}

TEST(SyncLightStep, SettingsFromALightState) {
  LightState state;
  state.mode = 5;
  state.brightness = 3;
  state.speed = 1;
  state.direction = 0;
  state.multicolour = 1;
  state.red = 7;
  state.green = 8;
  state.blue = 9;
  state.extra = {1, 2, 3};
  EXPECT_EQ(SyncSettings::FromLightState(0, state), (SyncSettings{0, 3, 1, 0, 1, 7, 8, 9}));
}

}  // namespace
}  // namespace varkon
