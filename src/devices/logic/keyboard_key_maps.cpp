#include "devices/logic/keyboard_key_maps.h"

namespace varkon {

int KeyboardKeyMaps::ListIndexAt(int position) const {
  if (position < 0 || position >= static_cast<int>(kNoKeyPosition)) return -1;
  for (size_t i = 0; i < keyPosition.size(); ++i) {
    if (keyPosition[i] == position) return static_cast<int>(i);
  }
  return -1;
}

size_t KeyboardKeyMaps::Count() const {
  size_t found = 0;
  for (uint8_t position : keyPosition) found += position != kNoKeyPosition ? 1 : 0;
  return found;
}

KeyboardKeyMaps DiscoverKeyPositions(std::span<const uint8_t> layoutTable,
                                     std::span<const uint8_t> ledTable) {
  KeyboardKeyMaps maps;
  size_t positions = layoutTable.size() / 3;
  if (positions > kMaxKeyboardPositions) positions = kMaxKeyboardPositions;
  const auto& keys = CanonicalKeyList();
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    const AssignmentCode code = keys[i];
    for (size_t p = 0; p < positions; ++p) {
      if (layoutTable[3 * p] == code.kind && layoutTable[3 * p + 1] == code.b1 &&
          layoutTable[3 * p + 2] == code.b2) {
        maps.keyPosition[i] = static_cast<uint8_t>(p);
        if (p < ledTable.size()) maps.keyLed[i] = ledTable[p];
        break;
      }
    }
  }
  return maps;
}

}  // namespace varkon
