// Fixed lighting data: the 192-entry colour wheel, the four-colour list, the breathing and wave
// curves, the brightness and speed tables, and the byte stepper of the stepped animations.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varkon {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr size_t kWheelSize = 192;
constexpr size_t kWheelSegment = 32;
constexpr size_t kBreathingSize = 128;
constexpr size_t kWaveSize = 96;
constexpr size_t kLevelCount = 5;  // brightness and speed levels 0-4

namespace light_detail {

constexpr std::array<uint8_t, kWheelSegment> kRise = {
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, kWheelSegment> kFall = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

constexpr std::array<Rgb, kWheelSize> MakeWheel() {
  std::array<Rgb, kWheelSize> wheel{};
  for (size_t j = 0; j < kWheelSegment; ++j) {
    const uint8_t u = kRise[j];
    const uint8_t d = kFall[j];
    wheel[0 * kWheelSegment + j] = {255, u, 0};
    wheel[1 * kWheelSegment + j] = {d, 255, 0};
    wheel[2 * kWheelSegment + j] = {0, 255, u};
    wheel[3 * kWheelSegment + j] = {0, d, 255};
    wheel[4 * kWheelSegment + j] = {u, 0, 255};
    wheel[5 * kWheelSegment + j] = {255, 0, d};
  }
  return wheel;
}

constexpr std::array<uint8_t, kBreathingSize> MakeBreathing() {
  struct Run {
    int first, last, step;
  };
  constexpr Run kRuns[] = {{0, 10, 1},   {12, 24, 2},   {27, 45, 3},  {49, 89, 4},
                           {94, 134, 5}, {140, 206, 6}, {213, 255, 7}};
  std::array<uint8_t, kBreathingSize> curve{};
  size_t n = 0;
  for (const Run& run : kRuns) {
    for (int v = run.first; v <= run.last; v += run.step) curve[n++] = static_cast<uint8_t>(v);
  }
  for (size_t i = 0; i < kBreathingSize / 2; ++i) curve[kBreathingSize - 1 - i] = curve[i];
  return curve;
}

// The rising half of the breathing curve from 22 up to 255, then back down to 22.
constexpr std::array<uint8_t, kWaveSize> MakeWave() {
  constexpr auto breathing = MakeBreathing();
  std::array<uint8_t, kWaveSize> wave{};
  size_t n = 0;
  for (size_t i = 0; i < kBreathingSize / 2; ++i) {
    if (breathing[i] >= 22) wave[n++] = breathing[i];
  }
  const size_t half = n;
  for (size_t i = 0; i < half; ++i) wave[n++] = wave[half - 1 - i];
  return wave;
}

}  // namespace light_detail

inline constexpr std::array<Rgb, kWheelSize> kColourWheel = light_detail::MakeWheel();
inline constexpr std::array<Rgb, 4> kFourColours = {Rgb{0, 255, 180}, Rgb{0, 255, 0},
                                                    Rgb{255, 255, 255}, Rgb{255, 0, 0}};
inline constexpr std::array<uint8_t, kBreathingSize> kBreathingCurve =
    light_detail::MakeBreathing();
inline constexpr std::array<uint8_t, kWaveSize> kWaveCurve = light_detail::MakeWave();
inline constexpr std::array<uint8_t, kLevelCount> kBrightnessTable = {0, 80, 135, 195, 255};
// Passes of a light thread between two animation steps, by speed level.
inline constexpr std::array<uint8_t, kLevelCount> kSpeedTicks = {8, 6, 4, 2, 1};
// The custom sequence's spectrum step counts differently.
inline constexpr std::array<uint8_t, kLevelCount> kSequenceSpectrumTicks = {10, 8, 5, 3, 1};
inline constexpr uint32_t kBlinkMsPerTick = 200;

// Wheel colour of any index: indices wrap within the 192 entries (index 192 is index 0).
constexpr Rgb Wheel(size_t index) {
  return kColourWheel[index % kWheelSize];
}
// Four-colour list entry; indices wrap within the four.
constexpr Rgb FourColour(size_t index) {
  return kFourColours[index % kFourColours.size()];
}
// Levels above 4 (read from a file or a device) count as 4.
constexpr size_t ClampLevel(uint8_t level) {
  return level < kLevelCount ? level : kLevelCount - 1;
}
constexpr uint8_t Brightness(uint8_t level) {
  return kBrightnessTable[ClampLevel(level)];
}
constexpr uint8_t SpeedTicks(uint8_t speed) {
  return kSpeedTicks[ClampLevel(speed)];
}
constexpr uint8_t SequenceSpectrumTicks(uint8_t speed) {
  return kSequenceSpectrumTicks[ClampLevel(speed)];
}
// Blink period in ms: 1600, 1200, 800, 400, 200 for speed 0-4.
constexpr uint32_t BlinkPeriodMs(uint8_t speed) {
  return SpeedTicks(speed) * kBlinkMsPerTick;
}
// A curve value scaled by a brightness, rounding down: value × brightness / 256.
constexpr uint8_t ScaleLevel(uint8_t value, uint8_t brightness) {
  return static_cast<uint8_t>((value * brightness) >> 8);
}

// The stepper of the stepped animations, on bytes. Forward: value + increment, or 0 when that
// reaches `limit`. Backward: value - increment (modulo 256), or limit - increment when that is
// `limit` or more (so stepping back from 0 with limit 128 gives 127).
constexpr uint8_t Step(bool forward, int limit, uint8_t value, uint8_t increment) {
  if (forward) {
    const uint8_t next = static_cast<uint8_t>(value + increment);
    return next >= limit ? 0 : next;
  }
  const uint8_t next = static_cast<uint8_t>(value - increment);
  return next >= limit ? static_cast<uint8_t>(limit - increment) : next;
}

}  // namespace varkon
