// The keyboard's scattered effects: twinkle (effect 10), per-key random breathing (15 and 33)
// and rain (19).
#pragma once

#include "devices/keyboard_light_fx.h"

namespace varkon {

// Keys lit by one twinkle step.
constexpr size_t kTwinkleKeysPerStep = 6;

// Effect 10: each step six random keys light in a random colour; all keys fade.
void StepTwinkle(KeyboardPass& pass);

// Effect 15's start: breathing counters in a gradient across the columns, hues likewise.
void StartGradientBreathing(KeyboardFx& fx);
// Effect 33's start: one random counter start per column, random hues.
void StartColumnBreathing(KeyboardFx& fx);
// Effects 15 (increment 2) and 33 (increment 1): every key breathes on its own counter and takes
// a new random colour whenever its counter wraps.
void StepRandomBreathing(KeyboardPass& pass, uint8_t increment);

// Effect 19: each step lights the keys of the next rain table step; lit keys fade.
void StepRain(KeyboardPass& pass);

}  // namespace varkon
