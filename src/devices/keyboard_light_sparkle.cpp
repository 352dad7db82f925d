#include "devices/keyboard_light_sparkle.h"

#include "devices/keyboard_light_orders.h"

namespace varkon {
namespace {

constexpr int kModeTwinkle = 10;
constexpr int kModeRain = 19;
// Breathing counter and hue offset between neighbouring columns of the gradient.
constexpr uint8_t kGradientCounterStep = 11;
constexpr uint8_t kGradientHueStep = 8;
constexpr uint8_t kRainHueSpread = 8;

uint8_t RandomHue(KeyboardFx& fx) {
  return static_cast<uint8_t>(fx.Random() % kWheelSize);
}

}  // namespace

void StepTwinkle(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  DecayKeyLevels(fx, kModeTwinkle);
  const size_t n = LitKeys(pass.out);
  if (n > 0) {
    for (size_t i = 0; i < kTwinkleKeysPerStep; ++i) {
      const size_t key = fx.Random() % n;
      fx.level[key] = 255;
      fx.hue[key] = RandomHue(fx);
    }
  }
  RenderKeyLevels(pass);
}

void StartGradientBreathing(KeyboardFx& fx) {
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const uint8_t c = kKeyCells[key].column;
    fx.count[key] = static_cast<uint8_t>(c * kGradientCounterStep);
    fx.hue[key] = static_cast<uint8_t>(c * kGradientHueStep % kWheelSize);
  }
}

void StartColumnBreathing(KeyboardFx& fx) {
  std::array<uint8_t, kKeyboardColumns> starts;
  for (uint8_t& start : starts) start = static_cast<uint8_t>(fx.Random());
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    fx.count[key] = starts[kKeyCells[key].column];
    fx.hue[key] = RandomHue(fx);
  }
}

void StepRandomBreathing(KeyboardPass& pass, uint8_t increment) {
  KeyboardFx& fx = pass.fx;
  const LightState& s = pass.state;
  const uint8_t level = KeyLevel(s);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const uint8_t before = fx.count[key];
    fx.count[key] = static_cast<uint8_t>(before + increment);
    if (fx.count[key] < before) fx.hue[key] = RandomHue(fx);
    const Rgb colour = s.Multicolour() ? Wheel(fx.hue[key]) : FixedColour(s);
    // The 256 counter values run once through the 128-entry breathing curve.
    PutKey(pass.out, key, colour, ScaleLevel(kBreathingCurve[fx.count[key] / 2], level));
  }
}

void StepRain(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  DecayKeyLevels(fx, kModeRain);
  if (fx.rainStep >= kRainSteps) fx.rainStep = 0;
  for (uint8_t key : kRainTable[fx.rainStep]) {
    if (!IsLitKey(key)) continue;
    fx.level[key] = 255;
    fx.hue[key] =
        static_cast<uint8_t>((kKeyCells[key].column * kRainHueSpread + fx.phase) % kWheelSize);
  }
  fx.rainStep = static_cast<uint8_t>((fx.rainStep + 1) % kRainSteps);
  fx.phase = static_cast<uint8_t>((fx.phase + 1) % kWheelSize);
  RenderKeyLevels(pass);
}

}  // namespace varkon
