#include "devices/keyboard_light_audio.h"

#include <algorithm>

#include "devices/keyboard_light_reactive.h"

namespace varkon {
namespace {

constexpr int kModeMusic = 29;
constexpr int kModeAudioTwinkle = 30;
constexpr uint8_t kLastRow = kKeyboardRows - 1;
constexpr uint8_t kCentreColumn = kKeyboardColumns / 2;
// Wheel entries: green at the bottom of a bar, red at the top.
constexpr uint8_t kBarBottomHue = 64;
constexpr uint8_t kRippleHueStep = 24;
// Steps a peak marker holds before it falls one row.
constexpr uint8_t kPeakFallSteps = 4;
constexpr uint8_t kMaxSparklesPerStep = 4;

Rgb Mix(Rgb from, Rgb to, uint8_t amount) {
  auto channel = [amount](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>(a + (static_cast<int>(b) - a) * amount / 255);
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

// Rows counted from the bottom: 0 for the bottom row.
uint8_t RowFromBottom(uint8_t row) {
  return static_cast<uint8_t>(kLastRow - row);
}

uint8_t BarHue(uint8_t rowFromBottom) {
  return static_cast<uint8_t>(kBarBottomHue - rowFromBottom * kBarBottomHue / kLastRow);
}

uint8_t Loudness(const KeyboardLightInputs& inputs) {
  unsigned sum = 0;
  for (size_t b = 0; b < kAudioBands; ++b) sum += BandIntensity(inputs.audioLevel(b));
  return static_cast<uint8_t>(sum / kAudioBands);
}

std::array<uint8_t, kKeyboardColumns> ColumnHeights(const KeyboardLightInputs& inputs) {
  std::array<uint8_t, kKeyboardColumns> heights;
  for (size_t c = 0; c < kKeyboardColumns; ++c) {
    heights[c] = BandHeight(inputs.audioLevel(BandOfColumn(c)));
  }
  return heights;
}

bool UnderBar(KeyCell cell, const std::array<uint8_t, kKeyboardColumns>& heights) {
  return RowFromBottom(cell.row) < heights[cell.column];
}

void StepBars(KeyboardPass& pass, const KeyboardAudioLight& light, bool rainbow) {
  const auto heights = ColumnHeights(pass.inputs);
  const uint8_t level = KeyLevel(pass.state);
  const bool wheel = rainbow || light.multicolour;
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const KeyCell cell = kKeyCells[key];
    if (UnderBar(cell, heights)) {
      const Rgb colour = !wheel ? light.foreground
                         : rainbow
                             ? Wheel(cell.column * kWheelSize / kKeyboardColumns + pass.fx.phase)
                             : Wheel(BarHue(RowFromBottom(cell.row)));
      PutKey(pass.out, key, colour, level);
    } else {
      PutKey(pass.out, key, rainbow ? Rgb{} : light.background, rainbow ? 0 : level);
    }
  }
  if (rainbow) pass.fx.phase = static_cast<uint8_t>((pass.fx.phase + 1) % kWheelSize);
}

void StepCentreMeter(KeyboardPass& pass, const KeyboardAudioLight& light) {
  // Rows from the top take bands spread over the spectrum: treble at the top, bass at the bottom.
  std::array<uint8_t, kKeyboardRows> widths;
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    const size_t band = (kLastRow - r) * (kAudioBands - 1) / kLastRow;
    widths[r] = static_cast<uint8_t>(BandIntensity(pass.inputs.audioLevel(band)) *
                                     (kCentreColumn + 1) / 255);
  }
  const uint8_t level = KeyLevel(pass.state);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const KeyCell cell = kKeyCells[key];
    const uint8_t gap =
        cell.column > kCentreColumn ? cell.column - kCentreColumn : kCentreColumn - cell.column;
    if (gap < widths[cell.row]) {
      const Rgb colour = light.multicolour
                             ? Wheel(kBarBottomHue - gap * kBarBottomHue / kCentreColumn)
                             : light.foreground;
      PutKey(pass.out, key, colour, level);
    } else {
      PutKey(pass.out, key, light.background, level);
    }
  }
}

void StepMusicRipple(KeyboardPass& pass, const KeyboardAudioLight& light) {
  KeyboardFx& fx = pass.fx;
  DecayKeyLevels(fx, kModeMusic);
  for (uint32_t due = std::min<uint32_t>(pass.inputs.TakeRipples(), kMaxRipples); due > 0; --due) {
    fx.phase = static_cast<uint8_t>((fx.phase + kRippleHueStep) % kWheelSize);
    StartRipple(fx, kMusicRippleKey, false, fx.phase);
  }
  GrowRipples(fx);
  const uint8_t level = KeyLevel(pass.state);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    if (fx.level[key] == 0) {
      PutKey(pass.out, key, light.background, level);
    } else {
      const Rgb colour = light.multicolour ? Wheel(fx.hue[key]) : light.foreground;
      PutKey(pass.out, key, colour, ScaleLevel(fx.level[key], level));
    }
  }
}

void StepPulse(KeyboardPass& pass, const KeyboardAudioLight& light) {
  KeyboardFx& fx = pass.fx;
  const Rgb top = light.multicolour ? Wheel(fx.phase) : light.foreground;
  fx.phase = static_cast<uint8_t>((fx.phase + 1) % kWheelSize);
  const LightColour colour(Mix(light.background, top, Loudness(pass.inputs)), KeyLevel(pass.state));
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) PutKey(pass.out, key, colour);
}

void StepWaterfall(KeyboardPass& pass, const KeyboardAudioLight& light) {
  KeyboardFx& fx = pass.fx;
  const uint32_t feeds = pass.inputs.audioFeeds();
  if (feeds != fx.audioFeed) {
    fx.audioFeed = feeds;
    for (size_t r = kLastRow; r > 0; --r) fx.grid[r] = fx.grid[r - 1];
    for (size_t c = 0; c < kKeyboardColumns; ++c) {
      fx.grid[0][c] = BandIntensity(pass.inputs.audioLevel(BandOfColumn(c)));
    }
  }
  const uint8_t level = KeyLevel(pass.state);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const KeyCell cell = kKeyCells[key];
    const uint8_t v = fx.grid[cell.row][cell.column];
    if (light.multicolour) {
      // Quiet cells blue, loud ones red.
      PutKey(pass.out, key, Wheel(kWheelSize * 2 / 3 - v / 2), ScaleLevel(v, level));
    } else {
      PutKey(pass.out, key, Mix(light.background, light.foreground, v), level);
    }
  }
}

void StepPeakBars(KeyboardPass& pass, const KeyboardAudioLight& light) {
  KeyboardFx& fx = pass.fx;
  const auto heights = ColumnHeights(pass.inputs);
  const bool fall = ++fx.peakTimer >= kPeakFallSteps;
  if (fall) fx.peakTimer = 0;
  for (size_t c = 0; c < kKeyboardColumns; ++c) {
    if (heights[c] >= fx.peak[c]) {
      fx.peak[c] = heights[c];
    } else if (fall) {
      --fx.peak[c];
    }
  }
  const uint8_t level = KeyLevel(pass.state);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const KeyCell cell = kKeyCells[key];
    const uint8_t up = RowFromBottom(cell.row);
    const uint8_t peak = fx.peak[cell.column];
    if (UnderBar(cell, heights)) {
      PutKey(pass.out, key, light.multicolour ? Wheel(BarHue(up)) : light.foreground, level);
    } else if (peak > 0 && up == peak - 1) {
      PutKey(pass.out, key, Rgb{255, 255, 255}, level);
    } else {
      PutKey(pass.out, key, light.background, level);
    }
  }
}

}  // namespace

bool MusicBeatCounter::Add(std::span<const int32_t> levels) {
  int64_t sum = 0;
  for (size_t b = 0; b < kAudioBands; ++b) {
    const int64_t v = b < levels.size() && levels[b] > 0 ? levels[b] : 0;
    const int64_t scaled = v * 600 / kAudioFullScale;
    sum += scaled > 600 ? 500 : 600 - scaled;
  }
  const int64_t a = sum / static_cast<int64_t>(kAudioBands);
  total_ += 25 - a * 25 / 600;
  if (total_ < kMusicBeatThreshold) return false;
  total_ = 0;
  return true;
}

uint8_t BandIntensity(int32_t level) {
  if (level <= 0) return 0;
  if (level >= kAudioFullScale) return 255;
  return static_cast<uint8_t>(int64_t{level} * 255 / kAudioFullScale);
}

uint8_t BandHeight(int32_t level) {
  if (level <= 0) return 0;
  if (level >= kAudioFullScale) return kKeyboardRows;
  return static_cast<uint8_t>(int64_t{level} * kKeyboardRows / kAudioFullScale);
}

void StepMusic(KeyboardPass& pass) {
  const KeyboardAudioLight light = pass.inputs.audioLight();
  switch (static_cast<MusicStyle>(light.style)) {
    case MusicStyle::kCentreMeter:
      return StepCentreMeter(pass, light);
    case MusicStyle::kRipple:
      return StepMusicRipple(pass, light);
    case MusicStyle::kRainbowBars:
      return StepBars(pass, light, true);
    case MusicStyle::kPulse:
      return StepPulse(pass, light);
    case MusicStyle::kWaterfall:
      return StepWaterfall(pass, light);
    case MusicStyle::kPeakBars:
      return StepPeakBars(pass, light);
    case MusicStyle::kBars:
    default:
      return StepBars(pass, light, false);
  }
}

void StepAudioTwinkle(KeyboardPass& pass) {
  KeyboardFx& fx = pass.fx;
  DecayKeyLevels(fx, kModeAudioTwinkle);
  const uint8_t loudness = Loudness(pass.inputs);
  const size_t sparkles = (loudness + 63) / 64;  // 0 in silence, up to 4
  const size_t n = LitKeys(pass.out);
  for (size_t i = 0; i < sparkles && i < kMaxSparklesPerStep && n > 0; ++i) {
    const size_t key = fx.Random() % n;
    fx.level[key] = std::max(fx.level[key], loudness);
    fx.hue[key] = static_cast<uint8_t>(fx.Random() % kWheelSize);
  }
  RenderKeyLevels(pass);
}

}  // namespace varkon
