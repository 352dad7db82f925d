#include "profile/profile_data_types.h"

#include <cstring>

namespace varkon {

std::array<uint32_t, 5> LightState::ToWords() const {
  uint8_t bytes[20] = {};
  std::memcpy(bytes, this, sizeof(LightState));
  std::array<uint32_t, 5> words{};
  for (size_t w = 0; w < words.size(); ++w) {
    words[w] = static_cast<uint32_t>(bytes[4 * w]) | static_cast<uint32_t>(bytes[4 * w + 1]) << 8 |
               static_cast<uint32_t>(bytes[4 * w + 2]) << 16 |
               static_cast<uint32_t>(bytes[4 * w + 3]) << 24;
  }
  return words;
}

LightState LightState::FromWords(const std::array<uint32_t, 5>& words) {
  uint8_t bytes[20] = {};
  for (size_t w = 0; w < words.size(); ++w) {
    for (size_t b = 0; b < 4; ++b) bytes[4 * w + b] = static_cast<uint8_t>(words[w] >> (8 * b));
  }
  LightState state;
  std::memcpy(&state, bytes, sizeof(LightState));
  return state;
}

}  // namespace varkon
