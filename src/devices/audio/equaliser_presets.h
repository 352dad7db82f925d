// The headset's twelve built-in equaliser presets and the number of the custom slot.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devices/audio/audio_properties.h"

namespace varkon {

using EqBands = std::array<int32_t, kEqBandCount>;

inline constexpr int kEqPresetCount = 12;
inline constexpr int kCustomEqType = 13;  // "EqType" of the custom equaliser

// The gains of bands 1-10 of preset 1-12; none for any other number.
std::optional<EqBands> PresetGains(int preset);

}  // namespace varkon
