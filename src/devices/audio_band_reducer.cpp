#include "devices/audio_band_reducer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace varkon {
namespace {

constexpr size_t kBinsPerBand = 5;
constexpr size_t kBinsUsedPerBand = 4;  // the fifth bin of each band is skipped
constexpr uint32_t kFramesPerFeed = 2;  // a device is fed once its counter is above this

constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
  return b > kMaxU64 - a ? kMaxU64 : a + b;
}

uint64_t SaturatingSquare(uint64_t x) {
  return x > std::numeric_limits<uint32_t>::max() ? kMaxU64 : x * x;
}

// Integer part of the square root, exact over the whole range.
uint64_t IntegerSqrt(uint64_t value) {
  uint64_t root = 0;
  uint64_t bit = uint64_t{1} << 62;
  while (bit > value) bit >>= 2;
  while (bit != 0) {
    if (value >= root + bit) {
      value -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  return root;
}

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

void CountFrame(uint32_t& counter) {
  if (counter < std::numeric_limits<uint32_t>::max()) ++counter;
}

}  // namespace

bool IsKeyboardSlotKind(uint8_t kind) {
  return kind == 1 || kind == 9;
}
bool IsMouseSlotKind(uint8_t kind) {
  return kind == 2 || kind == 6;
}

SpectrumTargets CountSpectrumSlots(std::span<const uint8_t> slotKinds) {
  SpectrumTargets targets;
  for (uint8_t kind : slotKinds) {
    if (IsKeyboardSlotKind(kind)) ++targets.keyboardSlots;
    if (IsMouseSlotKind(kind)) ++targets.mouseSlots;
  }
  return targets;
}

template <size_t N>
void AudioSpectrumReducer::UpdateBands(std::array<Band, N>& bands) {
  static_assert(N * kBinsPerBand <= kSpectrumBinCount);
  for (size_t b = 0; b < N; ++b) {
    const int64_t* d = &differences_[kBinsPerBand * b];
    int64_t sum = 0;
    for (size_t k = 0; k < kBinsUsedPerBand; ++k) sum += d[k];
    Band& band = bands[b];
    // Both terms are at most about 2^34, so the sum cannot overflow.
    band.mean = (band.mean + sum) / 4;
    uint64_t squares = band.deviation;
    for (size_t k = 0; k < kBinsUsedPerBand; ++k) {
      const int64_t delta = d[k] - band.mean;
      const uint64_t magnitude = delta < 0 ? static_cast<uint64_t>(-delta) : delta;
      squares = SaturatingAdd(squares, SaturatingSquare(magnitude));
    }
    band.deviation = IntegerSqrt(squares / 3);
  }
}

SpectrumLevels AudioSpectrumReducer::ReduceFrame(std::span<const int32_t, kSpectrumBinCount> frame,
                                                 const SpectrumTargets& targets) {
  CountFrame(keyboardFrames_);
  CountFrame(mouseFrames_);
  for (size_t i = 0; i < kSpectrumBinCount; ++i) {
    const int64_t diff = int64_t{frame[i]} - int64_t{previous_[i]};
    differences_[i] = diff < 0 ? -diff : diff;
    previous_[i] = frame[i];
  }

  // The device copies the levels when it is fed, so a later slot of the same kind moves the
  // statistics on without changing what was handed over.
  SpectrumLevels levels;
  for (int slot = 0; slot < targets.keyboardSlots; ++slot) {
    UpdateBands(keyboardBands_);
    if (keyboardFrames_ > kFramesPerFeed && targets.activeKeyboard) {
      levels.feedKeyboard = true;
      for (size_t b = 0; b < kKeyboardBandCount; ++b) {
        levels.keyboard[b] = ClampToInt32(keyboardBands_[b].mean);
      }
      keyboardFrames_ = 0;
    }
  }
  for (int slot = 0; slot < targets.mouseSlots; ++slot) {
    UpdateBands(mouseBands_);
    if (mouseFrames_ > kFramesPerFeed && targets.activeMouse) {
      levels.feedMouse = true;
      // The block starts at the second band; the tenth value is always 0.
      for (size_t b = 1; b < kMouseBandCount; ++b) {
        levels.mouse[b - 1] = ClampToInt32(mouseBands_[b].mean);
      }
      levels.mouse[kMouseBandCount - 1] = 0;
      mouseFrames_ = 0;
    }
  }
  return levels;
}

SpectrumLevels AudioSpectrumReducer::ReducePayload(std::span<const uint8_t> payload,
                                                   const SpectrumTargets& targets) {
  if (payload.empty()) return {};
  const size_t n = std::min(payload.size(), received_.size());
  std::memcpy(received_.data(), payload.data(), n);
  std::array<int32_t, kSpectrumBinCount> frame;
  for (size_t i = 0; i < kSpectrumBinCount; ++i) {
    const uint8_t* p = &received_[4 * i];
    const uint32_t raw =
        uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    frame[i] = static_cast<int32_t>(raw);
  }
  return ReduceFrame(frame, targets);
}

int64_t AudioSpectrumReducer::KeyboardMean(size_t band) const {
  return band < kKeyboardBandCount ? keyboardBands_[band].mean : 0;
}
uint64_t AudioSpectrumReducer::KeyboardDeviation(size_t band) const {
  return band < kKeyboardBandCount ? keyboardBands_[band].deviation : 0;
}
int64_t AudioSpectrumReducer::MouseMean(size_t band) const {
  return band < kMouseBandCount ? mouseBands_[band].mean : 0;
}
uint64_t AudioSpectrumReducer::MouseDeviation(size_t band) const {
  return band < kMouseBandCount ? mouseBands_[band].deviation : 0;
}

}  // namespace varkon
