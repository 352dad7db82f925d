// One animation step of synchronised lighting: every synchronised device shows the same colour,
// computed here from the shared parameters and the shared animation state.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "devices/light_buffer.h"
#include "devices/light_state.h"

namespace varkon {

// The parameters set when synchronisation starts. `type` is a SyncType value; any other value
// animates nothing.
struct SyncSettings {
  uint8_t type = 0;
  uint8_t brightness = 0;  // level 0-4
  uint8_t speed = 0;       // level 0-4
  uint8_t direction = 0;   // non-zero: forward
  uint8_t multicolour = 0;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  // The settings of a light state whose mode maps to `type`.
  static SyncSettings FromLightState(uint8_t type, const LightState& state);
  friend bool operator==(const SyncSettings&, const SyncSettings&) = default;
};

// The settings as written by the UI thread and read by the synchronised-lighting thread: all
// eight bytes are one 64-bit atomic, so a reader sees either the old or the new set, never a mix.
class SharedSyncSettings {
 public:
  void Store(const SyncSettings& settings);
  SyncSettings Load() const;

 private:
  std::atomic<uint64_t> packed_{0};
};

// The shared animation state; it persists for the life of the process and is touched by the
// synchronised-lighting thread only.
struct SyncAnimation {
  uint8_t breathingPhase = 0;
  uint8_t breathingColourIndex = 0;
  uint8_t spectrumIndex = 0;
  uint8_t blinkOn = 0;
  uint8_t blinkColourIndex = 0;
  uint32_t lastBlinkToggleMs = 0;
};

// Runs one step of `settings.type` at time `nowMs` (a 32-bit millisecond tick that may wrap) and
// returns the colour every synchronised light gets; nothing for a type outside 0-4, which leaves
// the animation state unchanged.
std::optional<LightColour> SyncStep(const SyncSettings& settings, SyncAnimation& animation,
                                    uint32_t nowMs);

}  // namespace varkon
