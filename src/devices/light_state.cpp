#include "devices/light_state.h"

#include <cstring>

namespace varkon {

uint32_t LightState::Word0() const {
  return uint32_t{mode} | uint32_t{brightness} << 8 | uint32_t{speed} << 16 |
         uint32_t{direction} << 24;
}

uint32_t LightState::Word1() const {
  return uint32_t{multicolour} | uint32_t{red} << 8 | uint32_t{green} << 16 | uint32_t{blue} << 24;
}

LightState LightState::FromWords(uint32_t word0, uint32_t word1) {
  LightState s;
  s.mode = static_cast<uint8_t>(word0);
  s.brightness = static_cast<uint8_t>(word0 >> 8);
  s.speed = static_cast<uint8_t>(word0 >> 16);
  s.direction = static_cast<uint8_t>(word0 >> 24);
  s.multicolour = static_cast<uint8_t>(word1);
  s.red = static_cast<uint8_t>(word1 >> 8);
  s.green = static_cast<uint8_t>(word1 >> 16);
  s.blue = static_cast<uint8_t>(word1 >> 24);
  return s;
}

std::array<uint32_t, 5> LightState::ToWords() const {
  uint8_t bytes[20] = {};
  std::memcpy(bytes, this, sizeof(LightState));
  std::array<uint32_t, 5> words{};
  for (size_t w = 0; w < words.size(); ++w) {
    words[w] = uint32_t{bytes[4 * w]} | uint32_t{bytes[4 * w + 1]} << 8 |
               uint32_t{bytes[4 * w + 2]} << 16 | uint32_t{bytes[4 * w + 3]} << 24;
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

void SharedLightState::Store(const LightState& state) {
  const std::array<uint32_t, 5> words = state.ToWords();
  main_.store(uint64_t{words[0]} | uint64_t{words[1]} << 32, std::memory_order_relaxed);
  further_.store(uint64_t{words[2]} | uint64_t{words[3]} << 32, std::memory_order_relaxed);
  last_.store(words[4], std::memory_order_relaxed);
}

LightState SharedLightState::Load() const {
  const uint64_t main = main_.load(std::memory_order_relaxed);
  const uint64_t further = further_.load(std::memory_order_relaxed);
  return LightState::FromWords({static_cast<uint32_t>(main), static_cast<uint32_t>(main >> 32),
                                static_cast<uint32_t>(further),
                                static_cast<uint32_t>(further >> 32),
                                last_.load(std::memory_order_relaxed)});
}

LightRecord LightRecord::Make(PerLightType type, uint8_t brightness, uint8_t speed,
                              bool multicolour, uint8_t red, uint8_t green, uint8_t blue,
                              bool enabled) {
  LightRecord r;
  r.bytes[0] = static_cast<uint8_t>(type);
  r.bytes[1] = brightness;
  r.bytes[2] = speed;
  r.bytes[4] = multicolour ? 1 : 0;
  r.bytes[5] = red;
  r.bytes[6] = green;
  r.bytes[7] = blue;
  r.bytes[10] = enabled ? 1 : 0;
  return r;
}

}  // namespace varkon
