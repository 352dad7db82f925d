// One step of every keyboard effect on a full keyboard (170 lights), the music styles, a full
// light-thread pass and the streamed frame.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "devices/keyboard_light_effects.h"
#include "devices/keyboard_light_engine.h"
#include "devices/keyboard_light_frame.h"

namespace varkon {
namespace {

LightState BenchState(int effect, bool multicolour) {
  LightState s;
  s.mode = static_cast<uint8_t>(effect);
  s.brightness = 4;
  s.speed = 4;
  s.direction = 1;
  s.multicolour = multicolour ? 1 : 0;
  s.red = 40;
  s.green = 200;
  s.blue = 90;
  return s;
}

std::vector<int32_t> BenchLevels(uint32_t n) {
  std::vector<int32_t> levels(kAudioBands);
  for (size_t b = 0; b < levels.size(); ++b)
    levels[b] = static_cast<int32_t>((n * 53 + b * 97) % 2200);
  return levels;
}

void BM_KeyboardStep(benchmark::State& st) {
  const int effect = static_cast<int>(st.range(0));
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kEveryPass);
  const LightState s = BenchState(effect, true);
  engine.SetLightState(s);
  engine.StartEffect(effect, s, 0);
  engine.FeedAudioLevels(BenchLevels(1));
  uint32_t now = 0;
  for (auto _ : st) {
    // Reactive effects get a key press now and then, as from a typist.
    if ((now & 63) == 0) engine.PressKey((now >> 6) % kKeyboardLitKeys);
    engine.StepEffect(effect, s, now += 16);
    benchmark::ClobberMemory();
  }
}
// Effects 22, 23, 24, 28 and 31 have no step routine (the custom sequence plays instead).
BENCHMARK(BM_KeyboardStep)
    ->Apply([](benchmark::internal::Benchmark* b) {
      for (int e = kKeyboardFirstEffect; e <= kKeyboardLastEffect; ++e) {
        if (KeyboardHasStep(e)) b->Arg(e);
      }
    })
    ->ArgName("effect");

void BM_KeyboardMusicStyle(benchmark::State& st) {
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kEveryPass);
  KeyboardAudioLight light;
  light.style = static_cast<uint8_t>(st.range(0));
  light.background = {0, 0, 30};
  light.foreground = {255, 80, 0};
  light.multicolour = true;
  engine.SetAudioLight(light);
  const LightState s = BenchState(kKeyboardMusicEffect, true);
  engine.SetLightState(s);
  engine.StartEffect(kKeyboardMusicEffect, s, 0);
  uint32_t now = 0;
  for (auto _ : st) {
    if ((now & 7) == 0) engine.FeedAudioLevels(BenchLevels(now));
    engine.StepEffect(kKeyboardMusicEffect, s, now += 16);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KeyboardMusicStyle)->DenseRange(0, 6)->ArgName("style");

// A whole light-thread pass that steps: effect 1 at speed 4 with per-key effects on every key.
void BM_KeyboardPass(benchmark::State& st) {
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kTickChangeOver1Ms);
  std::vector<LightRecord> records(kKeyboardLights);
  for (size_t i = 0; i < kKeyboardLitKeys; i += 3) {
    records[i] = LightRecord::Make(PerLightType::kBreathing, 4, 2, true, 1, 2, 3, true);
  }
  engine.SetLightRecords(records, 0);
  engine.SetLightState(BenchState(1, true));
  uint32_t now = 0;
  for (auto _ : st) {
    engine.Pass(now += 16);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KeyboardPass);

void BM_KeyboardFrame(benchmark::State& st) {
  LightClassShared shared;
  KeyboardLightEngine engine(kKeyboardLights, shared, TickRule::kEveryPass);
  const LightState s = BenchState(1, true);
  engine.StartEffect(1, s, 0);
  engine.StepEffect(1, s, 16);
  std::array<uint8_t, kKeyboardLights> leds;
  for (size_t i = 0; i < leds.size(); ++i) leds[i] = static_cast<uint8_t>(i < 126 ? 125 - i : 255);
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  for (auto _ : st) {
    benchmark::DoNotOptimize(engine.BuildFrame(leds, 126, frame));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KeyboardFrame);

}  // namespace
}  // namespace varkon
