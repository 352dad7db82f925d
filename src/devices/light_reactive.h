// Reactive (key-press) state: one intensity and one wheel hue per light, a rise flag for the
// mouse's fade, and the 23-entry ring the moving effects rotate. Input threads mark lights while
// the light thread decays them, so every entry is an atomic byte.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "devices/light_buffer.h"

namespace varkon {

constexpr size_t kReactiveLights = kMaxLights;
constexpr size_t kRingSize = 23;
// The base MarkReactive lights the lights of ring positions 0-8.
constexpr size_t kBaseMarkPositions = 9;

// One decay step of a reactive level by the device's current light mode (0, 29 or any other).
uint8_t DecayLevel(uint8_t level, int mode);

class ReactiveState {
 public:
  uint8_t level(size_t i) const { return i < kReactiveLights ? Load(levels_[i]) : 0; }
  void set_level(size_t i, uint8_t v) {
    if (i < kReactiveLights) levels_[i].store(v, std::memory_order_relaxed);
  }
  uint8_t hue(size_t i) const { return i < kReactiveLights ? Load(hues_[i]) : 0; }
  void set_hue(size_t i, uint8_t v) {
    if (i < kReactiveLights) hues_[i].store(v, std::memory_order_relaxed);
  }
  bool rising(size_t i) const { return i < kReactiveLights && Load(rising_[i]) != 0; }
  void set_rising(size_t i, bool v) {
    if (i < kReactiveLights) rising_[i].store(v ? 1 : 0, std::memory_order_relaxed);
  }
  uint8_t ring(size_t i) const { return i < kRingSize ? Load(ring_[i]) : 0; }
  void set_ring(size_t i, uint8_t v) {
    if (i < kRingSize) ring_[i].store(v, std::memory_order_relaxed);
  }

  // Decays the level of light i by `mode` (DecayLevel); returns the new level.
  uint8_t Decay(size_t i, int mode);
  // Every ring position below `positions` (at most 23) whose entry is non-zero sets the level of
  // the light with the same index to 255.
  void Mark(size_t positions = kBaseMarkPositions);
  // Rotates the first `count` ring entries (at most 23) one place: towards higher indices (the
  // last moves to 0) when `towardsHigher`, else towards lower indices (the first moves to the end).
  void Rotate(bool towardsHigher, size_t count = kRingSize);
  // All levels, rise flags and ring entries become 0.
  void Clear();

 private:
  static uint8_t Load(const std::atomic<uint8_t>& v) { return v.load(std::memory_order_relaxed); }

  std::array<std::atomic<uint8_t>, kReactiveLights> levels_{};
  std::array<std::atomic<uint8_t>, kReactiveLights> hues_{};
  std::array<std::atomic<uint8_t>, kReactiveLights> rising_{};
  std::array<std::atomic<uint8_t>, kRingSize> ring_{};
};

}  // namespace varkon
