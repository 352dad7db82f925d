// The mouse's writes through its receiver as the program does them: a DPI stage dragged (the
// settings record) and a profile switch (the record, the macros and the button table), each
// posted to the device's worker. "owner_us" is what the owner (UI) thread spends; "floor_ms" is
// the wire time the receiver's latency alone costs (requests × reply delay), against the
// measured time per iteration.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/call_queue.h"
#include "device/transport_fixture.h"
#include "devices/light_mouse_effects.h"
#include "devices/logic/mouse_logic.h"
#include "emulator/emulated_rig.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

struct ReceiverBench {
  explicit ReceiverBench(int cableLatencyMs) {
    InstallMouseEffects(engine);
    rig.SetCableLatency(cableLatencyMs);
    rig.Plug(EmulatedKind::Receiver);
    opened = test::OpenOn(transport, EmulatedKind::Receiver);
    logic.SetPost([this](std::function<void()> call) { owner.Post(std::move(call)); });
    logic.SetTransport(&transport);
    logic.SetFolders(dir.File("user"), std::string(VARKON_SOURCE_DIR) + "/resources", "mouse", 0);
    logic.Read();
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 5000; ++i) {
      logic.Jobs().WaitIdle(20ms);
      if (owner.RunPending() == 0 && logic.Jobs().Pending() == 0) return;
    }
  }
  size_t Requests() { return rig.Firmware(EmulatedKind::Receiver).Requests().size(); }
  void Report(benchmark::State& state, double ownerSeconds, size_t requests) {
    const double n = static_cast<double>(state.iterations());
    const int replyMs = ReplyLatencyMs(EmulatedKind::Receiver, static_cast<int>(state.range(0)));
    state.counters["owner_us"] = benchmark::Counter(ownerSeconds * 1e6 / n);
    state.counters["requests"] = benchmark::Counter(static_cast<double>(requests) / n);
    state.counters["floor_ms"] = benchmark::Counter(static_cast<double>(requests) * replyMs / n);
    state.SetLabel(state.range(0) == 0 ? "latency off" : "latency on");
  }

  test::TempDir dir;
  EmulatedRig rig;
  DeviceTransport transport{&rig.Backend()};
  bool opened = false;
  CallQueue owner;
  LightEngine engine{LightDeviceClass::kMouse, 0};
  MouseLogic logic{engine};
};

bool Ready(ReceiverBench& bench, benchmark::State& state) {
  if (bench.opened && bench.logic.Discovered()) return true;
  state.SkipWithError("the emulated mouse was not read through the receiver");
  return false;
}

// One stage's slider moved: stored, saved and the 71-byte record written (SetStageStep does all
// three, as the slider's handler calls it).
void BM_MouseReceiverDpiStage(benchmark::State& state) {
  ReceiverBench bench(static_cast<int>(state.range(0)));
  if (!Ready(bench, state)) return;
  double ownerSeconds = 0;
  const size_t before = bench.Requests();
  int step = 10;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    bench.logic.SetStageStep(0, step = step == 10 ? 20 : 10);
    ownerSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bench.Settle();
    if (bench.logic.LastStatus() != kStatusOk) state.SkipWithError("the record was not written");
  }
  bench.Report(state, ownerSeconds, bench.Requests() - before);
}
BENCHMARK(BM_MouseReceiverDpiStage)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// A profile switch: the profile loaded, its record, macros and button table written.
void BM_MouseReceiverProfileSwitch(benchmark::State& state) {
  ReceiverBench bench(static_cast<int>(state.range(0)));
  if (!Ready(bench, state)) return;
  double ownerSeconds = 0;
  const size_t before = bench.Requests();
  for (auto _ : state) {
    StatusCode record = kStatusDeviceFF;
    StatusCode keys = kStatusDeviceFF;
    const auto start = std::chrono::steady_clock::now();
    bench.logic.LoadProfile();
    bench.logic.ValidateMacroRefs();
    bench.logic.WriteLightRecord([&](StatusCode s) { record = s; });
    bench.logic.WriteKeysAndMacros([&](int, StatusCode s) { keys = s; });
    ownerSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bench.Settle();
    if (record != kStatusOk || keys != kStatusOk)
      state.SkipWithError("the profile was not written");
  }
  bench.Report(state, ownerSeconds, bench.Requests() - before);
}
BENCHMARK(BM_MouseReceiverProfileSwitch)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varkon
