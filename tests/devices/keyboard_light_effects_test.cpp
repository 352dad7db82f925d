// What the keyboard's step routines draw, step by step.
#include <gtest/gtest.h>

#include "devices/keyboard_light_engine.h"
#include "devices/keyboard_light_fronts.h"
#include "devices/keyboard_light_orders.h"
#include "devices/keyboard_light_reactive.h"
#include "devices/keyboard_light_sparkle.h"

namespace varkon {
namespace {

class KeyboardEffects : public ::testing::Test {
 protected:
  void Start(int effect, bool multicolour = true, bool forward = true, uint8_t brightness = 4) {
    state_ = LightState{};
    state_.mode = static_cast<uint8_t>(effect);
    state_.brightness = brightness;
    state_.speed = 2;
    state_.direction = forward ? 1 : 0;
    state_.multicolour = multicolour ? 1 : 0;
    state_.red = 11;
    state_.green = 22;
    state_.blue = 33;
    effect_ = effect;
    engine_.SetLightState(state_);
    engine_.StartEffect(effect, state_, now_);
  }
  void Step(int times = 1) {
    for (int i = 0; i < times; ++i) engine_.StepEffect(effect_, state_, now_ += 16);
  }
  LightColour Key(size_t key) const { return engine_.colours().Get(key); }
  bool Lit(size_t key) const { return Key(key).a > 0; }
  size_t LitCount() const {
    size_t n = 0;
    for (size_t key = 0; key < kKeyboardLitKeys; ++key) n += Lit(key) ? 1 : 0;
    return n;
  }
  LightColour Fixed(uint8_t alpha) const { return LightColour(11, 22, 33, alpha); }

  // A key at intensity 255, and one fade step later (255 - 40), at brightness level 4.
  static constexpr uint8_t kFull = ScaleLevel(255, 255);
  static constexpr uint8_t kFaded = ScaleLevel(215, 255);

  LightClassShared shared_;
  KeyboardLightEngine engine_{kKeyboardLights, shared_, TickRule::kEveryPass, 77};
  LightState state_;
  int effect_ = 0;
  uint32_t now_ = 100;
};

TEST_F(KeyboardEffects, StartSeedsWheelPositionsInTheSkippingSequence) {
  Start(11);
  const std::vector<int> expected = {0, 33, 66, 99, 132, 165, 6, 39, 72, 105, 138, 171, 12, 45};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(engine_.fx().wheel[i], expected[i]) << i;
  // Values 160-222 skip on by 97, so 192 and above come only from 159 + 33 and the like.
  for (size_t i = 1; i < kKeyboardLights; ++i) {
    const int prev = engine_.fx().wheel[i - 1];
    EXPECT_EQ(engine_.fx().wheel[i], (prev + (prev >= 160 && prev <= 222 ? 97 : 33)) % 256);
  }
}

TEST_F(KeyboardEffects, StartClearsTheBufferAndTheAudioLevels) {
  Start(6, false);
  Step();
  const int32_t levels[kAudioBands] = {500, 600};
  engine_.FeedAudioLevels(levels);
  ASSERT_TRUE(Lit(0));
  Start(1);
  EXPECT_EQ(engine_.colours().GetRaw(0), 0u);
  EXPECT_EQ(engine_.inputs().audioLevel(1), 0);
}

TEST_F(KeyboardEffects, ColourCycleAdvancesEveryKeyByOne) {
  Start(11);
  Step();
  EXPECT_EQ(Key(0), LightColour(Wheel(1), 255));
  EXPECT_EQ(Key(5), LightColour(Wheel(165 + 1), 255));
  // Seed 171 + 1 = 172; seed 222 wraps within the wheel.
  EXPECT_EQ(Key(11), LightColour(Wheel(172), 255));
  Start(11, true, false);
  Step();
  EXPECT_EQ(Key(0), LightColour(Wheel(191), 255));  // backwards from 0
}

TEST_F(KeyboardEffects, ColumnWavesStepSevenOrTwoEntriesPerColumn) {
  for (auto [effect, spread] : {std::pair{1, 7}, std::pair{2, 2}}) {
    Start(effect);
    Step(3);
    const uint8_t phase = engine_.fx().phase;
    EXPECT_EQ(phase, 3);
    for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
      const int c = kKeyCells[key].column;
      const size_t index = (phase + 192 * 4 - c * spread) % 192;
      ASSERT_EQ(Key(key), LightColour(Wheel(index), 255)) << "effect " << effect << " key " << key;
    }
  }
}

TEST_F(KeyboardEffects, FixedColourWavesMoveTheAlpha) {
  Start(1, false, true, 3);
  Step();
  // Column 0 at wheel index 1 -> wave entry 0; column 2 at index 1 - 14 = 179 -> entry 89.
  EXPECT_EQ(Key(120), Fixed(ScaleLevel(kWaveCurve[0], 195)));
  EXPECT_EQ(Key(0), Fixed(ScaleLevel(kWaveCurve[89], 195)));
}

TEST_F(KeyboardEffects, RowWaveSteps24EntriesPerRow) {
  Start(12);
  Step();
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const size_t index = (1 + 192 - kKeyCells[key].row * 24) % 192;
    ASSERT_EQ(Key(key), LightColour(Wheel(index), 255)) << key;
  }
}

TEST_F(KeyboardEffects, SnakeMovesOneKeyPerStepAlongTheSerpentine) {
  Start(3);
  Step();
  std::array<LightColour, kKeyboardLitKeys> before;
  for (size_t k = 0; k < kKeyboardLitKeys; ++k) before[k] = Key(kSerpentineOrder[k]);
  // Neighbours on the path are 5 wheel entries apart.
  EXPECT_EQ(before[0], LightColour(Wheel(5), 255));
  EXPECT_EQ(before[1], LightColour(Wheel(0), 255));
  EXPECT_EQ(before[2], LightColour(Wheel(187), 255));
  Step();
  for (size_t k = 1; k < kKeyboardLitKeys; ++k) {
    ASSERT_EQ(Key(kSerpentineOrder[k]), before[k - 1]) << k;
  }
}

TEST_F(KeyboardEffects, StaticRainbowAndMovingRainbowFollowTheDiagonalGroups) {
  Start(6);
  Step();
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    ASSERT_EQ(Key(key), LightColour(Wheel(kDiagonalGroupOfKey[key] * 16), 255));
  }
  Start(6, false, true, 2);
  Step();
  EXPECT_EQ(Key(0), Fixed(135));
  EXPECT_EQ(Key(125), Fixed(135));

  Start(18);
  Step(2);
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const size_t index = (2 + 192 - kDiagonalGroupOfKey[key] * 16) % 192;
    ASSERT_EQ(Key(key), LightColour(Wheel(index), 255)) << key;
  }
}

TEST_F(KeyboardEffects, KeyboardBreathingSpansTheCurveIn128Steps) {
  Start(5);
  int top = 0;
  for (int i = 1; i <= 127; ++i) {
    Step();
    top = std::max<int>(top, kBreathingCurve[engine_.animation().phase]);
    ASSERT_EQ(engine_.animation().phase, i);
    ASSERT_EQ(Key(0).a, ScaleLevel(kBreathingCurve[i], 255));
    ASSERT_EQ(Key(0), Key(125));
  }
  EXPECT_EQ(top, 255);
  EXPECT_EQ(Key(0), LightColour(Wheel(0), 0));  // entry 127 is dark again
  Step();  // the 128th step: the dark point, the colour moves 16 wheel entries on
  EXPECT_EQ(Key(0), LightColour(Wheel(16), 0));
  Step(40);
  EXPECT_EQ(Key(0), LightColour(Wheel(16), ScaleLevel(kBreathingCurve[40], 255)));
  EXPECT_EQ(engine_.colours().GetRaw(kKeyboardLitKeys), 0u);
}

TEST_F(KeyboardEffects, BackwardBreathingFromZeroGoesTo127) {
  Start(5, true, false);
  Step();
  EXPECT_EQ(engine_.animation().phase, 127);
}

TEST_F(KeyboardEffects, CustomColoursShowAtTheBrightnessLevel) {
  engine_.SetCustomColour(5, Rgb{1, 2, 3});
  engine_.SetCustomColour(200, Rgb{9, 9, 9});  // out of range: ignored
  Start(20, false, true, 1);
  // The start routine already shows them.
  EXPECT_EQ(Key(5), LightColour(1, 2, 3, 80));
  EXPECT_EQ(Key(6), LightColour(0, 0, 0, 80));
  EXPECT_EQ(engine_.customColour(200), Rgb{});
}

TEST_F(KeyboardEffects, CentreWaveSpreadsFromTheMiddleColumn) {
  Start(13);
  EXPECT_EQ(engine_.fx().originColumn, kCentreWaveOrigin);
  Step();
  // The middle rows set off first.
  EXPECT_TRUE(Lit(kKeyboardMatrix[2][11]));
  EXPECT_TRUE(Lit(kKeyboardMatrix[3][11]));
  EXPECT_FALSE(Lit(kKeyboardMatrix[0][11]));
  EXPECT_EQ(LitCount(), 2u);
  Step();
  EXPECT_EQ(Key(kKeyboardMatrix[2][10]).a, kFull);
  EXPECT_EQ(Key(kKeyboardMatrix[2][12]).a, kFull);
  EXPECT_EQ(Key(kKeyboardMatrix[1][11]).a, kFull);
  EXPECT_LT(Key(kKeyboardMatrix[2][11]).a, kFull);  // fading behind the front
  Step(10);
  // The first fronts reach both edges.
  EXPECT_EQ(Key(kKeyboardMatrix[3][22]).a, kFull);
  EXPECT_EQ(Key(kKeyboardMatrix[3][0]).a, kFull);
  Step();
  EXPECT_EQ(Key(kKeyboardMatrix[3][22]).a, kFaded);
}

TEST_F(KeyboardEffects, SlantedWaveEntersAtTheEdgeOfItsDirection) {
  Start(14);
  Step(2);
  EXPECT_EQ(Key(120).a, kFull);  // row 1, column 0: one step after row 0
  Step();
  EXPECT_EQ(Key(21).a, kFull);   // row 1 moved to column 1
  EXPECT_EQ(Key(121).a, kFull);  // row 2 entered
  Start(14, true, false);
  Step();
  EXPECT_EQ(Key(20).a, kFull);  // row 0, column 22
}

TEST_F(KeyboardEffects, BounceSweepStartsAtTheLeftEdgeAndTurns) {
  Start(16);
  Step();
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    const uint8_t key = kKeyboardMatrix[r][0];
    if (IsLitKey(key)) {
      EXPECT_EQ(Key(key).a, kFull) << r;
    }
  }
  Step(22);
  EXPECT_EQ(Key(kKeyboardMatrix[1][22]).a, kFull);
  Step();
  EXPECT_EQ(Key(kKeyboardMatrix[1][21]).a, kFull);
  EXPECT_LT(Key(kKeyboardMatrix[1][22]).a, kFull);
}

TEST_F(KeyboardEffects, ColourSweepFillsFromTheFxSide) {
  Start(17, false);
  Step();
  EXPECT_EQ(Key(120), Fixed(255));
  EXPECT_EQ(Key(21).a, 0);
  Step(22);
  EXPECT_EQ(LitCount(), kKeyboardLitKeys);
  Step();  // the next crossing starts empty again
  EXPECT_EQ(Key(120), Fixed(255));
  EXPECT_EQ(Key(20).a, 0);
  Start(17, false, false);
  Step();
  EXPECT_EQ(Key(20), Fixed(255));
  EXPECT_EQ(Key(120).a, 0);
}

TEST_F(KeyboardEffects, FillSweepFillsThenEmptiesInTheSweepOrder) {
  Start(32, false);
  Step();
  EXPECT_EQ(LitCount(), 1u);
  EXPECT_TRUE(Lit(kSweepOrder[0]));
  Step(29);
  size_t expected = 0;
  for (size_t i = 0; i < 30; ++i) expected += IsLitKey(kSweepOrder[i]) ? 1 : 0;
  EXPECT_EQ(LitCount(), expected);
  Step(140);  // 170 steps: full
  EXPECT_EQ(LitCount(), kKeyboardLitKeys);
  Step();
  EXPECT_FALSE(Lit(kSweepOrder[0]));
  Step(169);  // 340 steps: empty
  EXPECT_EQ(LitCount(), 0u);
  Step();
  EXPECT_EQ(LitCount(), 1u);

  // Backwards the last lit key of the order comes first.
  Start(32, false, false);
  Step();
  size_t last = kSweepPositions - 1;
  while (!IsLitKey(kSweepOrder[last])) --last;
  Step(static_cast<int>(kSweepPositions - 1 - last));
  EXPECT_EQ(LitCount(), 1u);
  EXPECT_TRUE(Lit(kSweepOrder[last]));
}

TEST_F(KeyboardEffects, RainLightsTheTableStepByStep) {
  Start(19, false);
  Step();
  std::set<int> expected;
  for (uint8_t key : kRainTable[0]) {
    if (IsLitKey(key)) expected.insert(key);
  }
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    EXPECT_EQ(Key(key).a, expected.count(key) ? kFull : 0) << key;
  }
  Step();
  for (uint8_t key : kRainTable[1]) {
    if (IsLitKey(key)) {
      EXPECT_EQ(Key(key).a, kFull);
    }
  }
  // Keys of step 0 not in step 1 fade.
  for (int key : expected) {
    bool again = false;
    for (uint8_t k : kRainTable[1]) again = again || k == key;
    if (!again) {
      EXPECT_EQ(Key(key).a, kFaded) << key;
    }
  }
  Step(static_cast<int>(kRainSteps) - 1);
  EXPECT_EQ(engine_.fx().rainStep, 1);  // cyclic
}

TEST_F(KeyboardEffects, TwinkleLightsAtMostSixKeysPerStep) {
  Start(10, true, true, 3);
  Step();
  const size_t first = LitCount();
  EXPECT_GE(first, 1u);
  EXPECT_LE(first, kTwinkleKeysPerStep);
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    if (Lit(key)) {
      EXPECT_EQ(Key(key).a, ScaleLevel(255, 195));
    }
  }
  bool fading = false;
  for (int i = 0; i < 40; ++i) {
    Step();
    size_t fresh = 0;
    for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
      const uint8_t a = Key(key).a;
      fresh += a == ScaleLevel(255, 195) ? 1 : 0;
      fading = fading || (a > 0 && a < ScaleLevel(255, 195));
    }
    ASSERT_GE(fresh, 1u);
    ASSERT_LE(fresh, kTwinkleKeysPerStep);
  }
  EXPECT_TRUE(fading);
  // Keys lit long ago have faded out: never the whole board at once.
  EXPECT_LT(LitCount(), kKeyboardLitKeys * 3 / 4);
}

TEST_F(KeyboardEffects, GradientBreathingAdvancesByTwo) {
  Start(15);
  Step();
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const uint8_t count = static_cast<uint8_t>(kKeyCells[key].column * 11 + 2);
    ASSERT_EQ(engine_.fx().count[key], count);
    ASSERT_EQ(Key(key).a, ScaleLevel(kBreathingCurve[count / 2], 255));
  }
  // A key whose counter wraps takes a new colour; the others keep theirs.
  const size_t key = kKeyboardMatrix[1][22];  // column 22: counter 244
  const uint8_t other = engine_.fx().hue[kKeyboardMatrix[1][1]];
  Step(6);
  EXPECT_LT(engine_.fx().count[key], 20);
  EXPECT_EQ(engine_.fx().hue[kKeyboardMatrix[1][1]], other);
}

TEST_F(KeyboardEffects, ColumnBreathingStartsEachColumnTogether) {
  Start(33);
  Step();
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const size_t top = kKeyboardMatrix[1][kKeyCells[key].column];  // row 1 is full
    ASSERT_EQ(engine_.fx().count[key], engine_.fx().count[top]) << key;
  }
  std::set<int> starts;
  for (size_t c = 0; c < kKeyboardColumns; ++c)
    starts.insert(engine_.fx().count[kKeyboardMatrix[1][c]]);
  EXPECT_GT(starts.size(), 10u);
  const uint8_t before = engine_.fx().count[0];
  Step();
  EXPECT_EQ(engine_.fx().count[0], static_cast<uint8_t>(before + 1));
}

TEST_F(KeyboardEffects, PressFadeMarksThePressedKey) {
  Start(7, false, true, 4);
  engine_.PressKey(40);
  engine_.PressKey(150);     // no light: ignored
  engine_.PressKey(100000);  // nonsense: ignored
  Step();
  EXPECT_EQ(Key(40), Fixed(kFull));
  EXPECT_EQ(LitCount(), 1u);
  Step();
  EXPECT_EQ(Key(40), Fixed(kFaded));
  Step(40);
  EXPECT_EQ(LitCount(), 0u);
}

TEST_F(KeyboardEffects, PressesOutsideTheReactiveEffectsAreDropped) {
  Start(1);
  engine_.PressKey(40);
  Step();
  Start(7);
  Step();
  EXPECT_EQ(LitCount(), 0u);
}

TEST_F(KeyboardEffects, RippleRingsAndCrossesSpreadFromTheKey) {
  const size_t origin = kKeyboardMatrix[3][11];
  Start(8, false);
  engine_.PressKey(origin);
  Step();
  EXPECT_EQ(LitCount(), 1u);
  EXPECT_EQ(Key(origin).a, kFull);
  Step();
  for (auto [r, c] : {std::pair{2, 11}, {4, 11}, {3, 10}, {3, 12}, {2, 10}, {4, 12}}) {
    EXPECT_EQ(Key(kKeyboardMatrix[r][c]).a, kFull) << r << "," << c;
  }
  EXPECT_FALSE(Lit(kKeyboardMatrix[0][2]));

  Start(9, false);
  engine_.PressKey(origin);
  Step(2);
  EXPECT_EQ(Key(kKeyboardMatrix[2][11]).a, kFull);
  EXPECT_EQ(Key(kKeyboardMatrix[3][12]).a, kFull);
  EXPECT_FALSE(Lit(kKeyboardMatrix[2][10]));
  Step(3);
  EXPECT_EQ(Key(kKeyboardMatrix[3][15]).a, kFull);
  EXPECT_EQ(Key(kKeyboardMatrix[0][11]).a, kFaded);  // one step behind
  EXPECT_FALSE(Lit(kKeyboardMatrix[1][13]));
  Step(60);
  EXPECT_EQ(LitCount(), 0u);  // the ripple ran out
}

TEST_F(KeyboardEffects, RippleSlotsAreReusedWhenAllAreBusy) {
  Start(8);
  for (size_t i = 0; i < kMaxRipples + 3; ++i) {
    engine_.PressKey(i * 10);
    Step();
  }
  size_t active = 0;
  for (const KeyboardRipple& r : engine_.fx().ripples) active += r.active ? 1 : 0;
  EXPECT_EQ(active, kMaxRipples);
  // The newest press owns a slot.
  bool newest = false;
  const KeyCell cell = kKeyCells[(kMaxRipples + 2) * 10];
  for (const KeyboardRipple& r : engine_.fx().ripples) {
    newest = newest || (r.active && r.row == cell.row && r.column == cell.column);
  }
  EXPECT_TRUE(newest);
}

TEST_F(KeyboardEffects, HeldKeysStayLitUntilReleased) {
  Start(25, false);
  engine_.PressKey(40);
  Step(20);
  EXPECT_EQ(Key(40), Fixed(kFull));
  engine_.ReleaseKey(40);
  Step();
  EXPECT_EQ(Key(40), Fixed(kFaded));
  Step(40);
  EXPECT_FALSE(Lit(40));
  // A tap between two steps lights the key once.
  engine_.PressKey(41);
  engine_.ReleaseKey(41);
  Step();
  EXPECT_EQ(Key(41).a, kFull);
  Step();
  EXPECT_EQ(Key(41).a, kFaded);
}

TEST_F(KeyboardEffects, BaseStepsKeepListIndicesWithoutALightDark) {
  for (int effect : {4, 21, 26, 27, 34}) {
    Start(effect);
    Step(3);
    for (size_t i = kKeyboardLitKeys; i < kKeyboardLights; ++i) {
      ASSERT_EQ(engine_.colours().GetRaw(i), 0u) << "effect " << effect;
    }
  }
  Start(4);
  Step();
  EXPECT_EQ(Key(0), LightColour(Wheel(engine_.animation().phase), 255));
}

}  // namespace
}  // namespace varkon

namespace varkon {
namespace {

TEST(KeyboardRipples, EdgeKeysAreExactlyThoseAtTheRadius) {
  for (size_t origin = 0; origin < kKeyboardLitKeys; ++origin) {
    for (bool cross : {false, true}) {
      KeyboardFx fx;
      StartRipple(fx, origin, cross, 0);
      for (uint8_t radius = 0; radius <= kMaxRippleRadius; ++radius) {
        const KeyboardRipple ripple = fx.ripples[0];
        ASSERT_TRUE(ripple.active);
        ASSERT_EQ(ripple.radius, radius);
        fx.level.fill(0);
        GrowRipples(fx);
        for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
          const bool onEdge = RippleDistance(ripple, kKeyCells[key]) == radius;
          ASSERT_EQ(fx.level[key] == 255, onEdge) << "origin " << origin << " cross " << cross
                                                  << " radius " << int{radius} << " key " << key;
        }
      }
      EXPECT_FALSE(fx.ripples[0].active);
    }
  }
}

}  // namespace
}  // namespace varkon
