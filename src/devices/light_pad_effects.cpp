#include "devices/light_pad_effects.h"

namespace varkon {
namespace {

constexpr size_t kRingHueSpread = 12;
constexpr size_t kPairRingEntries = 8;

Rgb FixedColour(const LightState& s) {
  return {s.red, s.green, s.blue};
}

// Advances the ring every other step: marks the lit ring entries, then rotates.
void AdvanceRing(LightEngine& engine, size_t entries, bool towardsHigher) {
  AnimationState& a = engine.animation();
  if (a.pairStep >= 2) {
    a.pairStep = 0;
    engine.MarkReactiveAll();
    engine.RotateRing(towardsHigher, entries);
  }
  ++a.pairStep;
}

// Colour of unit i of a ring-style effect: a wheel colour running 12 entries on per unit, or the
// light's present colour while the head is lit, or the fixed colour.
class RingColours {
 public:
  RingColours(const LightEngine& engine, const LightState& s, size_t headLight)
      : engine_(engine),
        state_(s),
        hue_(engine.animation().phase),
        headLit_(engine.reactive().level(headLight) != 0) {}

  Rgb Next(size_t presentLight) {
    if (!state_.Multicolour()) return FixedColour(state_);
    hue_ = (hue_ + kRingHueSpread) % kWheelSize;
    if (headLit_) {
      const LightColour c = engine_.colours().Get(presentLight);
      return {c.r, c.g, c.b};
    }
    return Wheel(hue_);
  }

 private:
  const LightEngine& engine_;
  const LightState& state_;
  size_t hue_;
  bool headLit_;
};

}  // namespace

size_t StepWave(LightEngine& engine, const LightState& s, const WaveConstants& wave) {
  AnimationState& a = engine.animation();
  ColourBuffer& out = engine.colours();
  const size_t n = out.size();
  const uint8_t level = Brightness(s.brightness);
  if (s.Multicolour()) {
    a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
    for (size_t i = 0; i < n; ++i) {
      out.Set(i, LightColour(Wheel(a.phase + 1 + size_t{wave.wheelSpread} * i), level));
    }
  } else {
    a.phase = Step(s.Forward(), kWaveSize, a.phase, wave.fixedIncrement);
    const Rgb colour = FixedColour(s);
    for (size_t i = 0; i < n; ++i) {
      const size_t k =
          (a.phase + size_t{wave.fixedOffset} + size_t{wave.fixedSpread} * i) % kWaveSize;
      out.Set(i, LightColour(colour, ScaleLevel(kWaveCurve[k], level)));
    }
  }
  return n;
}

size_t StepRingChase(LightEngine& engine, const LightState& s) {
  AnimationState& a = engine.animation();
  a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
  AdvanceRing(engine, kRingSize, s.Forward());
  ColourBuffer& out = engine.colours();
  const size_t n = out.size();
  if (n == 0) return 0;
  const uint8_t level = Brightness(s.brightness);
  RingColours colours(engine, s, s.Forward() ? 0 : n - 1);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t reactive = engine.DecayReactive(i, s.mode);
    out.Set(i, LightColour(colours.Next(i), ScaleLevel(reactive, level)));
  }
  return n;
}

size_t StepPairs(LightEngine& engine, const LightState& s) {
  AnimationState& a = engine.animation();
  a.phase = Step(s.Forward(), kWheelSize, a.phase, 1);
  AdvanceRing(engine, kPairRingEntries, !s.Forward());
  ColourBuffer& out = engine.colours();
  const size_t n = out.size();
  const uint8_t level = Brightness(s.brightness);
  RingColours colours(engine, s, s.Forward() ? 0 : kMirrorPairs.size() - 1);
  for (size_t i = 0; i < kMirrorPairs.size(); ++i) {
    const auto [first, second] = kMirrorPairs[i];
    const uint8_t reactive = engine.DecayReactive(i, s.mode);
    const LightColour c(colours.Next(first), ScaleLevel(reactive, level));
    if (first < n) out.Set(first, c);
    if (second < n) out.Set(second, c);
  }
  return n;
}

LightEffectTable PadEffectTable(const WaveConstants& wave) {
  const auto ticks = SpeedTickThresholds();
  LightEffectTable table;
  auto add = [&](PadMode mode, LightStepFn step, LightStepFn start = {}) {
    table.Set(static_cast<uint8_t>(mode), LightEffect{std::move(step), std::move(start), ticks});
  };
  // Nothing else ever lights the ring, so the moving effects would stay dark: each starts with
  // one lit entry at the head, as the mouse's ring does.
  const LightStepFn seedRing = [](LightEngine& e, const LightState&, uint32_t) {
    e.ClearReactive();
    e.reactive().set_ring(0, 1);
  };
  add(PadMode::kWave,
      [wave](LightEngine& e, const LightState& s, uint32_t) { StepWave(e, s, wave); });
  add(PadMode::kSpectrum,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepSpectrum(s, now); });
  add(PadMode::kBreathing,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepBreathing(s, now); });
  add(PadMode::kStatic,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepStatic(s, now); });
  add(PadMode::kBlink,
      [](LightEngine& e, const LightState& s, uint32_t now) { e.StepBlink(s, now); });
  add(
      PadMode::kRingChase,
      [](LightEngine& e, const LightState& s, uint32_t) { StepRingChase(e, s); }, seedRing);
  add(
      PadMode::kPairs, [](LightEngine& e, const LightState& s, uint32_t) { StepPairs(e, s); },
      seedRing);
  add(PadMode::kOff, [](LightEngine& e, const LightState& s, uint32_t now) { e.StepOff(s, now); });
  table.SetFallback(
      [](LightEngine& e, const LightState&, uint32_t now) { e.RunSequencePass(now); });
  table.SetAfterPass(
      [](LightEngine& e, const LightState&, uint32_t now) { e.RunPerLightPass(now); });
  return table;
}

}  // namespace varkon
