// A light state from the values the lighting tests vary.
#pragma once

#include <cstdint>

#include "devices/light_state.h"
#include "devices/light_tables.h"

namespace varkon::test {

inline LightState MakeLightState(uint8_t mode, uint8_t brightness, uint8_t speed, bool forward,
                                 bool multicolour, Rgb colour = {10, 20, 30}) {
  LightState s;
  s.mode = mode;
  s.brightness = brightness;
  s.speed = speed;
  s.direction = forward ? 1 : 0;
  s.multicolour = multicolour ? 1 : 0;
  s.red = colour.r;
  s.green = colour.g;
  s.blue = colour.b;
  return s;
}

}  // namespace varkon::test
