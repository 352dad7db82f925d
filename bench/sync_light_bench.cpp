// Cost of synchronised lighting and of the spectrum reduction. A sync step plus painting every
// light of a keyboard, mouse, mouse pad and headset should stay well under the 2 ms pass; one
// spectrum frame arrives about every 20 ms.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <vector>

#include "devices/audio_band_reducer.h"
#include "devices/light_buffer.h"
#include "devices/light_scheduler.h"
#include "devices/sync_light_driver.h"
#include "devices/sync_light_step.h"

namespace varkon {
namespace {

class BenchDevice : public SyncLightTarget {
 public:
  explicit BenchDevice(size_t lights) : colours_(lights) {}
  bool IsConnected() const override { return true; }
  bool SyncOn() const override { return syncOn_.load(std::memory_order_relaxed); }
  void SetSyncOn(bool on) override { syncOn_.store(on, std::memory_order_relaxed); }
  size_t LightCount() const override { return colours_.size(); }
  void SetLightColour(size_t index, uint32_t colour) override { colours_.SetRaw(index, colour); }
  LightState SyncLightState() const override { return state_; }
  void ApplySyncedLightState(const LightState& state) override { state_ = state; }
  uint32_t colour(size_t i) const { return colours_.GetRaw(i); }

 private:
  std::atomic<bool> syncOn_{true};
  ColourBuffer colours_;
  LightState state_;
};

void BM_SyncStep(benchmark::State& state) {
  const SyncSettings settings{static_cast<uint8_t>(state.range(0)), 3, 4, 1, 1, 10, 20, 30};
  SyncAnimation animation;
  uint32_t now = 0;
  for (auto _ : state) {
    now += 2;
    benchmark::DoNotOptimize(SyncStep(settings, animation, now));
  }
}
BENCHMARK(BM_SyncStep)->DenseRange(0, 4)->ArgName("type");

// One pass that steps (speed 4) and paints a 170-light keyboard, a mouse, a pad and a headset.
void BM_SyncPassPaintAll(benchmark::State& state) {
  BenchDevice keyboard(170), mouse(9), pad(15), headset(13);
  std::vector<SyncLightTarget*> ks{&keyboard}, ms{&mouse}, ps{&pad}, hs{&headset};
  const SyncGroup group{ks, ms, ps, hs};
  SharedSyncSettings settings;
  settings.Store(SyncSettings{static_cast<uint8_t>(state.range(0)), 4, 4, 1, 1, 10, 20, 30});
  ManualLightClock clock;
  SyncLightDriver driver(clock, settings);
  driver.Start();
  for (auto _ : state) {
    clock.Advance(2);
    benchmark::DoNotOptimize(driver.Pass(group));
  }
  benchmark::DoNotOptimize(keyboard.colour(169));
}
BENCHMARK(BM_SyncPassPaintAll)->DenseRange(0, 4)->ArgName("type");

// A pass that counts but does not step (speed 0, between two steps).
void BM_SyncPassWaiting(benchmark::State& state) {
  BenchDevice keyboard(170);
  std::vector<SyncLightTarget*> ks{&keyboard};
  const SyncGroup group{ks, {}, {}, {}};
  SharedSyncSettings settings;
  settings.Store(SyncSettings{0, 4, 0, 1, 0, 10, 20, 30});
  ManualLightClock clock;
  SyncLightDriver driver(clock, settings);
  driver.Start();
  for (auto _ : state) {
    clock.Advance(1);
    benchmark::DoNotOptimize(driver.Pass(group));
  }
}
BENCHMARK(BM_SyncPassWaiting);

// One spectrum frame for one keyboard slot and one mouse slot.
void BM_SpectrumReduceFrame(benchmark::State& state) {
  AudioSpectrumReducer reducer;
  std::array<std::array<int32_t, kSpectrumBinCount>, 2> frames{};
  for (size_t i = 0; i < kSpectrumBinCount; ++i) {
    frames[0][i] = static_cast<int32_t>((i * 7919) % 4000);
    frames[1][i] = static_cast<int32_t>((i * 104729) % 3000);
  }
  const SpectrumTargets targets{1, 1, true, true};
  size_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reducer.ReduceFrame(frames[n++ & 1], targets));
  }
}
BENCHMARK(BM_SpectrumReduceFrame);

// The same from the raw 2000-byte data block.
void BM_SpectrumReducePayload(benchmark::State& state) {
  AudioSpectrumReducer reducer;
  std::array<std::vector<uint8_t>, 2> blocks;
  for (int f = 0; f < 2; ++f) {
    for (size_t i = 0; i < kSpectrumPayloadBytes; ++i) {
      blocks[f].push_back(static_cast<uint8_t>(i % 4 == 0 ? (i * (f + 3)) : 0));
    }
  }
  const SpectrumTargets targets{1, 1, true, true};
  size_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reducer.ReducePayload(blocks[n++ & 1], targets));
  }
}
BENCHMARK(BM_SpectrumReducePayload);

}  // namespace
}  // namespace varkon
