#include "devices/light_per_light.h"

#include "devices/light_tables.h"

namespace varkon {
namespace {

size_t LightsOf(std::span<const LightRecord> records, const ColourBuffer& out) {
  size_t n = records.size();
  if (n > out.size()) n = out.size();
  return n < kMaxLights ? n : kMaxLights;
}

bool Is(const LightRecord& r, PerLightType type) {
  return r.type() == static_cast<uint8_t>(type);
}

Rgb RecordColour(const LightRecord& r) {
  return {r.red(), r.green(), r.blue()};
}

}  // namespace

void PerLightState::Reset(std::span<const LightRecord> records, uint32_t nowMs) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < kMaxLights; ++i) {
    Light& light = lights_[i];
    light = Light{};
    light.blinkPeriodMs = BlinkPeriodMs(i < records.size() ? records[i].speed() : 0);
    light.blinkLastMs = nowMs;
  }
}

void PerLightState::StepBreathing(std::span<const LightRecord> records, ColourBuffer& out) {
  std::lock_guard lock(mutex_);
  const size_t n = LightsOf(records, out);
  for (size_t i = 0; i < n; ++i) {
    const LightRecord& r = records[i];
    if (!Is(r, PerLightType::kBreathing) || !r.enabled()) continue;
    Light& light = lights_[i];
    light.phase = static_cast<uint8_t>(light.phase + ClampLevel(r.speed()) + 4);
    if (light.phase >= kBreathingSize) {
      light.phase = 0;
      if (++light.hue > kWheelSize) light.hue = 0;
    }
    const Rgb colour = r.multicolour() ? Wheel(light.hue) : RecordColour(r);
    out.Set(i, LightColour(colour,
                           ScaleLevel(kBreathingCurve[light.phase], Brightness(r.brightness()))));
  }
}

void PerLightState::StepStatic(std::span<const LightRecord> records, ColourBuffer& out) {
  const size_t n = LightsOf(records, out);
  for (size_t i = 0; i < n; ++i) {
    const LightRecord& r = records[i];
    if (!Is(r, PerLightType::kStatic)) continue;
    out.Set(i, LightColour(RecordColour(r), Brightness(r.brightness())));
  }
}

void PerLightState::StepBlink(std::span<const LightRecord> records, ColourBuffer& out,
                              uint32_t nowMs) {
  std::lock_guard lock(mutex_);
  const size_t n = LightsOf(records, out);
  for (size_t i = 0; i < n; ++i) {
    const LightRecord& r = records[i];
    if (!Is(r, PerLightType::kBlink)) continue;
    Light& light = lights_[i];
    if (light.blinkPeriodMs == 0) light.blinkPeriodMs = BlinkPeriodMs(r.speed());
    if (static_cast<uint32_t>(nowMs - light.blinkLastMs) >= light.blinkPeriodMs) {
      light.blinkLastMs = nowMs;
      light.blinkOn = light.blinkOn ? 0 : 1;
      light.hue = static_cast<uint8_t>(light.hue + 14);
      if (light.hue > kWheelSize - 1) light.hue = 0;
    }
    if (light.blinkOn) {
      const Rgb colour = r.multicolour() ? Wheel(light.hue) : RecordColour(r);
      out.Set(i, LightColour(colour, Brightness(r.brightness())));
    } else {
      out.Set(i, LightColour());
    }
  }
}

void PerLightState::StepSpectrum(std::span<const LightRecord> records, ColourBuffer& out) {
  std::lock_guard lock(mutex_);
  const size_t n = LightsOf(records, out);
  for (size_t i = 0; i < n; ++i) {
    const LightRecord& r = records[i];
    if (!Is(r, PerLightType::kSpectrum) || !r.enabled()) continue;
    Light& light = lights_[i];
    if (++light.counter >= SpeedTicks(r.speed())) {
      light.counter = 0;
      if (++light.hue > kWheelSize - 1) light.hue = 0;
    }
    out.Set(i, LightColour(Wheel(light.hue), Brightness(r.brightness())));
  }
}

void PerLightState::StepOff(std::span<const LightRecord> records, ColourBuffer& out) {
  const size_t n = LightsOf(records, out);
  for (size_t i = 0; i < n; ++i) {
    if (Is(records[i], PerLightType::kOff)) out.Set(i, LightColour());
  }
}

void PerLightState::StepAll(std::span<const LightRecord> records, ColourBuffer& out,
                            uint32_t nowMs) {
  StepBreathing(records, out);
  StepStatic(records, out);
  StepSpectrum(records, out);
  StepBlink(records, out, nowMs);
  StepOff(records, out);
}

PerLightState::Light PerLightState::Get(size_t i) const {
  std::lock_guard lock(mutex_);
  return i < kMaxLights ? lights_[i] : Light{};
}

}  // namespace varkon
