#include "devices/sync_light_step.h"

#include "devices/light_tables.h"
#include "devices/sync_light_modes.h"

namespace varkon {
namespace {

// The blink colour moves 14 wheel entries per toggle (not 16 like the breathing colour).
constexpr uint8_t kBlinkHueStep = 14;
constexpr uint8_t kBreathingHueStep = 16;

Rgb FixedColour(const SyncSettings& s) {
  return Rgb{s.red, s.green, s.blue};
}

LightColour Breathing(const SyncSettings& s, SyncAnimation& a) {
  a.breathingPhase = Step(s.direction != 0, kBreathingSize, a.breathingPhase, 1);
  Rgb colour = FixedColour(s);
  if (s.multicolour != 0) {
    // The index moves on at both of the two darkest phases.
    if (a.breathingPhase <= 1) {
      a.breathingColourIndex = Step(true, kWheelSize, a.breathingColourIndex, kBreathingHueStep);
    }
    colour = Wheel(a.breathingColourIndex);
  }
  return LightColour(colour, ScaleLevel(kBreathingCurve[a.breathingPhase % kBreathingSize],
                                        Brightness(s.brightness)));
}

LightColour Blink(const SyncSettings& s, SyncAnimation& a, uint32_t nowMs) {
  if (nowMs - a.lastBlinkToggleMs >= BlinkPeriodMs(s.speed)) {
    a.blinkOn = a.blinkOn ? 0 : 1;
    a.lastBlinkToggleMs = nowMs;
    const unsigned next = a.blinkColourIndex + kBlinkHueStep;
    a.blinkColourIndex = next >= kWheelSize ? 0 : static_cast<uint8_t>(next);
  }
  if (!a.blinkOn) return LightColour(0, 0, 0, 0);
  const Rgb colour = s.multicolour != 0 ? Wheel(a.blinkColourIndex) : FixedColour(s);
  return LightColour(colour, Brightness(s.brightness));
}

LightColour Spectrum(const SyncSettings& s, SyncAnimation& a) {
  a.spectrumIndex = Step(true, kWheelSize, a.spectrumIndex, 1);
  return LightColour(Wheel(a.spectrumIndex), Brightness(s.brightness));
}

}  // namespace

SyncSettings SyncSettings::FromLightState(uint8_t type, const LightState& state) {
  return SyncSettings{type,      state.brightness, state.speed, state.direction, state.multicolour,
                      state.red, state.green,      state.blue};
}

void SharedSyncSettings::Store(const SyncSettings& s) {
  const uint8_t bytes[8] = {s.type,        s.brightness, s.speed, s.direction,
                            s.multicolour, s.red,        s.green, s.blue};
  uint64_t packed = 0;
  for (int i = 0; i < 8; ++i) packed |= uint64_t{bytes[i]} << (8 * i);
  packed_.store(packed, std::memory_order_release);
}

SyncSettings SharedSyncSettings::Load() const {
  const uint64_t p = packed_.load(std::memory_order_acquire);
  auto byte = [p](int i) { return static_cast<uint8_t>(p >> (8 * i)); };
  return SyncSettings{byte(0), byte(1), byte(2), byte(3), byte(4), byte(5), byte(6), byte(7)};
}

std::optional<LightColour> SyncStep(const SyncSettings& settings, SyncAnimation& animation,
                                    uint32_t nowMs) {
  switch (settings.type) {
    case static_cast<uint8_t>(SyncType::kBreathing):
      return Breathing(settings, animation);
    case static_cast<uint8_t>(SyncType::kStatic):
      return LightColour(FixedColour(settings), Brightness(settings.brightness));
    case static_cast<uint8_t>(SyncType::kBlink):
      return Blink(settings, animation, nowMs);
    case static_cast<uint8_t>(SyncType::kSpectrum):
      return Spectrum(settings, animation);
    case static_cast<uint8_t>(SyncType::kOff):
      return LightColour(0, 0, 0, 0);
    default:
      return std::nullopt;
  }
}

}  // namespace varkon
