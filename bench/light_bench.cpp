// One step of each lighting effect on a full keyboard's 170 lights, one light-thread pass through
// the effect table, and the frames built from the buffer. Target: under 5 µs per step.
#include <benchmark/benchmark.h>

#include <vector>

#include "devices/light_engine.h"
#include "devices/light_headset_frame.h"
#include "devices/light_mouse_effects.h"
#include "devices/light_pad_effects.h"

namespace varkon {
namespace {

LightState BenchState(uint8_t mode, bool multi) {
  LightState s;
  s.mode = mode;
  s.brightness = 3;
  s.speed = 4;
  s.direction = 1;
  s.multicolour = multi ? 1 : 0;
  s.red = 200;
  s.green = 100;
  s.blue = 50;
  return s;
}

using EngineStep = size_t (*)(LightEngine&, const LightState&, uint32_t);

template <EngineStep step, bool multi>
void BM_Step(benchmark::State& bench) {
  LightClassShared shared;
  LightEngine engine(kMaxLights, shared);
  for (size_t i = 0; i < kRingSize; i += 3) engine.reactive().set_ring(i, 1);
  const LightState s = BenchState(0, multi);
  uint32_t now = 0;
  for (auto _ : bench) {
    now += 50;  // makes the blink steps toggle now and then
    benchmark::DoNotOptimize(step(engine, s, now));
  }
}

size_t Breathing(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepBreathing(s, t);
}
size_t BreathingFour(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepBreathingFourColours(s, t);
}
size_t Static(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepStatic(s, t);
}
size_t Spectrum(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepSpectrum(s, t);
}
size_t Blink(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepBlink(s, t);
}
size_t BlinkFour(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepBlinkFourColours(s, t);
}
size_t Off(LightEngine& e, const LightState& s, uint32_t t) {
  return e.StepOff(s, t);
}
size_t PadWave(LightEngine& e, const LightState& s, uint32_t) {
  return StepWave(e, s, kPadWave);
}
size_t HeadsetWave(LightEngine& e, const LightState& s, uint32_t) {
  return StepWave(e, s, kHeadsetWave);
}
size_t RingChase(LightEngine& e, const LightState& s, uint32_t) {
  return StepRingChase(e, s);
}
size_t Pairs(LightEngine& e, const LightState& s, uint32_t) {
  return StepPairs(e, s);
}
size_t MouseWave(LightEngine& e, const LightState& s, uint32_t) {
  return MouseStepWave(e, s);
}
size_t MouseRing(LightEngine& e, const LightState& s, uint32_t) {
  return MouseStepRingChase(e, s);
}
size_t MouseFade(LightEngine& e, const LightState& s, uint32_t) {
  MarkMouseFade(e);
  return MouseStepReactiveFade(e, s);
}
size_t PerLight(LightEngine& e, const LightState&, uint32_t t) {
  e.RunPerLightPass(t);
  return e.lightCount();
}

BENCHMARK(BM_Step<Breathing, true>)->Name("Light/Breathing");
BENCHMARK(BM_Step<BreathingFour, false>)->Name("Light/BreathingFourColours");
BENCHMARK(BM_Step<Static, false>)->Name("Light/Static");
BENCHMARK(BM_Step<Spectrum, false>)->Name("Light/Spectrum");
BENCHMARK(BM_Step<Blink, true>)->Name("Light/Blink");
BENCHMARK(BM_Step<BlinkFour, false>)->Name("Light/BlinkFourColours");
BENCHMARK(BM_Step<Off, false>)->Name("Light/Off");
BENCHMARK(BM_Step<PadWave, true>)->Name("Light/PadWaveMulticolour");
BENCHMARK(BM_Step<PadWave, false>)->Name("Light/PadWaveFixed");
BENCHMARK(BM_Step<HeadsetWave, false>)->Name("Light/HeadsetWaveFixed");
BENCHMARK(BM_Step<RingChase, true>)->Name("Light/RingChase");
BENCHMARK(BM_Step<Pairs, true>)->Name("Light/Pairs");
BENCHMARK(BM_Step<MouseWave, true>)->Name("Light/MouseWave");
BENCHMARK(BM_Step<MouseRing, true>)->Name("Light/MouseRingChase");
BENCHMARK(BM_Step<MouseFade, true>)->Name("Light/MouseReactiveFade");

void BM_PerLightPass(benchmark::State& bench) {
  LightClassShared shared;
  LightEngine engine(kMaxLights, shared);
  std::vector<LightRecord> records(kMaxLights);
  for (size_t i = 0; i < kMaxLights; ++i) {
    records[i] = LightRecord::Make(static_cast<PerLightType>(i % 5), 4, static_cast<uint8_t>(i % 5),
                                   i % 2 == 0, 10, 20, 30, true);
  }
  engine.SetLightRecords(records, 0);
  uint32_t now = 0;
  for (auto _ : bench) {
    now += 7;
    engine.RunPerLightPass(now);
  }
}
BENCHMARK(BM_PerLightPass)->Name("Light/PerLightPass");

void BM_SequencePass(benchmark::State& bench) {
  LightClassShared shared;
  LightEngine engine(kMaxLights, shared);
  LightSequenceStep step;
  step.state = BenchState(static_cast<uint8_t>(SequenceMode::kWave), false);
  step.durationMs = 1000;
  engine.sequence().Set({step});
  uint32_t now = 0;
  for (auto _ : bench) engine.RunSequencePass(++now);
}
BENCHMARK(BM_SequencePass)->Name("Light/SequenceWavePass");

// A whole pad light-thread pass: table dispatch, a breathing step, the per-light pass.
void BM_PadRunPass(benchmark::State& bench) {
  LightClassShared shared;
  LightEngine engine(kMaxLights, shared);
  InstallPadEffects(engine);
  engine.SetLightState(BenchState(static_cast<uint8_t>(PadMode::kBreathing), true));
  uint32_t now = 0;
  for (auto _ : bench) engine.RunPass(++now);
}
BENCHMARK(BM_PadRunPass)->Name("Light/PadRunPass");

void BM_HardwareFrame(benchmark::State& bench) {
  ColourBuffer colours(kMaxLights);
  colours.Fill(LightColour(200, 100, 50, 180));
  std::vector<uint8_t> frame(512);
  for (auto _ : bench) benchmark::DoNotOptimize(BuildHardwareFrame(colours, frame));
}
BENCHMARK(BM_HardwareFrame)->Name("Light/HardwareFrame170");

void BM_HeadsetReports(benchmark::State& bench) {
  ColourBuffer colours(kHeadsetLights);
  colours.Fill(LightColour(255, 100, 50, 255));
  for (auto _ : bench) {
    HeadsetReports reports = BuildHeadsetReports(colours);
    benchmark::DoNotOptimize(reports);
  }
}
BENCHMARK(BM_HeadsetReports)->Name("Light/HeadsetReports");

void BM_PaintPreview(benchmark::State& bench) {
  LightClassShared shared;
  LightEngine engine(kMaxLights, shared);
  uint32_t sum = 0;
  for (auto _ : bench) {
    engine.PaintPreview([&](size_t, const PreviewCell& cell) { sum += cell.value; });
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_PaintPreview)->Name("Light/PaintPreview170");

}  // namespace
}  // namespace varkon
