// Invariants over every keyboard effect 1-34 at every speed: nothing is written past the light
// count or to list indices without a light, no alpha exceeds the brightness level, brightness 0
// leaves every key dark, and every effect that is not static or off keeps changing.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "devices/keyboard_light_effects.h"
#include "devices/keyboard_light_engine.h"

namespace varkon {
namespace {

using Frame = std::array<uint32_t, kKeyboardLights>;

bool IsStill(int effect) {
  return effect == 6 || effect == 20 || effect == 21;
}

LightState State(int effect, uint8_t speed, uint8_t brightness, bool multicolour, bool forward) {
  LightState s;
  s.mode = static_cast<uint8_t>(effect);
  s.speed = speed;
  s.brightness = brightness;
  s.multicolour = multicolour ? 1 : 0;
  s.direction = forward ? 1 : 0;
  s.red = 30;
  s.green = 160;
  s.blue = 250;
  return s;
}

// Drives one engine through an effect with key presses and changing music, as the device would.
class Drive {
 public:
  explicit Drive(size_t lights) : engine_(lights, shared_, TickRule::kTickChangeOver1Ms, 1234) {
    for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
      engine_.SetCustomColour(key, Rgb{static_cast<uint8_t>(key), 7, 99});
    }
  }

  void Start(const LightState& state, uint8_t musicStyle) {
    KeyboardAudioLight light;
    light.style = musicStyle;
    light.background = {0, 0, 40};
    light.foreground = {255, 128, 0};
    light.multicolour = state.multicolour != 0;
    engine_.SetAudioLight(light);
    engine_.SetLightState(state);
    engine_.RestartEffect();
    pass_ = 0;
  }

  void Pass() {
    ++pass_;
    if (pass_ % 7 == 0) engine_.PressKey((pass_ * 13) % kKeyboardLitKeys);
    if (pass_ % 7 == 3) engine_.ReleaseKey(((pass_ - 3) * 13) % kKeyboardLitKeys);
    if (pass_ % 4 == 0) {
      std::array<int32_t, kAudioBands> levels;
      for (size_t b = 0; b < kAudioBands; ++b) {
        levels[b] = static_cast<int32_t>((pass_ * 37 + b * 211) % 2400);
      }
      engine_.FeedAudioLevels(levels);
    }
    clock_.Advance(16);
    engine_.Pass(clock_.NowMs());
  }

  Frame Snapshot() const {
    Frame f{};
    engine_.colours().Snapshot(f);
    return f;
  }

  KeyboardLightEngine& engine() { return engine_; }

 private:
  LightClassShared shared_;
  KeyboardLightEngine engine_;
  ManualLightClock clock_{5000};
  uint32_t pass_ = 0;
};

TEST(KeyboardInvariants, EveryEffectAndSpeed) {
  constexpr int kPasses = 400;  // 6.4 s: a blink at speed 0 toggles four times
  Drive drive(kKeyboardLights);
  for (int effect = kKeyboardFirstEffect; effect <= kKeyboardLastEffect; ++effect) {
    if (!KeyboardHasStep(effect)) continue;
    for (uint8_t speed = 0; speed < kLevelCount; ++speed) {
      for (bool multicolour : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "effect " << effect << " speed " << int{speed}
                                          << " multicolour " << multicolour);
        const uint8_t brightness = static_cast<uint8_t>(1 + (speed + multicolour) % 4);
        const uint8_t maxAlpha = Brightness(brightness);
        drive.Start(State(effect, speed, brightness, multicolour, speed % 2 == 0),
                    static_cast<uint8_t>((speed + (multicolour ? 5 : 0)) % kMusicStyleCount));
        std::set<Frame> distinct;
        Frame previous{};
        int changes = 0;
        for (int i = 0; i < kPasses; ++i) {
          drive.Pass();
          const Frame f = drive.Snapshot();
          for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
            ASSERT_LE(LightColour::Unpack(f[key]).a, maxAlpha) << "key " << key << " pass " << i;
          }
          for (size_t i2 = kKeyboardLitKeys; i2 < kKeyboardLights; ++i2) {
            ASSERT_EQ(f[i2], 0u) << "list index " << i2 << " has no light";
          }
          // Still effects may change until their first step (at most 10 counted passes).
          if ((i > 20 || !IsStill(effect)) && i > 0 && f != previous) ++changes;
          previous = f;
          if (distinct.size() < 16) distinct.insert(f);
        }
        if (IsStill(effect)) {
          EXPECT_EQ(changes, 0);
        } else {
          // A blink in one colour alternates between two pictures; everything else has more.
          EXPECT_GE(distinct.size(), effect == 34 && !multicolour ? 2u : 3u);
          EXPECT_GE(changes, 3) << "the effect is stuck";
        }
      }
    }
  }
  EXPECT_EQ(drive.engine().colours().rejectedWrites(), 0u);
}

TEST(KeyboardInvariants, NothingWrittenPastASmallLightCount) {
  constexpr size_t kLights = 60;
  Drive drive(kLights);
  for (int effect = kKeyboardFirstEffect; effect <= kKeyboardLastEffect; ++effect) {
    for (uint8_t speed : {0, 4}) {
      drive.Start(State(effect, speed, 4, speed == 4, true), static_cast<uint8_t>(effect % 7));
      for (int i = 0; i < 60; ++i) drive.Pass();
    }
  }
  EXPECT_EQ(drive.engine().colours().size(), kLights);
  EXPECT_EQ(drive.engine().colours().rejectedWrites(), 0u);
}

TEST(KeyboardInvariants, BrightnessZeroKeepsEveryKeyDark) {
  Drive drive(kKeyboardLights);
  for (int effect = kKeyboardFirstEffect; effect <= kKeyboardLastEffect; ++effect) {
    if (!KeyboardHasStep(effect)) continue;
    for (bool multicolour : {false, true}) {
      drive.Start(State(effect, 4, 0, multicolour, true), effect % 7);
      bool anyColour = false;
      for (int i = 0; i < 80; ++i) {
        drive.Pass();
        const Frame f = drive.Snapshot();
        for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
          const LightColour c = LightColour::Unpack(f[key]);
          ASSERT_EQ(c.a, 0) << "effect " << effect << " key " << key;
          anyColour = anyColour || c.r != 0 || c.g != 0 || c.b != 0;
        }
      }
      // The colours stay in the buffer (only the off effect clears them).
      if (effect != 21) {
        EXPECT_TRUE(anyColour) << "effect " << effect;
      }
    }
  }
}

}  // namespace
}  // namespace varkon
