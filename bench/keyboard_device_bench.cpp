// The keyboard's work as the program does it: a streamed light frame (built from the preview and
// sent, with and without the wire time of the latency model), and writing a whole profile (the
// record, the macro image and both key tables) on the device's worker while the owner thread
// only builds the tables and posts.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "core/call_queue.h"
#include "device/transport_fixture.h"
#include "devices/logic/keyboard_logic.h"
#include "emulator/emulated_rig.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

struct KeyboardBench {
  explicit KeyboardBench(int latencyMs) {
    rig.SetCableLatency(latencyMs);
    rig.Plug(EmulatedKind::Keyboard);
    opened = test::OpenOn(transport, EmulatedKind::Keyboard);
    logic.SetPost([this](std::function<void()> call) { owner.Post(std::move(call)); });
    logic.SetTransport(&transport);
    logic.SetFolders(dir.File("user"), std::string(VARKON_SOURCE_DIR) + "/resources", "keyboard",
                     0);
    logic.Read();
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 1000; ++i) {
      logic.Jobs().WaitIdle(20ms);
      if (owner.RunPending() == 0 && logic.Jobs().Pending() == 0) return;
    }
  }

  test::TempDir dir;
  EmulatedRig rig;
  DeviceTransport transport{&rig.Backend()};
  bool opened = false;
  CallQueue owner;
  KeyboardLightEngine engine;
  KeyboardLogic logic{engine};
};

// One frame of effect 30: the preview read through the key-to-LED map and sent in chunks.
// Argument: the cable latency in ms (0: the host's share alone).
void BM_KeyboardStreamedFrame(benchmark::State& state) {
  KeyboardBench bench(static_cast<int>(state.range(0)));
  if (!bench.opened || !bench.logic.Discovered()) {
    state.SkipWithError("the emulated keyboard was not read");
    return;
  }
  LightState light = bench.logic.GetLightState();
  light.mode = 30;
  bench.logic.SetLightParams(light);
  uint32_t now = 0;
  const uint32_t before = bench.logic.FramesSent();
  for (auto _ : state) {
    now += KeyboardLogic::kStreamPeriodMs;
    bench.logic.StreamFrame(now);
  }
  const uint32_t sent = bench.logic.FramesSent() - before;
  if (sent != state.iterations()) state.SkipWithError("frames were dropped");
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(sent), benchmark::Counter::kIsRate);
  state.SetLabel(state.range(0) == 0 ? "latency off" : "latency on");
}
BENCHMARK(BM_KeyboardStreamedFrame)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A whole profile to the keyboard. "owner_us" is what the owner (UI) thread spends; the rest is
// the worker's, on the wire.
void BM_KeyboardWriteProfile(benchmark::State& state) {
  KeyboardBench bench(static_cast<int>(state.range(0)));
  if (!bench.opened || !bench.logic.Discovered()) {
    state.SkipWithError("the emulated keyboard was not read");
    return;
  }
  double ownerSeconds = 0;
  for (auto _ : state) {
    int result = -100;
    const auto start = std::chrono::steady_clock::now();
    bench.logic.WriteProfileToDevice([&](int r) { result = r; });
    ownerSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bench.Settle();
    if (result != 0) state.SkipWithError("the profile was not written");
  }
  state.counters["owner_us"] =
      benchmark::Counter(ownerSeconds * 1e6 / static_cast<double>(state.iterations()));
  state.SetLabel(state.range(0) == 0 ? "latency off" : "latency on");
}
BENCHMARK(BM_KeyboardWriteProfile)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varkon
