// The headset's light burst as the program sends it: the 12 output reports of one frame built
// from the colour buffer and written on the headset's channel of the emulator, with the latency
// model off (the host's share: target under 50 µs) and on (each report waits for the link, as a
// write on a real interrupt endpoint does). "margin_ms" is what is left of the 50 ms paint
// period once a burst is sent.
#include <benchmark/benchmark.h>

#include <chrono>

#include "device/transport_fixture.h"
#include "devices/light_headset_frame.h"
#include "emulator/emulated_rig.h"

namespace varkon {
namespace {

void BM_HeadsetBurst(benchmark::State& state) {
  EmulatedRig rig;
  rig.SetCableLatency(static_cast<int>(state.range(0)));
  rig.Plug(EmulatedKind::Headset);
  DeviceTransport transport{&rig.Backend()};
  if (!test::OpenOn(transport, EmulatedKind::Headset)) {
    state.SkipWithError("the emulated headset did not open");
    return;
  }
  ColourBuffer colours(kHeadsetLights);
  uint8_t shade = 0;
  const uint32_t before = rig.Firmware(EmulatedKind::Headset).FrameReportCount();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    for (size_t i = 0; i < kHeadsetLights; ++i) {
      colours.Set(i, LightColour(shade, static_cast<uint8_t>(255 - shade), 40, 255));
    }
    ++shade;
    for (const HeadsetReport& report : BuildHeadsetReports(colours)) {
      transport.CableChannel().SetOutputReport(report.data(), report.size());
    }
  }
  const uint32_t taken = rig.Firmware(EmulatedKind::Headset).FrameReportCount() - before;
  if (taken != state.iterations() * kHeadsetReportCount) state.SkipWithError("reports were lost");
  const double burstMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(state.iterations());
  state.counters["margin_ms"] = benchmark::Counter(50.0 - burstMs);
  state.counters["bursts_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(state.range(0) == 0 ? "latency off" : "latency on");
}
BENCHMARK(BM_HeadsetBurst)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varkon
