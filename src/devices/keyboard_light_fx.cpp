#include "devices/keyboard_light_fx.h"

namespace varkon {

KeyboardAudioLight KeyboardAudioLight::FromWords(uint32_t modeAndBackground,
                                                 uint32_t foregroundAndFlag) {
  KeyboardAudioLight light;
  light.style = static_cast<uint8_t>(modeAndBackground);
  light.background = {static_cast<uint8_t>(modeAndBackground >> 8),
                      static_cast<uint8_t>(modeAndBackground >> 16),
                      static_cast<uint8_t>(modeAndBackground >> 24)};
  light.foreground = {static_cast<uint8_t>(foregroundAndFlag),
                      static_cast<uint8_t>(foregroundAndFlag >> 8),
                      static_cast<uint8_t>(foregroundAndFlag >> 16)};
  light.multicolour = (foregroundAndFlag >> 24) != 0;
  return light;
}

uint64_t KeyboardAudioLight::Pack() const {
  return uint64_t{style} | uint64_t{background.r} << 8 | uint64_t{background.g} << 16 |
         uint64_t{background.b} << 24 | uint64_t{foreground.r} << 32 |
         uint64_t{foreground.g} << 40 | uint64_t{foreground.b} << 48 |
         uint64_t{multicolour ? 1u : 0u} << 56;
}

KeyboardAudioLight KeyboardAudioLight::Unpack(uint64_t v) {
  KeyboardAudioLight light;
  light.style = static_cast<uint8_t>(v);
  light.background = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                      static_cast<uint8_t>(v >> 24)};
  light.foreground = {static_cast<uint8_t>(v >> 32), static_cast<uint8_t>(v >> 40),
                      static_cast<uint8_t>(v >> 48)};
  light.multicolour = (v >> 56) != 0;
  return light;
}

void KeyboardFx::Clear() {
  const uint32_t keepRandom = random;
  const auto keepWheel = wheel;
  *this = KeyboardFx(keepRandom);
  wheel = keepWheel;
}

KeyboardLightInputs::KeyEvents KeyboardLightInputs::TakeKeyEvents() {
  KeyEvents events;
  for (size_t w = 0; w < events.pressed.size(); ++w) {
    events.pressed[w] = pressed_[w].exchange(0, std::memory_order_relaxed);
    events.released[w] = released_[w].exchange(0, std::memory_order_relaxed);
  }
  return events;
}

void KeyboardLightInputs::SetAudioLevels(std::span<const int32_t> levels) {
  for (size_t b = 0; b < kAudioBands; ++b) {
    const int32_t v = b < levels.size() ? levels[b] : 0;
    levels_[b].store(v > 0 ? v : 0, std::memory_order_relaxed);
  }
  feeds_.fetch_add(1, std::memory_order_release);
}

void KeyboardLightInputs::ClearAudioLevels() {
  for (auto& level : levels_) level.store(0, std::memory_order_relaxed);
}

void KeyboardLightInputs::SetCustomColour(size_t listIndex, Rgb colour) {
  if (listIndex >= custom_.size()) return;
  custom_[listIndex].store(uint32_t{colour.r} | uint32_t{colour.g} << 8 | uint32_t{colour.b} << 16,
                           std::memory_order_relaxed);
}

Rgb KeyboardLightInputs::customColour(size_t listIndex) const {
  if (listIndex >= custom_.size()) return {};
  const uint32_t v = custom_[listIndex].load(std::memory_order_relaxed);
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)};
}

void RenderKeyLevels(KeyboardPass& pass) {
  const LightState& s = pass.state;
  const uint8_t level = KeyLevel(s);
  const Rgb fixed = FixedColour(s);
  const size_t n = LitKeys(pass.out);
  for (size_t key = 0; key < n; ++key) {
    const Rgb colour = s.Multicolour() ? Wheel(pass.fx.hue[key]) : fixed;
    PutKey(pass.out, key, colour, ScaleLevel(pass.fx.level[key], level));
  }
}

void DecayKeyLevels(KeyboardFx& fx, int mode) {
  for (uint8_t& level : fx.level) level = DecayLevel(level, mode);
}

}  // namespace varkon
