#include "devices/light_sequence.h"

#include "devices/light_tables.h"

namespace varkon {
namespace {

constexpr uint8_t kCounterWrap = 255;
constexpr size_t kWaveSpread = 12;

Rgb FixedColour(const LightState& s) {
  return {s.red, s.green, s.blue};
}

uint8_t Advance(uint8_t value, size_t limit) {
  const size_t next = size_t{value} + 1;
  return next >= limit ? 0 : static_cast<uint8_t>(next);
}

void DrawWave(const LightState& s, uint8_t phase, ColourBuffer& out) {
  size_t start;
  if (s.Forward()) {
    start = phase == 0 ? kWheelSize - 1 : kWheelSize - phase;
  } else {
    start = size_t{phase} + 1 >= kWheelSize ? 0 : size_t{phase} + 1;
  }
  const size_t n = out.size();
  const uint8_t level = Brightness(s.brightness);
  for (size_t i = 0; i < n; ++i) {
    if (s.Multicolour()) {
      out.Set(i, LightColour(Wheel(start + kWaveSpread * i), level));
    } else {
      const size_t k = (start + kWaveSpread * i) % kWaveSize;
      out.Set(i, LightColour(FixedColour(s), ScaleLevel(kWaveCurve[k], level)));
    }
  }
}

}  // namespace

SequenceShared::Values SequenceShared::Get() const {
  std::lock_guard lock(mutex_);
  return values_;
}

void SequenceShared::RestartTimer() {
  std::lock_guard lock(mutex_);
  values_.stepStarted = false;
}

void LightSequence::Set(std::vector<LightSequenceStep> steps) {
  std::lock_guard lock(mutex_);
  steps_ = std::move(steps);
  step_ = 0;
  shared_->RestartTimer();
}

std::vector<LightSequenceStep> LightSequence::Steps() const {
  std::lock_guard lock(mutex_);
  return steps_;
}

size_t LightSequence::step() const {
  std::lock_guard lock(mutex_);
  return step_;
}

size_t LightSequence::length() const {
  std::lock_guard lock(mutex_);
  return steps_.size();
}

void LightSequence::Pass(uint32_t nowMs, uint8_t deviceSpeed, ColourBuffer& out) {
  std::lock_guard lock(mutex_);
  if (step_ >= steps_.size()) step_ = 0;
  if (steps_.empty()) {
    out.Fill(LightColour());
    return;
  }
  const LightSequenceStep current = steps_[step_];
  const LightState& s = current.state;
  const uint8_t level = Brightness(s.brightness);

  std::lock_guard sharedLock(shared_->mutex_);
  SequenceShared::Values& v = shared_->values_;
  if (!v.stepStarted) {
    v.stepStarted = true;
    v.stepStartMs = nowMs;
  }
  v.counter = static_cast<uint8_t>(v.counter + 1);
  if (v.counter >= kCounterWrap) v.counter = 0;

  switch (static_cast<SequenceMode>(s.mode)) {
    case SequenceMode::kBreathing:
      if (v.counter >= SpeedTicks(s.speed)) {
        v.counter = 0;
        v.phase = Advance(v.phase, kBreathingSize);
        if (v.phase == 0) {
          v.colourIndex = static_cast<uint8_t>(v.colourIndex + 16);
          if (v.colourIndex > kWheelSize) v.colourIndex = 0;
        }
        const Rgb colour = s.Multicolour() ? Wheel(v.colourIndex) : FixedColour(s);
        out.Fill(LightColour(colour, ScaleLevel(kBreathingCurve[v.phase], level)));
      }
      break;
    case SequenceMode::kStatic:
      if (v.counter >= SpeedTicks(s.speed)) {
        v.counter = 0;
        out.Fill(LightColour(FixedColour(s), level));
      }
      break;
    case SequenceMode::kBlink:
      v.counter = 0;
      v.phase = Advance(v.phase, kBreathingSize);
      if (static_cast<uint32_t>(nowMs - v.blinkLastMs) >= BlinkPeriodMs(deviceSpeed)) {
        v.blinkLastMs = nowMs;
        v.blinkOn = v.blinkOn ? 0 : 1;
        v.blinkHue = static_cast<uint8_t>(v.phase + 14);
      }
      if (v.blinkOn) {
        out.Fill(LightColour(s.Multicolour() ? Wheel(v.blinkHue) : FixedColour(s), level));
      } else {
        out.Fill(LightColour());
      }
      break;
    case SequenceMode::kWave:
      if (v.counter >= SpeedTicks(s.speed)) {
        v.counter = 0;
        v.phase = Advance(v.phase, kWheelSize);
        DrawWave(s, v.phase, out);
      }
      break;
    case SequenceMode::kSpectrum:
      if (v.counter >= SequenceSpectrumTicks(s.speed)) {
        v.counter = 0;
        v.phase = Advance(v.phase, kWheelSize);
        out.Fill(LightColour(Wheel(v.phase), level));
      }
      break;
    default:
      break;  // modes without a sequence rendering leave the lights as they are
  }

  if (static_cast<uint32_t>(nowMs - v.stepStartMs) >= current.durationMs) {
    step_ = step_ + 1 >= steps_.size() ? 0 : step_ + 1;
    v.stepStartMs = nowMs;
  }
}

}  // namespace varkon
