// The mouse's preview effects. Its 15 LEDs form seven groups that the wave and the ring chase
// light as units; the reactive fade pulses every LED after the mouse's "pressed" notice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/light_engine.h"

namespace varkon {

constexpr size_t kMouseLights = 15;

struct MouseGroup {
  uint8_t count;
  std::array<uint8_t, 3> leds;
};
inline constexpr std::array<MouseGroup, 7> kMouseGroups = {{{2, {0, 13, 0}},
                                                            {2, {1, 12, 0}},
                                                            {2, {2, 11, 0}},
                                                            {2, {3, 10, 0}},
                                                            {2, {4, 9, 0}},
                                                            {2, {5, 8, 0}},
                                                            {3, {6, 14, 7}}}};

// Effect positions of the mouse's preview thread.
enum class MouseEffect : uint8_t {
  kWave = 0,
  kSpectrum = 1,
  kBreathing = 2,
  kStatic = 3,
  kBlink = 4,
  kRingChase = 5,
  kReactiveFade = 6,
  kBreathingFourColours = 7,
  kBlinkFourColours = 8,
  kOff = 10,
};

constexpr uint8_t kFadeStep = 15;

// Each step fills the buffer and returns the light count; LEDs beyond it are not written.
size_t MouseStepWave(LightEngine& engine, const LightState& state);
size_t MouseStepRingChase(LightEngine& engine, const LightState& state);
size_t MouseStepReactiveFade(LightEngine& engine, const LightState& state);

// The "pressed" notice: every LED starts rising again and takes the next hue.
void MarkMouseFade(LightEngine& engine);
// On a profile whose effect position changed: clear the reactive state and light ring entry 0
// so that the ring chase starts with one lit entry.
void SeedMouseRing(LightEngine& engine);

// The mouse's effect table; positions without a step run `fallback` (the area-effect player)
// and every pass ends with `afterPass`; either may be empty.
LightEffectTable MouseEffectTable(LightStepFn fallback = {}, LightStepFn afterPass = {});
inline void InstallMouseEffects(LightEngine& engine, LightStepFn fallback = {},
                                LightStepFn afterPass = {}) {
  engine.SetEffectTable(MouseEffectTable(std::move(fallback), std::move(afterPass)));
}

}  // namespace varkon
