#include "devices/light_state.h"

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

void SharedLightState::Store(const LightState& state) {
  main_.store(uint64_t{state.Word0()} | uint64_t{state.Word1()} << 32, std::memory_order_relaxed);
  extra_.store(
      uint32_t{state.extra[0]} | uint32_t{state.extra[1]} << 8 | uint32_t{state.extra[2]} << 16,
      std::memory_order_relaxed);
}

LightState SharedLightState::Load() const {
  const uint64_t main = main_.load(std::memory_order_relaxed);
  const uint32_t extra = extra_.load(std::memory_order_relaxed);
  LightState s =
      LightState::FromWords(static_cast<uint32_t>(main), static_cast<uint32_t>(main >> 32));
  s.extra = {static_cast<uint8_t>(extra), static_cast<uint8_t>(extra >> 8),
             static_cast<uint8_t>(extra >> 16)};
  return s;
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
