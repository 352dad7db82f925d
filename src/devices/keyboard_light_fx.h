// The state the keyboard's own light effects run on. KeyboardFx belongs to the light thread;
// KeyboardLightInputs is what other threads hand in (key presses from the input readers, audio
// levels and the music-light setting from the UI thread, custom key colours), all atomics.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/keyboard_key_matrix.h"
#include "devices/light_buffer.h"
#include "devices/light_reactive.h"
#include "devices/light_state.h"
#include "devices/light_tables.h"

namespace varkon {

constexpr size_t kAudioBands = 25;
// An audio level of this value or more is a full-scale band.
constexpr int32_t kAudioFullScale = 2000;
constexpr size_t kMaxRipples = 8;
// Music styles of effect 29.
constexpr uint8_t kMusicStyleCount = 7;

// The music-light setting of the lighting panel: style 0-6, background and foreground colour and
// the multicolour flag.
struct KeyboardAudioLight {
  uint8_t style = 0;
  Rgb background;
  Rgb foreground;
  bool multicolour = false;

  // The panel's two words: mode | background << 8, and foreground | multicolour << 24.
  static KeyboardAudioLight FromWords(uint32_t modeAndBackground, uint32_t foregroundAndFlag);
  uint64_t Pack() const;
  static KeyboardAudioLight Unpack(uint64_t v);
  friend bool operator==(const KeyboardAudioLight&, const KeyboardAudioLight&) = default;
};

// A ring (or cross) spreading from a key, one matrix cell per step.
struct KeyboardRipple {
  uint8_t row = 0;
  uint8_t column = 0;
  uint8_t radius = 0;
  uint8_t hue = 0;
  bool cross = false;  // along the key's row and column only
  bool active = false;
};

// Animation state of the keyboard's effects; touched by the light thread only.
struct KeyboardFx {
  explicit KeyboardFx(uint32_t seed = 0x9E3779B9u) : random(seed ? seed : 1) {}

  uint8_t phase = 0;        // wheel phase of the moving patterns
  uint8_t colourIndex = 0;  // colour of the current sweep or fill
  uint16_t position = 0;    // sweep position (effects 16, 17, 32)
  int8_t heading = 1;       // effect 16: +1 rightwards, -1 leftwards
  uint8_t counter = 0;      // steps since the last wave front (13, 14)
  uint8_t rainStep = 0;
  uint8_t originColumn = 0;                       // effect 13
  std::array<uint32_t, kKeyboardRows> fronts{};   // wave fronts: bit c = column c
  std::array<uint8_t, kKeyboardLights> wheel{};   // per-key wheel positions
  std::array<uint8_t, kKeyboardLitKeys> level{};  // per-key intensity
  std::array<uint8_t, kKeyboardLitKeys> hue{};    // per-key wheel index
  std::array<uint8_t, kKeyboardLitKeys> count{};  // per-key breathing counter
  std::array<uint8_t, kKeyboardLitKeys> held{};   // effect 25: key held down
  std::array<KeyboardRipple, kMaxRipples> ripples{};
  uint8_t nextRipple = 0;
  // Music: the waterfall's cells, the peak row of each column and the last audio feed seen.
  std::array<std::array<uint8_t, kKeyboardColumns>, kKeyboardRows> grid{};
  std::array<uint8_t, kKeyboardColumns> peak{};
  uint8_t peakTimer = 0;
  uint32_t audioFeed = 0;
  uint32_t random;

  // xorshift32: the effects' own random source, so runs are reproducible from the seed.
  uint32_t Random() {
    random ^= random << 13;
    random ^= random >> 17;
    random ^= random << 5;
    return random;
  }
  // Everything except the random source and the per-key wheel positions back to zero.
  void Clear();
};

// Key events, levels and colours handed to the light thread; every member is safe to use from
// any thread.
class KeyboardLightInputs {
 public:
  // Key presses and releases of lit keys (list index below 126); others are ignored.
  void PressKey(size_t listIndex) { Mark(pressed_, listIndex); }
  void ReleaseKey(size_t listIndex) { Mark(released_, listIndex); }
  struct KeyEvents {
    std::array<uint64_t, 2> pressed{};
    std::array<uint64_t, 2> released{};
    static bool Has(const std::array<uint64_t, 2>& bits, size_t key) {
      return key < 128 && (bits[key / 64] >> (key % 64) & 1) != 0;
    }
  };
  // The events since the last call (each key at most one press and one release).
  KeyEvents TakeKeyEvents();

  // Keeps up to 25 levels (missing ones 0); negative levels count as 0.
  void SetAudioLevels(std::span<const int32_t> levels);
  void ClearAudioLevels();
  int32_t audioLevel(size_t band) const {
    return band < kAudioBands ? levels_[band].load(std::memory_order_relaxed) : 0;
  }
  // Counts the level sets handed in.
  uint32_t audioFeeds() const { return feeds_.load(std::memory_order_acquire); }

  void SetAudioLight(const KeyboardAudioLight& light) {
    audioLight_.store(light.Pack(), std::memory_order_relaxed);
  }
  KeyboardAudioLight audioLight() const {
    return KeyboardAudioLight::Unpack(audioLight_.load(std::memory_order_relaxed));
  }

  // Ripples the music input asked for since the last call.
  void RequestRipple() { ripples_.fetch_add(1, std::memory_order_relaxed); }
  uint32_t TakeRipples() { return ripples_.exchange(0, std::memory_order_relaxed); }

  // Custom per-key colours (effect 20), by list index.
  void SetCustomColour(size_t listIndex, Rgb colour);
  Rgb customColour(size_t listIndex) const;

 private:
  using Bits = std::array<std::atomic<uint64_t>, 2>;
  static void Mark(Bits& bits, size_t key) {
    if (IsLitKey(key))
      bits[key / 64].fetch_or(uint64_t{1} << (key % 64), std::memory_order_relaxed);
  }

  Bits pressed_{};
  Bits released_{};
  std::array<std::atomic<int32_t>, kAudioBands> levels_{};
  std::atomic<uint32_t> feeds_{0};
  std::atomic<uint64_t> audioLight_{0};
  std::atomic<uint32_t> ripples_{0};
  std::array<std::atomic<uint32_t>, kKeyboardLights> custom_{};
};

// What one step of a keyboard effect works on.
struct KeyboardPass {
  KeyboardFx& fx;
  KeyboardLightInputs& inputs;
  const LightState& state;
  ColourBuffer& out;
  uint32_t nowMs = 0;
};

// ---- helpers shared by the effects

inline Rgb FixedColour(const LightState& s) {
  return {s.red, s.green, s.blue};
}
inline uint8_t KeyLevel(const LightState& s) {
  return Brightness(s.brightness);
}

// Writes a lit key when it is within the buffer; nothing else is ever written.
inline void PutKey(ColourBuffer& out, size_t key, LightColour colour) {
  if (key < kKeyboardLitKeys && key < out.size()) out.Set(key, colour);
}
inline void PutKey(ColourBuffer& out, size_t key, Rgb colour, uint8_t alpha) {
  PutKey(out, key, LightColour(colour, alpha));
}
// Number of lit keys the buffer holds.
inline size_t LitKeys(const ColourBuffer& out) {
  return out.size() < kKeyboardLitKeys ? out.size() : kKeyboardLitKeys;
}

// A moving wheel pattern at wheel index `index`: the wheel colour at the brightness level with
// multicolour, else the fixed colour with the wave curve as its alpha (so the pattern still moves).
inline LightColour PatternColour(const LightState& s, size_t index) {
  const uint8_t level = KeyLevel(s);
  if (s.Multicolour()) return LightColour(Wheel(index), level);
  return LightColour(FixedColour(s), ScaleLevel(kWaveCurve[(index % kWheelSize) / 2], level));
}

// Every lit key at its intensity: the wheel colour of its hue with multicolour, else the fixed
// colour; alpha = intensity × brightness level / 256.
void RenderKeyLevels(KeyboardPass& pass);
// One decay step of every lit key's intensity by `mode` (DecayLevel).
void DecayKeyLevels(KeyboardFx& fx, int mode);

}  // namespace varkon
