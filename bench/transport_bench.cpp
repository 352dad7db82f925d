// Host time the transport adds per packet when the device answers at once. One USB full-speed
// interrupt transfer takes about 1 ms on the wire, so the host's share should stay under 20 µs.
#include <benchmark/benchmark.h>

#include <vector>

#include "device/device_transport.h"
#include "device/transport_fixture.h"
#include "emulator/emulated_rig.h"

namespace varkon {
namespace {

void BM_SinglePacketTransaction(benchmark::State& state) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Keyboard);
  DeviceTransport transport(&rig.Backend());
  if (!test::OpenOn(transport, EmulatedKind::Keyboard)) {
    state.SkipWithError("cannot open the emulated keyboard");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(transport.CmdBeginSession());
  }
  state.counters["time_per_packet"] = benchmark::Counter(
      static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SinglePacketTransaction)->UseRealTime();

// A full 512-byte key table: 10 packets on the cable (56-byte chunks), 22 through the receiver.
void BM_KeyTableWrite(benchmark::State& state) {
  const bool receiver = state.range(0) != 0;
  EmulatedRig rig;
  const EmulatedKind kind = receiver ? EmulatedKind::Receiver : EmulatedKind::Mouse;
  rig.Plug(EmulatedKind::Mouse);
  rig.Plug(EmulatedKind::Receiver);
  DeviceTransport transport(&rig.Backend());
  if (!test::OpenOn(transport, kind)) {
    state.SkipWithError("cannot open the emulated mouse");
    return;
  }
  const std::vector<uint8_t> table(512, 0x5A);
  const int packets = receiver ? 22 : 10;
  for (auto _ : state) {
    benchmark::DoNotOptimize(transport.CmdWriteKeyTable(0, table));
    rig.Firmware(kind).ClearRequests();
  }
  state.SetLabel(receiver ? "receiver" : "cable");
  state.SetItemsProcessed(state.iterations() * packets);
  state.counters["packets"] = packets;
}
BENCHMARK(BM_KeyTableWrite)->Arg(0)->Arg(1)->UseRealTime();

}  // namespace
}  // namespace varkon
