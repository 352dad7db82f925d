// The data a light effect runs on: the device's light state, the animation state of its light
// thread, the per-light records of a profile and one step of a custom light sequence.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace varkon {

// The light state: mode, brightness 0-4, speed 0-4 (4 fastest), direction (1 forward), the
// multicolour flag, the fixed colour and three bytes owned by the device classes.
struct LightState {
  uint8_t mode = 0;
  uint8_t brightness = 0;
  uint8_t speed = 0;
  uint8_t direction = 0;
  uint8_t multicolour = 0;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  std::array<uint8_t, 3> extra{};

  bool Forward() const { return direction != 0; }
  bool Multicolour() const { return multicolour != 0; }

  // Bytes 0-7 as the two 32-bit words exchanged with the lighting editor, low byte first.
  uint32_t Word0() const;
  uint32_t Word1() const;
  static LightState FromWords(uint32_t word0, uint32_t word1);

  friend bool operator==(const LightState&, const LightState&) = default;
};

constexpr size_t kLightStateBytes = 11;

// A light state written by one thread (the editor, a profile) and read by the light thread. Bytes
// 0-7 are one 64-bit atomic, so a reader never sees half of a colour change.
class SharedLightState {
 public:
  void Store(const LightState& state);
  LightState Load() const;

 private:
  std::atomic<uint64_t> main_{0};
  std::atomic<uint32_t> extra_{0};
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
