#include "devices/light_per_light.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "devices/light_engine.h"
#include "devices/light_tables.h"

namespace varkon {
namespace {

LightRecord Rec(PerLightType type, uint8_t brightness, uint8_t speed, bool multi, bool enabled,
                Rgb c = {10, 20, 30}) {
  return LightRecord::Make(type, brightness, speed, multi, c.r, c.g, c.b, enabled);
}

TEST(PerLight, BreathingAdvancesBySpeedPlusFourAndMovesTheHueAtTheWrap) {
  PerLightState state;
  ColourBuffer out(2);
  std::vector<LightRecord> records = {Rec(PerLightType::kBreathing, 4, 4, false, true),
                                      Rec(PerLightType::kBreathing, 4, 0, true, true)};
  state.Reset(records, 0);
  state.StepBreathing(records, out);
  EXPECT_EQ(state.Get(0).phase, 8);
  EXPECT_EQ(state.Get(1).phase, 4);
  EXPECT_EQ(out.Get(0), LightColour(10, 20, 30, ScaleLevel(kBreathingCurve[8], 255)));
  for (int i = 0; i < 31; ++i) state.StepBreathing(records, out);  // light 1 reaches 128
  EXPECT_EQ(state.Get(1).phase, 0);
  EXPECT_EQ(state.Get(1).hue, 1);
  EXPECT_EQ(out.Get(1), LightColour(Wheel(1), 0));
}

TEST(PerLight, BreathingAndSpectrumSkipDisabledRecords) {
  PerLightState state;
  ColourBuffer out(2);
  out.Fill(LightColour(7, 7, 7, 7));
  std::vector<LightRecord> records = {Rec(PerLightType::kBreathing, 4, 4, false, false),
                                      Rec(PerLightType::kSpectrum, 4, 4, false, false)};
  state.Reset(records, 0);
  state.StepAll(records, out, 0);
  EXPECT_EQ(out.Get(0), LightColour(7, 7, 7, 7));
  EXPECT_EQ(out.Get(1), LightColour(7, 7, 7, 7));
}

TEST(PerLight, StaticAndOff) {
  PerLightState state;
  ColourBuffer out(2);
  out.Fill(LightColour(7, 7, 7, 7));
  std::vector<LightRecord> records = {Rec(PerLightType::kStatic, 2, 0, true, true, {1, 2, 3}),
                                      Rec(PerLightType::kOff, 4, 0, false, true)};
  state.StepAll(records, out, 0);
  EXPECT_EQ(out.Get(0), LightColour(1, 2, 3, 135));
  EXPECT_EQ(out.Get(1), LightColour());
}

TEST(PerLight, SpectrumStepsTheHueEverySpeedTicksPasses) {
  PerLightState state;
  ColourBuffer out(1);
  std::vector<LightRecord> records = {Rec(PerLightType::kSpectrum, 3, 1, false, true)};  // 6
  state.Reset(records, 0);
  for (int i = 0; i < 5; ++i) state.StepSpectrum(records, out);
  EXPECT_EQ(state.Get(0).hue, 0);
  state.StepSpectrum(records, out);
  EXPECT_EQ(state.Get(0).hue, 1);
  EXPECT_EQ(out.Get(0), LightColour(Wheel(1), 195));
  for (int i = 0; i < 6 * 191; ++i) state.StepSpectrum(records, out);
  EXPECT_EQ(state.Get(0).hue, 0);  // past 191 it restarts
}

TEST(PerLight, EachBlinkingLightKeepsItsOwnPeriodAndHue) {
  PerLightState state;
  ColourBuffer out(2);
  std::vector<LightRecord> records = {Rec(PerLightType::kBlink, 4, 4, true, true),    // 200 ms
                                      Rec(PerLightType::kBlink, 4, 0, false, true)};  // 1600 ms
  state.Reset(records, 1000);
  EXPECT_EQ(state.Get(0).blinkPeriodMs, 200u);
  EXPECT_EQ(state.Get(1).blinkPeriodMs, 1600u);
  int toggles0 = 0, toggles1 = 0;
  bool lit0 = false, lit1 = false;
  for (uint32_t t = 1001; t <= 1000 + 3200; ++t) {
    state.StepBlink(records, out, t);
    const bool now0 = out.Get(0).a != 0, now1 = out.Get(1).a != 0;
    toggles0 += now0 != lit0;
    toggles1 += now1 != lit1;
    lit0 = now0;
    lit1 = now1;
  }
  EXPECT_EQ(toggles0, 16);
  EXPECT_EQ(toggles1, 2);
  EXPECT_EQ(state.Get(0).hue, 28);       // 13 toggles to 182, then 0, 14, 28
  EXPECT_EQ(out.Get(1), LightColour());  // second toggle turned it off again
}

TEST(PerLight, BlinkHueStepsBy14AndRestartsAbove191) {
  PerLightState state;
  ColourBuffer out(1);
  std::vector<LightRecord> records = {Rec(PerLightType::kBlink, 4, 4, true, true)};
  state.Reset(records, 0);
  std::vector<uint8_t> hues;
  for (uint32_t t = 200; t <= 200 * 15; t += 200) {
    state.StepBlink(records, out, t);
    hues.push_back(state.Get(0).hue);
  }
  EXPECT_EQ(hues[0], 14);
  EXPECT_EQ(hues[12], 182);
  EXPECT_EQ(hues[13], 0);  // 196 is past 191
  EXPECT_EQ(hues[14], 14);
  EXPECT_EQ(out.Get(0), LightColour(Wheel(14), 255));
}

TEST(PerLight, ResetZeroesAndRecomputesPeriods) {
  PerLightState state;
  ColourBuffer out(1);
  std::vector<LightRecord> records = {Rec(PerLightType::kBreathing, 4, 4, false, true)};
  state.Reset(records, 0);
  state.StepBreathing(records, out);
  EXPECT_NE(state.Get(0).phase, 0);
  records[0] = Rec(PerLightType::kBlink, 4, 2, false, true);
  state.Reset(records, 0);
  EXPECT_EQ(state.Get(0).phase, 0);
  EXPECT_EQ(state.Get(0).blinkPeriodMs, 800u);
}

TEST(PerLight, NeverWritesBeyondTheBuffer) {
  PerLightState state;
  ColourBuffer out(3);
  std::vector<LightRecord> records(kMaxLights + 5, Rec(PerLightType::kStatic, 4, 0, false, true));
  state.Reset(records, 0);
  state.StepAll(records, out, 0);
  EXPECT_EQ(out.rejectedWrites(), 0u);
  EXPECT_EQ(out.Get(2).a, 255);
}

TEST(PerLight, StateIsSharedByTheDevicesOfOneClass) {
  LightClassShared shared;
  LightEngine a(2, shared), b(2, shared);
  std::vector<LightRecord> records(2, Rec(PerLightType::kBreathing, 4, 0, false, true));
  a.SetLightRecords(records, 0);
  b.SetLightRecords(records, 0);
  a.RunPerLightPass(0);
  b.RunPerLightPass(0);
  EXPECT_EQ(shared.perLight.Get(0).phase, 8);  // two devices, two steps of +4
  EXPECT_EQ(a.colours().Get(0).a, ScaleLevel(kBreathingCurve[4], 255));
  EXPECT_EQ(b.colours().Get(0).a, ScaleLevel(kBreathingCurve[8], 255));
}

// Two light threads of one class step the shared state while the UI thread applies profiles.
TEST(PerLight, ConcurrentDevicesAndProfileApplication) {
  LightClassShared shared;
  LightEngine a(15, shared), b(15, shared);
  std::vector<LightRecord> records(15, Rec(PerLightType::kBlink, 4, 4, true, true));
  a.SetLightRecords(records, 0);
  b.SetLightRecords(records, 0);
  auto run = [](LightEngine& e) {
    for (uint32_t t = 0; t < 3000; ++t) e.RunPerLightPass(t);
  };
  std::thread ta(run, std::ref(a));
  std::thread tb(run, std::ref(b));
  for (int i = 0; i < 200; ++i) a.SetLightRecords(records, static_cast<uint32_t>(i));
  ta.join();
  tb.join();
  EXPECT_LE(shared.perLight.Get(0).hue, 191);
}

}  // namespace
}  // namespace varkon
