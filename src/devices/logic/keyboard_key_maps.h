// Where the keys of the keyboard's fixed key list sit in this keyboard: its key tables hold one
// 3-byte code per key position (its own layout) and one LED number per position; a list entry is
// found at the first position that carries its default code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/key_tables.h"

namespace varkon {

inline constexpr uint8_t kNoKeyPosition = 255;
// Key positions a keyboard may report (its tables are N × 3 bytes, at most 512).
inline constexpr size_t kMaxKeyboardPositions = 170;

struct KeyboardKeyMaps {
  // By list index: the key position in the device's tables, and the key's LED number; 255 when
  // the keyboard has no such key.
  std::array<uint8_t, kCanonicalKeyCount> keyPosition;
  std::array<uint8_t, kCanonicalKeyCount> keyLed;

  KeyboardKeyMaps() {
    keyPosition.fill(kNoKeyPosition);
    keyLed.fill(kNoKeyPosition);
  }
  bool Has(size_t listIndex) const {
    return listIndex < kCanonicalKeyCount && keyPosition[listIndex] != kNoKeyPosition;
  }
  // The first list index at key position `position`, or -1 (key press notices name positions).
  int ListIndexAt(int position) const;
  // Keys found.
  size_t Count() const;
};

// `layoutTable` holds N codes of 3 bytes, `ledTable` N LED numbers (a shorter LED table leaves
// the missing keys without a LED). Each list entry takes the first position whose code equals its
// default code in all three bytes.
KeyboardKeyMaps DiscoverKeyPositions(std::span<const uint8_t> layoutTable,
                                     std::span<const uint8_t> ledTable);

}  // namespace varkon
