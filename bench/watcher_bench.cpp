// What the device watcher costs while it runs for the life of the program: with five devices
// attached it still enumerates every 100 ms (the keyboard's receiver slots can never be
// claimed), so each pass must stay cheap. Target: under 0.2% of one core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "device/device_manager.h"
#include "device/fake_hidraw_tree.h"
#include "device/hidraw_backend.h"
#include "emulator/emulated_descriptors.h"

namespace varkon {
namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Five devices laid out as the kernel shows them: keyboard, mouse and receiver with a boot
// interface and a four-collection interface each, the mouse pad, the headset.
void AddFiveDevices(test::FakeHidrawTree& tree) {
  uint32_t node = 0;
  const auto add = [&](uint16_t vendor, uint16_t product, const char* interface,
                       std::vector<uint8_t> descriptor) {
    test::FakeHidNode spec;
    spec.number = node++;
    spec.vendorId = vendor;
    spec.productId = product;
    spec.interfaceNumber = interface;
    spec.descriptor = std::move(descriptor);
    tree.AddNode(spec);
  };
  add(0x320F, 0x5055, "00", BootKeyboardDescriptor());
  add(0x320F, 0x5055, "01", VendorInterfaceDescriptor());
  add(0x320F, 0x50EF, "00", BootMouseDescriptor());
  add(0x320F, 0x50EF, "01", VendorInterfaceDescriptor());
  add(0x320F, 0x221D, "00", BootMouseDescriptor());
  add(0x320F, 0x221D, "01", VendorInterfaceDescriptor());
  add(0x320F, 0x1004, "01", VendorInterfaceDescriptor());
  add(0x0C76, 0x1630, "03", HeadsetDescriptor());
}

void BM_WatcherWithFiveDevices(benchmark::State& state) {
  test::FakeHidrawTree tree;
  AddFiveDevices(tree);
  HidrawBackend backend(tree.SysfsRoot(), tree.DevRoot());
  SlotTable slots;
  DeviceManagerView view;
  DeviceManager manager(slots, &backend, view);
  CallQueue queue;
  QueuedWatcherEvents events(queue, manager);
  DeviceWatcher watcher(slots, backend, events);
  watcher.Start();
  // Let the arrivals settle first, so the figure is the steady cost.
  const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < settle) {
    queue.WaitForWork(std::chrono::milliseconds(5));
    queue.RunPending();
  }
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    cpu += ProcessCpuSeconds() - cpuStart;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  }
  watcher.Stop();
  state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
  state.counters["passes"] = static_cast<double>(watcher.EnumerationCount());
  state.counters["claimed_slots"] = static_cast<double>(slots.BoundSlots().size());
}
BENCHMARK(BM_WatcherWithFiveDevices)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace varkon
