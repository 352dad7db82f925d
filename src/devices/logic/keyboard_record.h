// The keyboard's per-profile settings record: 39 bytes at profile × 40 of its settings memory,
// whose byte 0 is also the number of the keyboard's active profile. It carries the lighting
// choices and the system flags; bytes the program does not understand are written back as they
// were last read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/light_state.h"
#include "profile/keyboard_profile_data.h"

namespace varkon {

inline constexpr size_t kKeyboardRecordSize = 39;
inline constexpr uint16_t kKeyboardRecordStride = 40;
using KeyboardRecord = std::array<uint8_t, kKeyboardRecordSize>;

namespace keyboard_record {
inline constexpr size_t kProfile = 0;  // active profile (read) / record number (written)
inline constexpr size_t kEffect = 1;   // effect code: the mode list's "value" of the effect
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;  // 4 − speed
inline constexpr size_t kDirection = 4;
inline constexpr size_t kMulticolour = 5;
inline constexpr size_t kRed = 6, kGreen = 7, kBlue = 8;
inline constexpr size_t kCleared = 16;  // always 0
inline constexpr size_t kHotKey = 17;   // set by the keyboard's onboard hot-key
inline constexpr size_t kZzcc = 18;
inline constexpr size_t kWFlag = 19, kKey6Flag = 20, kWinFlag = 21, kPollingRate = 22;
inline constexpr size_t kCustomGroup = 25;
}  // namespace keyboard_record

// The effect code the keyboard gets for streamed (software-driven) effects: it keeps showing the
// frames it is sent.
inline constexpr uint8_t kStreamedEffectCode = 0xFE;
inline constexpr int kFirstStreamedEffect = 29, kSecondStreamedEffect = 30;
inline constexpr uint8_t kMaxLightLevel = 4;

// The record to write: `lastRead` with the lighting bytes from `light`, the system flags from
// `system`, byte 16 cleared and byte 0 = `recordByte0`. `effectValues` are the mode list's codes
// by position; a position the list does not have is sent as it is.
KeyboardRecord EncodeKeyboardRecord(const KeyboardRecord& lastRead, const LightState& light,
                                    const KeyboardSystemWords& system,
                                    std::span<const int> effectValues, uint8_t recordByte0);

struct DecodedKeyboardRecord {
  LightState light;
  bool effectKept = false;  // the keyboard streams: the effect shown now stays
  uint16_t wFlag = 0, key6Flag = 0, winFlag = 0;
};

// What a record read from the keyboard says, on top of `current` (the light state now): the
// effect code becomes the position whose value it is (kept as it is when none has it; 0xFE
// keeps the current effect), speed 4 − byte, the ZZCC mode and the custom page. Bytes 11-16 of
// `current` other than those two stay.
DecodedKeyboardRecord DecodeKeyboardRecord(const KeyboardRecord& record, const LightState& current,
                                           std::span<const int> effectValues);

}  // namespace varkon
