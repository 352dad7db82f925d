#include "devices/keyboard_light_fronts.h"

#include "devices/keyboard_light_orders.h"

namespace varkon {
namespace {

constexpr uint32_t kColumnMask = (uint32_t{1} << kKeyboardColumns) - 1;
constexpr uint8_t kLastColumn = kKeyboardColumns - 1;
// Steps between two fronts of the centre wave and of the slanted wave.
constexpr uint8_t kCentreGap = 8;
constexpr uint8_t kSlantGap = 10;
// The centre wave leaves the middle rows first, so its fronts bow outwards.
constexpr std::array<uint8_t, kKeyboardRows> kCentreDelay = {2, 1, 0, 0, 1, 2};
// Wheel entries between the colours of neighbouring columns of a front, and between two sweeps.
constexpr uint8_t kFrontHueSpread = 8;
constexpr uint8_t kSweepHueStep = 32;
constexpr int kModeCentreWave = 13;
constexpr int kModeSlantedWave = 14;
constexpr int kModeBounceSweep = 16;

uint8_t AddHue(size_t hue, size_t add) {
  return static_cast<uint8_t>((hue + add) % kWheelSize);
}

uint8_t Distance(uint8_t a, uint8_t b) {
  return a > b ? a - b : b - a;
}

// Keys under a front take full intensity and the hue of `hueOf(column)`; the others fade by
// `mode`. Then every key is drawn.
template <typename HueOf>
void LightFronts(KeyboardPass& pass, int mode, HueOf hueOf) {
  KeyboardFx& fx = pass.fx;
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const KeyCell cell = kKeyCells[key];
    if ((fx.fronts[cell.row] >> cell.column & 1) != 0) {
      fx.level[key] = 255;
      fx.hue[key] = hueOf(cell.column);
    } else {
      fx.level[key] = DecayLevel(fx.level[key], mode);
    }
  }
  RenderKeyLevels(pass);
}

}  // namespace

void StartCentreWave(KeyboardFx& fx) {
  fx.originColumn = kCentreWaveOrigin;
  fx.fronts.fill(0);
  fx.counter = 0;
}

void StepCentreWave(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const uint8_t o = fx.originColumn < kKeyboardColumns ? fx.originColumn : kCentreWaveOrigin;
  const uint32_t leftHalf = (uint32_t{2} << o) - 1;      // columns 0 … o
  const uint32_t rightHalf = ~((uint32_t{1} << o) - 1);  // columns o … 22
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    const uint32_t m = fx.fronts[r];
    uint32_t next = ((m & leftHalf) >> 1 | (m & rightHalf) << 1) & kColumnMask;
    if (fx.counter == kCentreDelay[r]) next |= uint32_t{1} << o;
    fx.fronts[r] = next;
  }
  fx.counter = static_cast<uint8_t>((fx.counter + 1) % kCentreGap);
  fx.phase = AddHue(fx.phase, 1);
  LightFronts(pass, kModeCentreWave,
              [&](uint8_t c) { return AddHue(fx.phase, Distance(c, o) * kFrontHueSpread); });
}

void StepSlantedWave(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const bool forward = pass.state.Forward();
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    const uint32_t m = fx.fronts[r];
    uint32_t next = forward ? (m << 1) & kColumnMask : m >> 1;
    // Row r sets off r steps after the top row: the fronts lean back from the top.
    if ((fx.counter + kSlantGap - r % kSlantGap) % kSlantGap == 0) {
      next |= uint32_t{1} << (forward ? 0 : kLastColumn);
    }
    fx.fronts[r] = next;
  }
  fx.counter = static_cast<uint8_t>((fx.counter + 1) % kSlantGap);
  fx.phase = AddHue(fx.phase, 1);
  LightFronts(pass, kModeSlantedWave,
              [&](uint8_t c) { return AddHue(fx.phase, size_t{c} * kFrontHueSpread); });
}

void StartBounceSweep(KeyboardFx& fx) {
  fx.position = 0;
  fx.heading = 1;
  fx.fronts.fill(0);
}

void StepBounceSweep(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  if (fx.position > kLastColumn) fx.position = kLastColumn;
  fx.fronts.fill(uint32_t{1} << fx.position);
  LightFronts(pass, kModeBounceSweep, [&](uint8_t) { return fx.colourIndex; });
  // Turn at the edges; each turn brings the next colour.
  if ((fx.heading > 0 && fx.position == kLastColumn) || (fx.heading < 0 && fx.position == 0)) {
    fx.heading = static_cast<int8_t>(-fx.heading);
    fx.colourIndex = AddHue(fx.colourIndex, kSweepHueStep);
  }
  fx.position = static_cast<uint16_t>(fx.position + fx.heading);
}

void StepColourSweep(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const LightState& s = pass.state;
  const bool forward = s.Forward();
  if (fx.position > kLastColumn) fx.position = 0;
  const uint8_t front = forward ? fx.position : kLastColumn - fx.position;
  const uint8_t level = KeyLevel(s);
  const LightColour behind(s.Multicolour() ? Wheel(fx.colourIndex) : FixedColour(s), level);
  // Ahead of the front: the colour of the last crossing, or dark for a fixed colour (the
  // board fills again).
  const LightColour ahead =
      s.Multicolour()
          ? LightColour(Wheel(AddHue(fx.colourIndex, kWheelSize - kSweepHueStep)), level)
          : LightColour(FixedColour(s), 0);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const uint8_t c = kKeyCells[key].column;
    const bool passed = forward ? c <= front : c >= front;
    PutKey(pass.out, key, passed ? behind : ahead);
  }
  if (++fx.position > kLastColumn) {
    fx.position = 0;
    fx.colourIndex = AddHue(fx.colourIndex, kSweepHueStep);
  }
}

void StepFillSweep(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  const LightState& s = pass.state;
  if (fx.position >= 2 * kSweepPositions) fx.position = 0;
  const bool filling = fx.position < kSweepPositions;
  const size_t reached = filling ? fx.position : fx.position - kSweepPositions;
  const uint8_t level = KeyLevel(s);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const size_t i =
        s.Forward() ? kSweepIndexOfKey[key] : kSweepPositions - 1 - kSweepIndexOfKey[key];
    const bool lit = filling ? i <= reached : i > reached;
    const Rgb colour =
        s.Multicolour() ? Wheel(fx.colourIndex + i * kWheelSize / kSweepPositions) : FixedColour(s);
    PutKey(pass.out, key, colour, lit ? level : 0);
  }
  if (++fx.position >= 2 * kSweepPositions) {
    fx.position = 0;
    fx.colourIndex = AddHue(fx.colourIndex, kSweepHueStep);
  }
}

}  // namespace varkon
