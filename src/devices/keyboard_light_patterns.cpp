#include "devices/keyboard_light_patterns.h"

#include "devices/keyboard_light_orders.h"

namespace varkon {
namespace {

constexpr uint8_t kSnakeSpread = 5;
constexpr uint8_t kRowSpread = 24;
constexpr uint8_t kGroupSpread = kWheelSize / kDiagonalGroups;  // 16: one rainbow over 12 groups

// Moves a wheel phase one step: forward or backward within the wheel.
uint8_t MovePhase(uint8_t phase, bool forward, uint8_t increment) {
  return Step(forward, kWheelSize, phase, increment);
}

// Wheel index of a pattern element `distance` units from the start, `spread` entries per unit;
// the phase runs ahead of the elements, so a rising phase moves the pattern towards higher units.
size_t PatternIndex(uint8_t phase, size_t distance, size_t spread) {
  return (phase + kWheelSize - (distance * spread) % kWheelSize) % kWheelSize;
}

}  // namespace

void StepColumnWave(KeyboardPass& pass, uint8_t columnSpread) {
  KeyboardFx& fx = pass.fx;
  fx.phase = MovePhase(fx.phase, pass.state.Forward(), 1);
  std::array<LightColour, kKeyboardColumns> columns;
  for (size_t c = 0; c < kKeyboardColumns; ++c) {
    columns[c] = PatternColour(pass.state, PatternIndex(fx.phase, c, columnSpread));
  }
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) PutKey(pass.out, key, columns[kKeyCells[key].column]);
}

void StepSnake(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  fx.phase = MovePhase(fx.phase, pass.state.Forward(), kSnakeSpread);
  for (size_t k = 0; k < kSerpentineOrder.size(); ++k) {
    PutKey(pass.out, kSerpentineOrder[k],
           PatternColour(pass.state, PatternIndex(fx.phase, k, kSnakeSpread)));
  }
}

void StepColourCycle(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const bool forward = pass.state.Forward();
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    fx.wheel[key] = MovePhase(fx.wheel[key], forward, 1);
    PutKey(pass.out, key, PatternColour(pass.state, fx.wheel[key]));
  }
}

void StepRowWave(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  fx.phase = MovePhase(fx.phase, pass.state.Forward(), 1);
  std::array<LightColour, kKeyboardRows> rows;
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    rows[r] = PatternColour(pass.state, PatternIndex(fx.phase, r, kRowSpread));
  }
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) PutKey(pass.out, key, rows[kKeyCells[key].row]);
}

void StepDiagonalRainbow(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  fx.phase = MovePhase(fx.phase, pass.state.Forward(), 1);
  std::array<LightColour, kDiagonalGroups> groups;
  for (size_t g = 0; g < kDiagonalGroups; ++g) {
    groups[g] = PatternColour(pass.state, PatternIndex(fx.phase, g, kGroupSpread));
  }
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) PutKey(pass.out, key, groups[kDiagonalGroupOfKey[key]]);
}

void StepCustomColours(KeyboardPass& pass) {
  const uint8_t level = KeyLevel(pass.state);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    PutKey(pass.out, key, pass.inputs.customColour(key), level);
  }
}

void StepKeyboardBreathing(AnimationState& a, const LightState& s, ColourBuffer& out) {
  a.phase = Step(s.Forward(), kBreathingSize, a.phase, 1);
  if (a.phase == 0) {
    a.colourIndex = static_cast<uint8_t>(a.colourIndex + 16);
    if (a.colourIndex > kWheelSize) a.colourIndex = 0;
  }
  const Rgb colour = s.Multicolour() ? Wheel(a.colourIndex) : FixedColour(s);
  const LightColour c(colour, ScaleLevel(kBreathingCurve[a.phase % kBreathingSize], KeyLevel(s)));
  const size_t n = LitKeys(out);
  for (size_t key = 0; key < n; ++key) PutKey(out, key, c);
}

void StepKeyboardStatic(const LightState& s, ColourBuffer& out) {
  const uint8_t level = KeyLevel(s);
  const size_t n = LitKeys(out);
  for (size_t key = 0; key < n; ++key) {
    const Rgb colour =
        s.Multicolour() ? Wheel(size_t{kDiagonalGroupOfKey[key]} * kGroupSpread) : FixedColour(s);
    PutKey(out, key, colour, level);
  }
}

void SeedWheelPositions(KeyboardFx& fx) {
  uint8_t v = 0;
  for (uint8_t& position : fx.wheel) {
    position = v;
    v = static_cast<uint8_t>(v + (v >= 160 && v <= 222 ? 97 : 33));
  }
}

}  // namespace varkon
