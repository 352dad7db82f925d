// The fixed-size records a profile document decodes into: the light state (devices/light_state.h),
// the music-lighting state, the per-light list entries and the steps of a custom effect.
#pragma once

#include <array>
#include <cstdint>

#include "devices/light_state.h"

namespace varkon {

// "AudioLightInfo"; 9 bytes.
struct AudioLightState {
  uint8_t audioMode = 0;        // 0 "AudioMode"
  uint8_t bkColorR = 0;         // 1 "BkColorR"
  uint8_t bkColorG = 0;         // 2 "BkColorG"
  uint8_t bkColorB = 0;         // 3 "BkColorB"
  uint8_t fgColorR = 0;         // 4 "FgColorR"
  uint8_t fgColorG = 0;         // 5 "FgColorG"
  uint8_t fgColorB = 0;         // 6 "FgColorB"
  uint8_t sevenColorFlags = 0;  // 7 "7ColorFlags" (read as a boolean)
  uint8_t colorTypeFlags = 0;   // 8 "ColorTypeFlags" (read as a boolean)

  friend bool operator==(const AudioLightState&, const AudioLightState&) = default;
};
static_assert(sizeof(AudioLightState) == 9);

// One element of "LightList": the per-light effect record; 17 bytes.
struct LightListEntry {
  uint8_t mode = 0;        // 0 "LEDREGMode": 0 breathing, 1 static, 2 blink, 3 spectrum, 4 off
  uint8_t brightness = 0;  // 1 "LEDBrightness"
  uint8_t speed = 0;       // 2 "LEDSpeed"
  uint8_t direction = 0;   // 3 "LEDDirection" (read as a boolean)
  uint8_t multiColor = 0;  // 4 "LEDMultiColor" (read as a boolean)
  uint8_t red = 0;         // 5 "red"
  uint8_t green = 0;       // 6 "green"
  uint8_t blue = 0;        // 7 "blue"
  uint8_t unused1[2] = {};
  uint8_t present = 0;  // 10: 1 when the element exists and is not null
  uint8_t unused2[6] = {};

  friend bool operator==(const LightListEntry&, const LightListEntry&) = default;
};
static_assert(sizeof(LightListEntry) == 17);

// One element of an effect file's "LEDEffectList"; 28 bytes.
struct LightEffectStep {
  uint8_t mode = 0;        // 0 "LEDREGMode"
  uint8_t brightness = 0;  // 1 "LEDBrightness"
  uint8_t speed = 0;       // 2 "LEDSpeed"
  uint8_t direction = 0;   // 3 "LEDDirection"
  uint8_t multiColor = 0;  // 4 "LEDMultiColor"
  uint8_t red = 0;         // 5 "red"
  uint8_t green = 0;       // 6 "green"
  uint8_t blue = 0;        // 7 "blue"
  uint8_t unused[12] = {};
  int32_t time = 0;   // 20 "Time": duration in milliseconds
  int32_t cycle = 0;  // 24 "Cyle"

  friend bool operator==(const LightEffectStep&, const LightEffectStep&) = default;
};
static_assert(sizeof(LightEffectStep) == 28);

}  // namespace varkon
