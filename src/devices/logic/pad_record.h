// The light settings record of the mouse pad and the headset: 21 bytes at profile × 64 of the
// settings memory (read back from active × 40, whose byte 0 names the active profile). The
// program keeps it as the editor sees it (byte 1 the mode's position in the mode list, byte 3
// the speed, 4 fastest); on the wire byte 1 is the mode's code and byte 3 is 4 − speed. Bytes 4
// and 9-20 are the device's own and go back as it last gave them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/light_state.h"

namespace varkon {

inline constexpr size_t kPadRecordSize = 21;
inline constexpr uint16_t kPadRecordStride = 64;  // where profile p is written
inline constexpr uint16_t kPadReadStride = 40;    // where the active profile is read
inline constexpr size_t kPadReadSize = 39;        // bytes read there; the record is the first 21
using PadRecord = std::array<uint8_t, kPadRecordSize>;

namespace pad_record {
inline constexpr size_t kProfile = 0;
inline constexpr size_t kMode = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;
inline constexpr size_t kMulticolour = 5;
inline constexpr size_t kRed = 6, kGreen = 7, kBlue = 8;
}  // namespace pad_record

// The light state's mode, brightness, speed, multicolour flag and colour into the record (as the
// editor sees them); the other bytes stay.
void PutLightState(PadRecord& record, const LightState& light);

// The record as sent: byte 1 the code of the mode at that position of `modeValues` (the
// position itself when the list has none), byte 3 = 4 − speed.
PadRecord EncodePadRecord(const PadRecord& record, std::span<const int> modeValues);

// A record as read: byte 1 becomes the position of the mode whose code it holds (kept as
// received when no mode has it), byte 3 becomes 4 − the byte (a speed above 4 reads as 0).
PadRecord DecodePadRecord(std::span<const uint8_t> wire, std::span<const int> modeValues);

// The light state a decoded record describes, on top of `current` (the direction is not in the
// record and stays).
LightState LightStateOfRecord(const PadRecord& record, const LightState& current);

}  // namespace varkon
