// The mouse pad's and headset's own light effects (wave, ring chase, mirrored pairs) and the
// light-thread dispatch both classes share: modes 0-4 and 6-8 step at the speed tick table, any
// other mode plays the custom sequence, and every pass ends with the per-light effects.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "devices/light_engine.h"

namespace varkon {

// The constants that tell the pad's wave from the headset's.
struct WaveConstants {
  uint8_t wheelSpread;     // multicolour: wheel entries between two neighbouring lights
  uint8_t fixedIncrement;  // fixed colour: phase step (the phase runs within 0-95)
  uint8_t fixedOffset;     // fixed colour: wave position of light 0 = phase + this
  uint8_t fixedSpread;     // fixed colour: wave entries between two neighbouring lights
};
inline constexpr WaveConstants kPadWave{7, 1, 1, 7};
inline constexpr WaveConstants kHeadsetWave{16, 3, 0, 10};

// Light modes of the pad and the headset (the editor's mode index).
enum class PadMode : uint8_t {
  kWave = 0,
  kSpectrum = 1,
  kBreathing = 2,
  kStatic = 3,
  kBlink = 4,
  kRingChase = 6,
  kPairs = 7,
  kOff = 8,
};

// Mirrored light pairs of the pairs effect. The headset has only 13 lights: cells of a pair at
// or beyond the light count are not written.
inline constexpr std::array<std::pair<uint8_t, uint8_t>, 7> kMirrorPairs = {
    {{1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};

// Each step fills the buffer and returns the light count.
size_t StepWave(LightEngine& engine, const LightState& state, const WaveConstants& wave);
size_t StepRingChase(LightEngine& engine, const LightState& state);
size_t StepPairs(LightEngine& engine, const LightState& state);

// The pad's (or, with kHeadsetWave, the headset's) effect table.
LightEffectTable PadEffectTable(const WaveConstants& wave);
inline void InstallPadEffects(LightEngine& engine, const WaveConstants& wave = kPadWave) {
  engine.SetEffectTable(PadEffectTable(wave));
}

}  // namespace varkon
