// The keyboard's moving fronts and sweeps: wave fronts kept as bit rows over the key matrix
// (effects 13, 14, 16), the colour-fill sweep (17) and the fill-and-empty sweep (32).
#pragma once

#include "devices/keyboard_light_fx.h"

namespace varkon {

// Column of the centre wave's origin (the middle of the 23 columns).
constexpr uint8_t kCentreWaveOrigin = 11;

// Effect 13: fronts spreading from the origin column to both edges, the middle rows leading.
void StartCentreWave(KeyboardFx& fx);
void StepCentreWave(KeyboardPass& pass);
// Effect 14: slanted fronts crossing the board in the direction of "Fx".
void StepSlantedWave(KeyboardPass& pass);
// Effect 16: one full-height front sweeping from the left edge to the right and back.
void StartBounceSweep(KeyboardFx& fx);
void StepBounceSweep(KeyboardPass& pass);
// Effect 17: a front crossing the board from the left ("Fx" set) or right edge, painting a new
// colour behind it; every crossing takes the next colour.
void StepColourSweep(KeyboardPass& pass);
// Effect 32: the keys light one by one in the sweep order, then go dark in the same order;
// "Fx" clear runs the order backwards.
void StepFillSweep(KeyboardPass& pass);

}  // namespace varkon
