#include "devices/light_engine.h"

#include <gtest/gtest.h>

#include "devices/light_test_support.h"

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "devices/light_pad_effects.h"

namespace varkon {
namespace {

LightState State(uint8_t mode, uint8_t brightness, uint8_t speed, bool forward, bool multi,
                 Rgb colour = {10, 20, 30}) {
  return test::MakeLightState(mode, brightness, speed, forward, multi, colour);
}

bool AllLightsEqual(const LightEngine& e, LightColour c) {
  for (size_t i = 0; i < e.lightCount(); ++i) {
    if (e.colours().Get(i) != c) return false;
  }
  return true;
}

class EngineTest : public ::testing::Test {
 protected:
  LightClassShared shared_;
  LightEngine engine_{15, shared_};
};

TEST(LightStateWords, RoundTripLowByteFirst) {
  LightState s = State(5, 4, 3, true, true, {0xAA, 0xBB, 0xCC});
  EXPECT_EQ(s.Word0(), 0x01030405u);
  EXPECT_EQ(s.Word1(), 0xCCBBAA01u);
  EXPECT_EQ(LightState::FromWords(s.Word0(), s.Word1()), s);
}

// Every one of the 17 bytes survives the shared state and the five words, so a save after an
// editor change never wipes the ZZCC, custom-page or voice members.
TEST(SharedLightStateTest, StoresAllSeventeenBytes) {
  SharedLightState shared;
  LightState s = State(7, 2, 1, false, true, {1, 2, 3});
  s.extra = {4, 5, 6};
  s.zzccLedMode = 9;
  s.customGroup = 3;
  s.oldLedMode = 29;
  s.voiceLedModeSwitch = 1;
  s.voiceLedMode = 2;
  s.voiceSensitivity = 77;
  shared.Store(s);
  EXPECT_EQ(shared.Load(), s);
  const std::array<uint32_t, 5> words = s.ToWords();
  EXPECT_EQ(words[2] >> 24, 9u);   // ZZCC in word 2's high byte
  EXPECT_EQ(words[3] & 0xFF, 3u);  // the custom page in word 3's low byte
  EXPECT_EQ(words[4], 77u);        // word 4: the sensitivity alone
  EXPECT_EQ(LightState::FromWords(words), s);
}

// The editor changes the light state, the light thread runs passes, an input thread marks keys
// and the painter reads the buffer, all at once (ThreadSanitizer guards this). A state read by
// the light thread is always one the editor stored whole.
TEST(EngineThreads, EditorLightThreadInputAndPainterTogether) {
  LightClassShared shared;
  LightEngine engine(15, shared);
  InstallPadEffects(engine);
  std::atomic<bool> stop{false};
  std::atomic<bool> tornState{false};
  std::atomic<uint32_t> passes{0};
  std::thread light([&] {
    for (uint32_t t = 1; !stop.load(); ++t) {
      engine.RunPass(t);
      passes.fetch_add(1);
      const LightState s = engine.GetLightState();
      if (s.red != s.mode || s.blue != s.mode) tornState = true;
    }
  });
  std::thread input([&] {
    for (int n = 0; !stop.load(); ++n) engine.reactive().set_level(n % 15, 255);
  });
  uint32_t painted = 0;
  int n = 0;
  for (; n < 3000 || passes.load() < 5000; ++n) {
    const uint8_t mode = static_cast<uint8_t>(n % 9);
    engine.SetLightState(State(mode, 4, n % 5, n & 1, n & 2, {mode, 0, mode}));
    engine.PaintPreview([&](size_t, const PreviewCell&) { ++painted; });
  }
  stop = true;
  light.join();
  input.join();
  EXPECT_FALSE(tornState.load());
  EXPECT_EQ(painted, 15u * static_cast<uint32_t>(n));
}

TEST_F(EngineTest, BreathingAtSpeed4SpansZeroTo255AndBackIn128Steps) {
  const LightState s = State(2, 4, 4, true, false);
  std::vector<uint8_t> alphas;
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(engine_.StepBreathing(s, 0), 15u);
    alphas.push_back(engine_.colours().Get(0).a);
  }
  // Steps 1..127 walk the curve; step 128 is back at phase 0 (dark).
  EXPECT_EQ(alphas[0], ScaleLevel(kBreathingCurve[1], 255));
  EXPECT_EQ(alphas[62], 254);  // breathing 255 at full brightness: 255 × 255 / 256
  EXPECT_EQ(alphas[63], 254);
  EXPECT_EQ(alphas[127], 0);
  EXPECT_EQ(engine_.animation().phase, 0);
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(10, 20, 30, 0)));
}

TEST_F(EngineTest, MulticolourBreathingMovesSixteenWheelEntriesAtEachDarkPoint) {
  const LightState s = State(2, 4, 4, true, true);
  std::vector<LightColour> darkColours;
  for (int i = 0; i < 128 * 14; ++i) {
    engine_.StepBreathing(s, 0);
    if (engine_.animation().phase == 0) darkColours.push_back(engine_.colours().Get(3));
  }
  ASSERT_EQ(darkColours.size(), 14u);
  EXPECT_EQ(darkColours[0], LightColour(Wheel(16), 0));
  EXPECT_EQ(darkColours[1], LightColour(Wheel(32), 0));
  EXPECT_EQ(darkColours[10], LightColour(Wheel(176), 0));
  // 192 is kept (the wheel wraps: red) and the index restarts only past it, as on the keyboard.
  EXPECT_EQ(darkColours[11], LightColour(Wheel(0), 0));
  EXPECT_EQ(darkColours[12], LightColour(Wheel(0), 0));
  EXPECT_EQ(darkColours[13], LightColour(Wheel(16), 0));
  EXPECT_LE(engine_.animation().colourIndex, kWheelSize);
}

TEST_F(EngineTest, BackwardBreathingFromZeroGoesTo127) {
  const LightState s = State(2, 4, 4, false, false);
  engine_.StepBreathing(s, 0);
  EXPECT_EQ(engine_.animation().phase, 127);
  EXPECT_EQ(engine_.colours().Get(0).a, ScaleLevel(kBreathingCurve[127], 255));
}

TEST_F(EngineTest, FourColourBreathingCyclesTheFourColours) {
  const LightState s = State(7, 3, 4, true, false);
  std::vector<LightColour> seen;
  for (int i = 0; i < 128 * 5; ++i) {
    engine_.StepBreathingFourColours(s, 0);
    if (engine_.animation().phase == 64) seen.push_back(engine_.colours().Get(0));
  }
  ASSERT_EQ(seen.size(), 5u);
  const uint8_t peak = ScaleLevel(kBreathingCurve[64], 195);
  EXPECT_EQ(seen[0], LightColour(kFourColours[0], peak));
  EXPECT_EQ(seen[1], LightColour(kFourColours[1], peak));
  EXPECT_EQ(seen[3], LightColour(kFourColours[3], peak));
  EXPECT_EQ(seen[4], LightColour(kFourColours[0], peak));
}

TEST_F(EngineTest, StaticIsTheFixedColourAtTheLevel) {
  engine_.StepStatic(State(3, 1, 0, true, true, {1, 2, 3}), 0);
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(1, 2, 3, 80)));
}

TEST_F(EngineTest, SpectrumWalksTheWheelBothWays) {
  engine_.StepSpectrum(State(1, 2, 0, true, false), 0);
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(Wheel(1), 135)));
  engine_.StepSpectrum(State(1, 2, 0, false, false), 0);
  engine_.StepSpectrum(State(1, 2, 0, false, false), 0);
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(Wheel(191), 135)));
}

// Runs the pad's light thread over `ms` milliseconds of 1 ms passes and records when the first
// light switched between dark and lit.
std::vector<uint32_t> BlinkToggles(uint8_t speed, uint32_t ms) {
  LightClassShared shared;
  LightEngine engine(15, shared);
  InstallPadEffects(engine);
  engine.SetLightState(State(static_cast<uint8_t>(PadMode::kBlink), 4, speed, true, false));
  ManualLightClock clock;
  std::vector<uint32_t> toggles;
  bool lit = false;
  while (clock.NowMs() < ms) {
    clock.Advance(1);
    engine.RunPass(clock.NowMs());
    const bool nowLit = engine.colours().Get(0).a != 0;
    if (nowLit != lit) toggles.push_back(clock.NowMs());
    lit = nowLit;
  }
  return toggles;
}

TEST(EngineBlink, AtSpeed0TogglesEvery1600Ms) {
  const auto toggles = BlinkToggles(0, 60000);
  ASSERT_GE(toggles.size(), 30u);
  for (size_t i = 1; i < toggles.size(); ++i) {
    // Steps run every 8 passes, so a toggle lands on the first step at or after 1600 ms.
    EXPECT_GE(toggles[i] - toggles[i - 1], 1600u);
    EXPECT_LT(toggles[i] - toggles[i - 1], 1608u);
  }
}

TEST(EngineBlink, AtSpeed4TogglesEvery200Ms) {
  const auto toggles = BlinkToggles(4, 10000);
  ASSERT_GE(toggles.size(), 40u);
  for (size_t i = 1; i < toggles.size(); ++i) EXPECT_EQ(toggles[i] - toggles[i - 1], 200u);
}

TEST_F(EngineTest, MulticolourBlinkMovesSixteenEntriesPerToggle) {
  const LightState s = State(4, 4, 4, true, true);
  engine_.StepBlink(s, 200);  // first toggle: on, phase 16
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(Wheel(16), 255)));
  engine_.StepBlink(s, 300);  // not yet due
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour(Wheel(16), 255)));
  engine_.StepBlink(s, 400);  // off
  EXPECT_TRUE(AllLightsEqual(engine_, LightColour()));
  for (int i = 0; i < 9; ++i) engine_.StepBlink(s, 600 + 200 * i);
  EXPECT_EQ(engine_.animation().phase, 176);
  engine_.StepBlink(s, 3000);
  EXPECT_EQ(engine_.animation().phase, 0);  // 192 restarts at 0
}

TEST_F(EngineTest, FourColourBlinkCyclesTheFourColours) {
  const LightState s = State(8, 4, 4, true, false);
  std::vector<LightColour> lit;
  for (uint32_t t = 200; t <= 200 * 10; t += 200) {
    engine_.StepBlinkFourColours(s, t);
    if (engine_.colours().Get(0).a != 0) lit.push_back(engine_.colours().Get(0));
  }
  // Each time the lights come on they show the next of the four colours.
  ASSERT_EQ(lit.size(), 5u);
  EXPECT_EQ(lit[0], LightColour(kFourColours[1], 255));
  EXPECT_EQ(lit[1], LightColour(kFourColours[2], 255));
  EXPECT_EQ(lit[2], LightColour(kFourColours[3], 255));
  EXPECT_EQ(lit[3], LightColour(kFourColours[0], 255));
  EXPECT_EQ(lit[4], LightColour(kFourColours[1], 255));
}

TEST_F(EngineTest, BrightnessZeroGivesAlphaZeroEverywhereButKeepsTheColours) {
  const Rgb colour{40, 50, 60};
  auto check = [&](const char* what) {
    for (size_t i = 0; i < engine_.lightCount(); ++i) {
      EXPECT_EQ(engine_.colours().Get(i).a, 0) << what;
    }
  };
  const LightState fixed = State(0, 0, 4, true, false, colour);
  const LightState multi = State(0, 0, 4, true, true, colour);
  for (int i = 0; i < 50; ++i) engine_.StepBreathing(fixed, 0);
  check("breathing");
  EXPECT_EQ(engine_.colours().Get(0), LightColour(colour, 0));
  engine_.StepStatic(fixed, 0);
  check("static");
  EXPECT_EQ(engine_.colours().Get(0), LightColour(colour, 0));
  engine_.StepSpectrum(multi, 0);
  check("spectrum");
  EXPECT_NE(engine_.colours().Get(0).r + engine_.colours().Get(0).g, 0);
  engine_.StepBlink(multi, 5000);
  check("blink");
  for (int i = 0; i < 50; ++i) engine_.StepBreathingFourColours(fixed, 0);
  check("four colours");
}

TEST_F(EngineTest, ModeChangeKeepsThePhaseAndColourIndex) {
  InstallPadEffects(engine_);
  engine_.SetLightState(State(static_cast<uint8_t>(PadMode::kSpectrum), 4, 4, true, false));
  for (uint32_t t = 1; t <= 40; ++t) engine_.RunPass(t);
  EXPECT_EQ(engine_.animation().phase, 40);
  engine_.SetLightState(State(static_cast<uint8_t>(PadMode::kStatic), 4, 4, true, false));
  engine_.RunPass(41);
  engine_.SetLightState(State(static_cast<uint8_t>(PadMode::kSpectrum), 4, 4, true, false));
  engine_.RunPass(42);
  EXPECT_EQ(engine_.animation().phase, 41);
}

TEST_F(EngineTest, SetLightCountZeroesColoursAndRecords) {
  engine_.SetLightColour(3, 0xFFFFFFFF);
  const LightRecord rec = LightRecord::Make(PerLightType::kStatic, 4, 0, false, 1, 2, 3, true);
  std::vector<LightRecord> records(15, rec);
  engine_.SetLightRecords(records, 0);
  engine_.SetLightCount(13);
  EXPECT_EQ(engine_.lightCount(), 13u);
  EXPECT_EQ(engine_.GetLightColour(3), 0u);
  const auto now = engine_.LightRecords();
  ASSERT_EQ(now.size(), 13u);
  EXPECT_EQ(now[0].type(), 0);
}

TEST_F(EngineTest, SetLightRecordsTakesAtMostTheLightCount) {
  std::vector<LightRecord> records(40, LightRecord::Make(PerLightType::kOff, 0, 0, 0, 0, 0, 0, 1));
  engine_.SetLightRecords(records, 0);
  EXPECT_EQ(engine_.LightRecords().size(), 15u);
  engine_.SetLightRecords({}, 0);  // a short list leaves the rest zero
  EXPECT_EQ(engine_.LightRecords().size(), 15u);
  EXPECT_EQ(engine_.LightRecords()[14].type(), 0);
}

// ---- the effect-table seam

TEST_F(EngineTest, TableRunsStartOnceStepAtThresholdAndAfterPassEveryPass) {
  int starts = 0, steps = 0, after = 0, fallbacks = 0;
  LightEffectTable table;
  table.Set(9, LightEffect{[&](LightEngine&, const LightState&, uint32_t) { ++steps; },
                           [&](LightEngine&, const LightState&, uint32_t) { ++starts; },
                           {5, 4, 3, 2, 1}});
  table.SetFallback([&](LightEngine&, const LightState&, uint32_t) { ++fallbacks; });
  table.SetAfterPass([&](LightEngine&, const LightState&, uint32_t) { ++after; });
  engine_.SetEffectTable(std::move(table));
  engine_.SetLightState(State(9, 4, 2, true, false));
  for (uint32_t t = 1; t <= 30; ++t) engine_.RunPass(t);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(steps, 10);
  EXPECT_EQ(fallbacks, 0);
  EXPECT_EQ(after, 30);

  engine_.SetLightState(State(10, 4, 2, true, false));  // no entry: fallback every pass
  for (uint32_t t = 31; t <= 40; ++t) engine_.RunPass(t);
  EXPECT_EQ(fallbacks, 10);
  EXPECT_EQ(steps, 10);
  engine_.SetLightState(State(9, 4, 2, true, false));
  engine_.RunPass(41);
  EXPECT_EQ(starts, 2);  // entering the mode again runs its start again
}

TEST_F(EngineTest, EmptyTableDoesNothing) {
  engine_.SetLightColour(0, 0x12345678);
  for (uint32_t t = 1; t <= 10; ++t) engine_.RunPass(t);
  EXPECT_EQ(engine_.GetLightColour(0), 0x12345678u);
}

// A device class replaces a base step; the shared tables then call its version.
class BrightBreathingEngine : public LightEngine {
 public:
  using LightEngine::LightEngine;
  size_t StepBreathing(const LightState&, uint32_t) override {
    colours().Fill(LightColour(1, 1, 1, 1));
    return lightCount();
  }
};

TEST(EngineSeam, OverriddenStepIsWhatTheTableRuns) {
  LightClassShared shared;
  BrightBreathingEngine engine(15, shared);
  InstallPadEffects(engine);
  engine.SetLightState(State(static_cast<uint8_t>(PadMode::kBreathing), 4, 4, true, false));
  engine.RunPass(1);
  EXPECT_EQ(engine.colours().Get(7), LightColour(1, 1, 1, 1));
}

TEST(EngineClasses, ClassesHaveTheirOwnSharedStateAndRule) {
  EXPECT_NE(&SharedLightClassState(LightDeviceClass::kMousePad),
            &SharedLightClassState(LightDeviceClass::kHeadset));
  EXPECT_EQ(&SharedLightClassState(LightDeviceClass::kMouse),
            &SharedLightClassState(LightDeviceClass::kMouse));
  EXPECT_EQ(LightTickRule(LightDeviceClass::kKeyboard), TickRule::kTickChangeOver1Ms);
  EXPECT_EQ(LightTickRule(LightDeviceClass::kMouse), TickRule::kTickChangeOver1Ms);
  EXPECT_EQ(LightTickRule(LightDeviceClass::kMousePad), TickRule::kEveryPass);
  LightEngine keyboard(LightDeviceClass::kKeyboard, 170);
  EXPECT_EQ(keyboard.scheduler().rule(), TickRule::kTickChangeOver1Ms);
  EXPECT_EQ(keyboard.lightCount(), 170u);
}

}  // namespace
}  // namespace varkon
