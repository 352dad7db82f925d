// Per-light effects: each light follows its own profile record (breathing, static, blink,
// spectrum or off) with its own phase, hue, counter and blink timer. That per-light state is
// shared by all device objects of one class, so it carries its own lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

#include "devices/light_buffer.h"
#include "devices/light_state.h"

namespace varkon {

class PerLightState {
 public:
  struct Light {
    uint8_t phase = 0;
    uint8_t hue = 0;
    uint8_t counter = 0;
    uint8_t blinkOn = 0;
    uint32_t blinkPeriodMs = 0;
    uint32_t blinkLastMs = 0;
  };

  // Zeroes phases, hues and counters and takes each light's blink period from its record (and
  // `nowMs` as the start of its blink timer).
  void Reset(std::span<const LightRecord> records, uint32_t nowMs);

  // The steps, each over the lights whose record has its type; lights beyond the buffer's count
  // or the record count are not touched.
  void StepBreathing(std::span<const LightRecord> records, ColourBuffer& out);
  void StepStatic(std::span<const LightRecord> records, ColourBuffer& out);
  void StepBlink(std::span<const LightRecord> records, ColourBuffer& out, uint32_t nowMs);
  void StepSpectrum(std::span<const LightRecord> records, ColourBuffer& out);
  void StepOff(std::span<const LightRecord> records, ColourBuffer& out);
  // One pass in the mouse pad's order: breathing, static, spectrum, blink, off.
  void StepAll(std::span<const LightRecord> records, ColourBuffer& out, uint32_t nowMs);

  // A copy of one light's state (for inspection).
  Light Get(size_t i) const;

 private:
  mutable std::mutex mutex_;
  std::array<Light, kMaxLights> lights_{};
};

}  // namespace varkon
