// The headset's lights follow the preview: every paint tick the colour buffer goes out as 12 HID
// output reports of 17 bytes (red, green and blue levels of lights 0-6 and 7-12 for each of the
// two targets).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/light_buffer.h"

namespace varkon {

constexpr size_t kHeadsetLights = 13;
constexpr size_t kHeadsetReportCount = 12;
constexpr size_t kHeadsetReportSize = 17;
// Levels above this are sent as this.
constexpr uint8_t kHeadsetLevelCap = 247;

using HeadsetReport = std::array<uint8_t, kHeadsetReportSize>;
using HeadsetReports = std::array<HeadsetReport, kHeadsetReportCount>;

// One output level: channel × alpha >> 8, capped at 247.
constexpr uint8_t HeadsetLevel(uint8_t channel, uint8_t alpha) {
  const unsigned level = (unsigned{channel} * alpha) >> 8;
  return static_cast<uint8_t>(level > kHeadsetLevelCap ? kHeadsetLevelCap : level);
}

// The 12 reports for the first 13 lights of `colours` (missing lights are sent dark), in send
// order: byte 0 0xFF, byte 1 target, byte 2 register, byte 3 0, then the levels.
HeadsetReports BuildHeadsetReports(const ColourBuffer& colours);

}  // namespace varkon
