// The effect types of synchronised lighting and how they map onto each device kind's own mode
// numbers. Synchronising gives every attached device the equivalent of the current device's
// effect; the table is read one way to find the shared type and the other way to set each device.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/light_engine.h"

namespace varkon {

// Effect types shared by all device kinds.
enum class SyncType : uint8_t {
  kBreathing = 0,
  kStatic = 1,
  kBlink = 2,
  kSpectrum = 3,  // colour cycle
  kOff = 4,
};
constexpr int kSyncTypeCount = 5;

// The light-state mode byte of `type` on a device of `kind` (nothing for a type outside 0-4).
std::optional<uint8_t> ModeOfSyncType(LightDeviceClass kind, SyncType type);
// The sync type of a device's mode; nothing when the mode has no synchronised equivalent.
std::optional<SyncType> SyncTypeOfMode(LightDeviceClass kind, uint8_t mode);

}  // namespace varkon
