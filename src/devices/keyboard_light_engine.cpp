#include "devices/keyboard_light_engine.h"

#include <algorithm>

#include "devices/keyboard_light_effects.h"
#include "devices/keyboard_light_frame.h"
#include "devices/keyboard_light_patterns.h"

namespace varkon {

KeyboardLightEngine::KeyboardLightEngine(size_t lightCount, uint32_t seed)
    : LightEngine(LightDeviceClass::kKeyboard, lightCount), fx_(seed) {
  SetEffectTable(MakeTable());
}

KeyboardLightEngine::KeyboardLightEngine(size_t lightCount, LightClassShared& shared, TickRule rule,
                                         uint32_t seed)
    : LightEngine(lightCount, shared, rule), fx_(seed) {
  SetEffectTable(MakeTable());
}

LightEffectTable KeyboardLightEngine::MakeTable() {
  LightEffectTable table;
  for (int mode = 0; mode <= 255; ++mode) {
    LightEffect effect;
    effect.start = [this, mode](LightEngine&, const LightState& s, uint32_t now) {
      StartEffect(mode, s, now);
    };
    if (KeyboardHasStep(mode)) {
      effect.step = [this, mode](LightEngine&, const LightState& s, uint32_t now) {
        StepEffect(mode, s, now);
      };
      for (uint8_t speed = 0; speed < kLevelCount; ++speed) {
        effect.thresholds[speed] =
            static_cast<uint16_t>(std::max(0, KeyboardStepThreshold(mode, speed)));
      }
    }
    table.Set(static_cast<uint8_t>(mode), std::move(effect));
  }
  // Positions without a step play the custom sequence (the area-effect player).
  table.SetFallback([this](LightEngine&, const LightState&, uint32_t now) {
    RunSequencePass(now);
    ClearUnlit();
  });
  table.SetAfterPass(
      [this](LightEngine&, const LightState&, uint32_t now) { RunPerKeyEffects(now); });
  return table;
}

void KeyboardLightEngine::Pass(uint32_t nowMs) {
  if (restart_.exchange(false, std::memory_order_relaxed)) {
    const LightState state = GetLightState();
    StartEffect(DispatchMode(state), state, nowMs);
  }
  RunPass(nowMs);
}

void KeyboardLightEngine::StartEffect(int effect, const LightState& state, uint32_t nowMs) {
  colours().Fill(LightColour());
  ClearReactive();
  inputs_.ClearAudioLevels();
  inputs_.TakeKeyEvents();
  inputs_.TakeRipples();
  {
    std::lock_guard lock(beatMutex_);
    beat_.Reset();
  }
  fx_.Clear();
  fx_.audioFeed = inputs_.audioFeeds();
  KeyboardPass pass{fx_, inputs_, state, colours(), nowMs};
  SeedKeyboardEffect(effect, pass);
}

void KeyboardLightEngine::StepEffect(int effect, const LightState& state, uint32_t nowMs) {
  if (const KeyboardStepFn own = KeyboardOwnStep(effect)) {
    KeyboardPass pass{fx_, inputs_, state, colours(), nowMs};
    own(pass);
    return;
  }
  switch (KeyboardBaseStepOf(effect)) {
    case KeyboardBaseStep::kSpectrum:
      StepSpectrum(state, nowMs);
      break;
    case KeyboardBaseStep::kBreathing:
      StepBreathing(state, nowMs);
      return;
    case KeyboardBaseStep::kStatic:
      StepStatic(state, nowMs);
      return;
    case KeyboardBaseStep::kOff:
      StepOff(state, nowMs);
      break;
    case KeyboardBaseStep::kBreathingFourColours:
      StepBreathingFourColours(state, nowMs);
      break;
    case KeyboardBaseStep::kBlink:
      StepBlink(state, nowMs);
      break;
    case KeyboardBaseStep::kBlinkFourColours:
      StepBlinkFourColours(state, nowMs);
      break;
    case KeyboardBaseStep::kNone:
      return;
  }
  ClearUnlit();
}

size_t KeyboardLightEngine::StepBreathing(const LightState& state, uint32_t) {
  StepKeyboardBreathing(animation(), state, colours());
  return lightCount();
}

size_t KeyboardLightEngine::StepStatic(const LightState& state, uint32_t) {
  StepKeyboardStatic(state, colours());
  return lightCount();
}

void KeyboardLightEngine::ClearUnlit() {
  for (size_t i = kKeyboardLitKeys; i < lightCount(); ++i) colours().Set(i, LightColour());
}

void KeyboardLightEngine::RunPerKeyEffects(uint32_t nowMs) {
  WithLightRecords(
      [nowMs](std::span<const LightRecord> records, PerLightState& perLight, ColourBuffer& out) {
        perLight.StepAll(records.first(std::min(records.size(), kKeyboardLitKeys)), out, nowMs);
      });
}

void KeyboardLightEngine::FeedAudioLevels(std::span<const int32_t> levels) {
  inputs_.SetAudioLevels(levels);
  if (DispatchMode(GetLightState()) != kKeyboardMusicEffect) return;
  if (inputs_.audioLight().style != static_cast<uint8_t>(MusicStyle::kRipple)) return;
  std::lock_guard lock(beatMutex_);
  if (beat_.Add(levels)) inputs_.RequestRipple();
}

int64_t KeyboardLightEngine::beatTotal() const {
  std::lock_guard lock(beatMutex_);
  return beat_.total();
}

size_t KeyboardLightEngine::BuildFrame(std::span<const uint8_t> keyLed, size_t ledCount,
                                       std::span<uint8_t> out) const {
  return BuildKeyboardFrame(colours(), keyLed, ledCount, out);
}

}  // namespace varkon
