#include "devices/light_mouse_effects.h"

namespace varkon {
namespace {

constexpr size_t kWaveSpread = 7;
constexpr size_t kRingHueSpread = 12;
constexpr uint8_t kFadeHueStep = 32;
constexpr uint8_t kFadeHueSpread = 12;

Rgb FixedColour(const LightState& s) {
  return {s.red, s.green, s.blue};
}

void PaintGroup(ColourBuffer& out, const MouseGroup& group, LightColour c) {
  for (size_t j = 0; j < group.count && j < group.leds.size(); ++j) {
    if (group.leds[j] < out.size()) out.Set(group.leds[j], c);
  }
}

}  // namespace

size_t MouseStepWave(LightEngine& engine, const LightState& s) {
  AnimationState& a = engine.animation();
  ColourBuffer& out = engine.colours();
  const uint8_t level = Brightness(s.brightness);
  if (s.Multicolour()) {
    a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
    for (size_t g = 0; g < kMouseGroups.size(); ++g) {
      PaintGroup(out, kMouseGroups[g], LightColour(Wheel(a.phase + 1 + kWaveSpread * g), level));
    }
  } else {
    a.phase = Step(s.Forward(), kWaveSize, a.phase, 1);
    for (size_t g = 0; g < kMouseGroups.size(); ++g) {
      const size_t k = (a.phase + 1 + kWaveSpread * g) % kWaveSize;
      PaintGroup(out, kMouseGroups[g],
                 LightColour(FixedColour(s), ScaleLevel(kWaveCurve[k], level)));
    }
  }
  return out.size();
}

size_t MouseStepRingChase(LightEngine& engine, const LightState& s) {
  AnimationState& a = engine.animation();
  ColourBuffer& out = engine.colours();
  a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
  engine.MarkReactive();
  engine.RotateRing(s.Forward());
  const uint8_t level = Brightness(s.brightness);
  const size_t head = s.Forward() ? 0 : kMouseGroups.size() - 1;
  const bool headLit = engine.reactive().level(head) != 0;
  size_t hue = a.phase;
  for (size_t g = 0; g < kMouseGroups.size(); ++g) {
    const MouseGroup& group = kMouseGroups[g];
    const uint8_t reactive = engine.DecayReactive(g, s.mode);
    Rgb colour = FixedColour(s);
    if (s.Multicolour()) {
      hue = (hue + kRingHueSpread) % kWheelSize;
      const LightColour present = out.Get(group.leds[0]);
      colour = headLit ? Rgb{present.r, present.g, present.b} : Wheel(hue);
    }
    PaintGroup(out, group, LightColour(colour, ScaleLevel(reactive, level)));
  }
  return out.size();
}

size_t MouseStepReactiveFade(LightEngine& engine, const LightState& s) {
  ColourBuffer& out = engine.colours();
  ReactiveState& r = engine.reactive();
  const uint8_t level = Brightness(s.brightness);
  const size_t n = out.size();
  for (size_t i = 0; i < n; ++i) {
    uint8_t v = r.level(i);
    if (r.rising(i)) {
      v = v > 255 - kFadeStep ? 255 : static_cast<uint8_t>(v + kFadeStep);
      if (v == 255) r.set_rising(i, false);
    } else {
      v = v > kFadeStep ? static_cast<uint8_t>(v - kFadeStep) : 0;
    }
    r.set_level(i, v);
    const Rgb colour = s.Multicolour() ? Wheel(r.hue(i)) : FixedColour(s);
    out.Set(i, LightColour(colour, ScaleLevel(v, level)));
  }
  return n;
}

void MarkMouseFade(LightEngine& engine) {
  ReactiveState& r = engine.reactive();
  const uint8_t base = static_cast<uint8_t>((r.hue(0) + kFadeHueStep) % kWheelSize);
  const size_t n = engine.lightCount();
  for (size_t i = 0; i < n; ++i) {
    r.set_hue(i, static_cast<uint8_t>((base + kFadeHueSpread * i) % kWheelSize));
    r.set_rising(i, true);
  }
}

void SeedMouseRing(LightEngine& engine) {
  engine.ClearReactive();
  engine.reactive().set_ring(0, 1);
}

LightEffectTable MouseEffectTable(LightStepFn fallback, LightStepFn afterPass) {
  LightEffectTable table;
  auto add = [&](MouseEffect position, LightStepFn step) {
    const uint8_t p = static_cast<uint8_t>(position);
    LightEffect effect{std::move(step), {}, {}};
    for (uint8_t speed = 0; speed < kLevelCount; ++speed) {
      effect.thresholds[speed] = static_cast<uint16_t>(MouseStepThreshold(p, speed));
    }
    table.Set(p, std::move(effect));
  };
  add(MouseEffect::kWave,
      [](LightEngine& e, const LightState& s, uint32_t) { MouseStepWave(e, s); });
  add(MouseEffect::kSpectrum,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepSpectrum(s, now); });
  add(MouseEffect::kBreathing,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepBreathing(s, now); });
  add(MouseEffect::kStatic,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepStatic(s, now); });
  add(MouseEffect::kBlink,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepBlink(s, now); });
  add(MouseEffect::kRingChase,
      [](LightEngine& e, const LightState& s, uint32_t) { MouseStepRingChase(e, s); });
  add(MouseEffect::kReactiveFade,
      [](LightEngine& e, const LightState& s, uint32_t) { MouseStepReactiveFade(e, s); });
  add(MouseEffect::kBreathingFourColours, [](LightEngine& e, const LightState& s, uint32_t now) {
    e.StepBreathingFourColours(s, now);
  });
  add(MouseEffect::kBlinkFourColours,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepBlinkFourColours(s, now); });
  add(MouseEffect::kOff,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepOff(s, now); });
  table.SetFallback(std::move(fallback));
  table.SetAfterPass(std::move(afterPass));
  return table;
}

}  // namespace varkon
