// The keyboard's reactive effects, driven by the key presses the input readers report: a fading
// mark (effect 7), a ripple (8), a spreading cross (9) and keys that stay lit while held (25).
// The ripples also carry the music ripple of effect 29.
#pragma once

#include "devices/keyboard_light_fx.h"

namespace varkon {

// The largest ring distance on the matrix; a ripple ends after reaching it.
constexpr uint8_t kMaxRippleRadius = 24;

// Matrix distance of a ripple: max(dr, dc) + min(dr, dc) / 2 (an octagon close to a circle) for a
// ring; |dr| + |dc| on the key's row or column for a cross, 255 elsewhere.
uint8_t RippleDistance(const KeyboardRipple& ripple, KeyCell cell);
// Starts a ripple at lit key `key` (replacing the oldest when all are in use).
void StartRipple(KeyboardFx& fx, size_t key, bool cross, uint8_t hue);
// Lights the keys on the edge of every ripple (full intensity, hue moving outwards) and grows
// each ripple by one cell.
void GrowRipples(KeyboardFx& fx);

void StepPressFade(KeyboardPass& pass);    // effect 7
void StepPressRipple(KeyboardPass& pass);  // effect 8
void StepPressCross(KeyboardPass& pass);   // effect 9
void StepPressHold(KeyboardPass& pass);    // effect 25

}  // namespace varkon
