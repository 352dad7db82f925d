// The keyboard's wheel patterns: colour waves across columns and rows, the serpentine snake,
// per-key colour cycling, the diagonal rainbows, breathing, static and custom colours.
#pragma once

#include "devices/keyboard_light_fx.h"

namespace varkon {

// Effects 1 and 2: a colour wave across the 23 columns, 7 (effect 1) or 2 (effect 2) wheel
// entries between neighbouring columns.
void StepColumnWave(KeyboardPass& pass, uint8_t columnSpread);
// Effect 3: a colour snake along the serpentine order, 5 wheel entries per key.
void StepSnake(KeyboardPass& pass);
// Effect 11: every key advances its own wheel position by one.
void StepColourCycle(KeyboardPass& pass);
// Effect 12: a colour wave across the 6 rows, 24 wheel entries per row.
void StepRowWave(KeyboardPass& pass);
// Effect 18: the rainbow of the 12 diagonal groups, moving.
void StepDiagonalRainbow(KeyboardPass& pass);
// Effect 20: every key in its custom colour at the brightness level.
void StepCustomColours(KeyboardPass& pass);

// Effect 5 (the keyboard's breathing): all lit keys one colour, the phase and colour index of the
// shared animation state stepped as in the base breathing.
void StepKeyboardBreathing(AnimationState& animation, const LightState& state, ColourBuffer& out);
// Effect 6 (the keyboard's static): the fixed colour at the brightness level, or with
// multicolour a still rainbow over the 12 diagonal groups.
void StepKeyboardStatic(const LightState& state, ColourBuffer& out);

// The start routine of most effects: per-key wheel positions in an increasing sequence (step 33,
// or 97 while the running value is between 160 and 222), modulo 256.
void SeedWheelPositions(KeyboardFx& fx);

}  // namespace varkon
