#include "devices/light_engine.h"

#include <utility>

namespace varkon {
namespace {

constexpr size_t kClassCount = 4;
constexpr size_t kModeCount = 256;

Rgb FixedColour(const LightState& s) {
  return {s.red, s.green, s.blue};
}

}  // namespace

LightClassShared& SharedLightClassState(LightDeviceClass cls) {
  static LightClassShared shared[kClassCount];
  const size_t i = static_cast<size_t>(cls);
  return shared[i < kClassCount ? i : 0];
}

TickRule LightTickRule(LightDeviceClass cls) {
  switch (cls) {
    case LightDeviceClass::kKeyboard:
    case LightDeviceClass::kMouse:
      return TickRule::kTickChangeOver1Ms;
    case LightDeviceClass::kMousePad:
    case LightDeviceClass::kHeadset:
      break;
  }
  return TickRule::kEveryPass;
}

std::array<uint16_t, kLevelCount> SpeedTickThresholds() {
  std::array<uint16_t, kLevelCount> t{};
  for (size_t i = 0; i < kLevelCount; ++i) t[i] = kSpeedTicks[i];
  return t;
}

LightEffectTable::LightEffectTable() : effects_(kModeCount) {}

void LightEffectTable::Set(uint8_t mode, LightEffect effect) {
  effects_[mode] = std::move(effect);
}

const LightEffect* LightEffectTable::Find(uint8_t mode) const {
  const LightEffect& e = effects_[mode];
  return (e.step || e.start) ? &e : nullptr;
}

LightEngine::LightEngine(LightDeviceClass cls, size_t lightCount)
    : LightEngine(lightCount, SharedLightClassState(cls), LightTickRule(cls)) {}

LightEngine::LightEngine(size_t lightCount, LightClassShared& shared, TickRule rule)
    : shared_(&shared),
      colours_(lightCount),
      scheduler_(rule),
      sequence_(shared.sequence),
      records_(colours_.size()),
      table_(std::make_shared<LightEffectTable>()) {}

void LightEngine::SetLightCount(size_t count) {
  colours_.Resize(count);
  std::lock_guard lock(recordMutex_);
  records_.assign(colours_.size(), LightRecord{});
}

void LightEngine::SetEffectTable(LightEffectTable table) {
  auto next = std::make_shared<const LightEffectTable>(std::move(table));
  std::lock_guard lock(tableMutex_);
  table_ = std::move(next);
}

void LightEngine::RunPass(uint32_t nowMs) {
  std::shared_ptr<const LightEffectTable> table;
  {
    std::lock_guard lock(tableMutex_);
    table = table_;
  }
  const LightState state = state_.Load();
  const uint8_t mode = DispatchMode(state);
  const LightEffect* effect = table->Find(mode);
  if (mode != lastMode_) {
    lastMode_ = mode;
    if (effect != nullptr && effect->start) effect->start(*this, state, nowMs);
  }
  if (effect != nullptr && effect->step) {
    if (scheduler_.Pass(nowMs, effect->thresholds[ClampLevel(state.speed)])) {
      effect->step(*this, state, nowMs);
    }
  } else {
    scheduler_.Count(nowMs);
    if (table->fallback()) table->fallback()(*this, state, nowMs);
  }
  if (table->afterPass()) table->afterPass()(*this, state, nowMs);
}

size_t LightEngine::StepBreathing(const LightState& s, uint32_t) {
  AnimationState& a = animation_;
  a.phase = Step(s.Forward(), kBreathingSize, a.phase, 1);
  if (a.phase == 0) {
    // The index restarts only once it is past 192; at 192 the wheel (which wraps) shows red,
    // as the keyboard's breathing does, so every device breathes the same colour sequence.
    a.colourIndex = static_cast<uint8_t>(a.colourIndex + 16);
    if (a.colourIndex > kWheelSize) a.colourIndex = 0;
  }
  const Rgb colour = s.Multicolour() ? Wheel(a.colourIndex) : FixedColour(s);
  colours_.Fill(
      LightColour(colour, ScaleLevel(kBreathingCurve[a.phase], Brightness(s.brightness))));
  return lightCount();
}

size_t LightEngine::StepBreathingFourColours(const LightState& s, uint32_t) {
  AnimationState& a = animation_;
  a.phase = Step(s.Forward(), kBreathingSize, a.phase, 1);
  if (a.phase == 0) {
    a.colourIndex = static_cast<uint8_t>(a.colourIndex + 1);
    if (a.colourIndex > kFourColours.size() - 1) a.colourIndex = 0;
  }
  colours_.Fill(LightColour(FourColour(a.colourIndex),
                            ScaleLevel(kBreathingCurve[a.phase], Brightness(s.brightness))));
  return lightCount();
}

size_t LightEngine::StepStatic(const LightState& s, uint32_t) {
  colours_.Fill(LightColour(FixedColour(s), Brightness(s.brightness)));
  return lightCount();
}

size_t LightEngine::StepSpectrum(const LightState& s, uint32_t) {
  AnimationState& a = animation_;
  a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
  colours_.Fill(LightColour(Wheel(a.phase), Brightness(s.brightness)));
  return lightCount();
}

size_t LightEngine::StepBlink(const LightState& s, uint32_t nowMs) {
  AnimationState& a = animation_;
  if (static_cast<uint32_t>(nowMs - a.lastTick) >= BlinkPeriodMs(s.speed)) {
    a.blinkOn = a.blinkOn ? 0 : 1;
    a.lastTick = nowMs;
    a.phase = static_cast<uint8_t>(a.phase + 16);
    if (a.phase >= kWheelSize) a.phase = 0;
  }
  if (a.blinkOn) {
    const Rgb colour = s.Multicolour() ? Wheel(a.phase) : FixedColour(s);
    colours_.Fill(LightColour(colour, Brightness(s.brightness)));
  } else {
    colours_.Fill(LightColour());
  }
  return lightCount();
}

size_t LightEngine::StepBlinkFourColours(const LightState& s, uint32_t nowMs) {
  AnimationState& a = animation_;
  if (static_cast<uint32_t>(nowMs - a.lastTick) >= BlinkPeriodMs(s.speed)) {
    a.blinkOn = a.blinkOn ? 0 : 1;
    a.lastTick = nowMs;
    // The colour moves on as the lights come on; moving it on every toggle would show only
    // every other colour of the four.
    if (a.blinkOn) {
      a.phase = static_cast<uint8_t>(a.phase + 1);
      if (a.phase > kFourColours.size() - 1) a.phase = 0;
    }
  }
  if (a.blinkOn) {
    colours_.Fill(LightColour(FourColour(a.phase), Brightness(s.brightness)));
  } else {
    colours_.Fill(LightColour());
  }
  return lightCount();
}

size_t LightEngine::StepOff(const LightState&, uint32_t) {
  colours_.Fill(LightColour());
  return lightCount();
}

void LightEngine::SetLightRecords(std::span<const LightRecord> records, uint32_t nowMs) {
  std::lock_guard lock(recordMutex_);
  records_.assign(colours_.size(), LightRecord{});
  for (size_t i = 0; i < records_.size() && i < records.size(); ++i) records_[i] = records[i];
  shared_->perLight.Reset(records_, nowMs);
}

std::vector<LightRecord> LightEngine::LightRecords() const {
  std::lock_guard lock(recordMutex_);
  return records_;
}

void LightEngine::ResetPerLightState(uint32_t nowMs) {
  std::lock_guard lock(recordMutex_);
  shared_->perLight.Reset(records_, nowMs);
}

void LightEngine::RunPerLightPass(uint32_t nowMs) {
  std::lock_guard lock(recordMutex_);
  shared_->perLight.StepAll(records_, colours_, nowMs);
}

void LightEngine::WithLightRecords(
    const std::function<void(std::span<const LightRecord>, PerLightState&, ColourBuffer&)>& fn) {
  std::lock_guard lock(recordMutex_);
  fn(records_, shared_->perLight, colours_);
}

void LightEngine::RunSequencePass(uint32_t nowMs) {
  sequence_.Pass(nowMs, state_.Load().speed, colours_);
}

void LightEngine::PaintPreview(const std::function<void(size_t, const PreviewCell&)>& paint) const {
  if (!lightControlOn()) return;
  const size_t n = lightCount();
  for (size_t i = 0; i < n; ++i) paint(i, MakePreviewCell(colours_.Get(i)));
}

}  // namespace varkon
