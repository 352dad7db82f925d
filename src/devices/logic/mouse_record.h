// The mouse's per-profile settings record: 71 bytes at profile × 128 of its settings memory,
// whose byte 0 is also the number of the mouse's active profile. Unlike the keyboard's it is
// built from zero for every write: lighting, report rate, the five DPI stages, the screen size
// and the sensor correction.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/light_state.h"
#include "profile/mouse_profile_data.h"

namespace varkon {

inline constexpr size_t kMouseRecordSize = 71;
inline constexpr uint16_t kMouseRecordStride = 128;
inline constexpr size_t kMouseStageCount = 5;
using MouseRecord = std::array<uint8_t, kMouseRecordSize>;

namespace mouse_record {
inline constexpr size_t kProfile = 0;
inline constexpr size_t kEffect = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;  // 4 − speed
inline constexpr size_t kDirection = 4;
inline constexpr size_t kMulticolour = 5;
inline constexpr size_t kRed = 6, kGreen = 7, kBlue = 8;
inline constexpr size_t kReportRate = 11;
inline constexpr size_t kSelectedStage = 12;
inline constexpr size_t kStages = 14;  // 5 × 9 bytes
inline constexpr size_t kThird = 59;
inline constexpr size_t kScreenWidth = 60, kScreenHeight = 62;
inline constexpr size_t kCorrectMinSq = 64, kCorrectPixThresh = 65;
}  // namespace mouse_record

// Effect positions from here on are sent as position 0.
inline constexpr uint8_t kMouseRecordEffects = 12;

struct MouseRecordContent {
  LightState light;
  std::vector<DpiStage> stages;  // the first five are sent; absent ones are zero
  int selectedStage = 0;
  int reportRate = 0;
  uint16_t screenWidth = 0;
  uint16_t screenHeight = 0;
  std::vector<CorrectionEntry> corrections;  // the first selected entry is sent
  uint8_t byte0 = 0;
  uint8_t third = 1;
};

// `effectValues` are the mode list's codes by position; a position the list does not have is
// sent as it is.
MouseRecord EncodeMouseRecord(const MouseRecordContent& content, std::span<const int> effectValues);

struct DecodedMouseRecord {
  LightState light;
  int selectedStage = 0;
};

// What a record read from the mouse says, on top of `current`: the effect (by its code), the
// brightness, the speed (4 − byte), the colour choices and the selected stage. The direction is
// not taken back.
DecodedMouseRecord DecodeMouseRecord(std::span<const uint8_t> record, const LightState& current,
                                     std::span<const int> effectValues);

}  // namespace varkon
