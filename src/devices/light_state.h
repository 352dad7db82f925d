// The data a light effect runs on: the device's light state, the animation state of its light
// thread, the per-light records of a profile and one step of a custom light sequence.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace varkon {

// The light state of a device: the lighting editor's settings and the profile's "LightInfo".
// 17 bytes; bytes 0-7 drive the effects, 8-10 belong to the device classes and are not kept in
// the profile, 11-16 are the keyboard's further lighting choices.
struct LightState {
  uint8_t mode = 0;                // 0 "SelectItem": position in the device's mode list
  uint8_t brightness = 0;          // 1 "Light": level 0-4
  uint8_t speed = 0;               // 2 "Speed": level 0-4, 4 fastest
  uint8_t direction = 0;           // 3 "Fx": 1 forward
  uint8_t multicolour = 0;         // 4 "MultiColor": colours from the wheel
  uint8_t red = 0;                 // 5 "Red"
  uint8_t green = 0;               // 6 "Green"
  uint8_t blue = 0;                // 7 "Blue"
  std::array<uint8_t, 3> extra{};  // 8-10: the device class's own, 0 after a profile read
  uint8_t zzccLedMode = 0;         // 11 "ZZCCLedMode"
  uint8_t customGroup = 0;         // 12 "CustomGroup": the keyboard's custom colour page
  uint8_t oldLedMode = 0;          // 13 "OldLedmode"
  uint8_t voiceLedModeSwitch = 0;  // 14 "byVoiceLedmodeSwith"
  uint8_t voiceLedMode = 0;        // 15 "byVoiceLedmode"
  uint8_t voiceSensitivity = 0;    // 16 "byVoiceSensitivity"

  bool Forward() const { return direction != 0; }
  bool Multicolour() const { return multicolour != 0; }

  // Bytes 0-7 as the two 32-bit words exchanged with the lighting editor, low byte first.
  uint32_t Word0() const;
  uint32_t Word1() const;
  // Bytes 0-7 from the two words; the other bytes zero.
  static LightState FromWords(uint32_t word0, uint32_t word1);

  // All 17 bytes as the five light-state words, low byte first: word 2's high byte is the ZZCC
  // mode, word 3's low byte the custom colour page, word 4 the sensitivity alone.
  std::array<uint32_t, 5> ToWords() const;
  static LightState FromWords(const std::array<uint32_t, 5>& words);

  friend bool operator==(const LightState&, const LightState&) = default;
};
static_assert(sizeof(LightState) == 17);

constexpr size_t kLightStateBytes = sizeof(LightState);

// A light state written by one thread (the editor, a profile) and read by the light thread. Bytes
// 0-7 are one 64-bit atomic, so a reader never sees half of a colour change; the rest follow in
// two more.
class SharedLightState {
 public:
  void Store(const LightState& state);
  LightState Load() const;

 private:
  std::atomic<uint64_t> main_{0};
  std::atomic<uint64_t> further_{0};  // bytes 8-15
  std::atomic<uint32_t> last_{0};     // byte 16
};

// Animation state of one device object's stepped effects; touched by its light thread only.
struct AnimationState {
  uint8_t phase = 0;
  uint8_t colourIndex = 0;
  uint8_t blinkOn = 0;
  uint32_t lastTick = 0;
  uint8_t pairStep = 0;  // pass counter of the ring chase and pair effects
};

// Per-light effect types of a LightRecord.
enum class PerLightType : uint8_t {
  kBreathing = 0,
  kStatic = 1,
  kBlink = 2,
  kSpectrum = 3,
  kOff = 4,
};

// One light's 17-byte record from the profile. Only some bytes are used by the engine.
struct LightRecord {
  static constexpr size_t kSize = 17;
  std::array<uint8_t, kSize> bytes{};

  uint8_t type() const { return bytes[0]; }
  uint8_t brightness() const { return bytes[1]; }
  uint8_t speed() const { return bytes[2]; }
  bool multicolour() const { return bytes[4] != 0; }
  uint8_t red() const { return bytes[5]; }
  uint8_t green() const { return bytes[6]; }
  uint8_t blue() const { return bytes[7]; }
  bool enabled() const { return bytes[10] != 0; }

  // A record with the fields the engine reads; the other bytes zero.
  static LightRecord Make(PerLightType type, uint8_t brightness, uint8_t speed, bool multicolour,
                          uint8_t red, uint8_t green, uint8_t blue, bool enabled);
};

// Modes of a custom sequence step.
enum class SequenceMode : uint8_t {
  kBreathing = 0,
  kStatic = 1,
  kBlink = 2,
  kWave = 4,
  kSpectrum = 5,
};

// One step of a custom light sequence: the first eight light-state bytes, three further bytes
// and how long the step lasts.
struct LightSequenceStep {
  LightState state;
  uint32_t durationMs = 0;
};

}  // namespace varkon
