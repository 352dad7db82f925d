// The keyboard's effect positions 1-34: which step routine each one runs and the start routine
// that runs when the effect changes.
#pragma once

#include <cstdint>

#include "devices/keyboard_light_fx.h"

namespace varkon {

constexpr int kKeyboardFirstEffect = 1;
constexpr int kKeyboardLastEffect = 34;
constexpr int kKeyboardCustomColourEffect = 20;
constexpr int kKeyboardMusicEffect = 29;

// The base step of the lighting engine an effect position runs (breathing and static are the
// keyboard's own versions of those steps).
enum class KeyboardBaseStep : uint8_t {
  kNone,
  kSpectrum,              // 4
  kBreathing,             // 5
  kStatic,                // 6
  kOff,                   // 21
  kBreathingFourColours,  // 26
  kBlink,                 // 27
  kBlinkFourColours,      // 34
};
KeyboardBaseStep KeyboardBaseStepOf(int effect);

// The keyboard's own step routine of an effect position, or nullptr (a base step, or no step:
// the area-effect player runs).
using KeyboardStepFn = void (*)(KeyboardPass&);
KeyboardStepFn KeyboardOwnStep(int effect);

// True when the effect has a step routine (own or base).
bool KeyboardHasStep(int effect);

// The start routine's seeding, after the buffers have been cleared: effect 13 the wave origin,
// 15 the breathing gradient, 16 the sweep origin, 20 the custom colours, 33 the per-column
// starts, every other effect the per-key wheel positions.
void SeedKeyboardEffect(int effect, KeyboardPass& pass);

}  // namespace varkon
