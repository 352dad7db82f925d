#include "device/hid_channel.h"

#include <thread>

#include <gtest/gtest.h>

#include "device/device_watcher.h"
#include "device/transport_fixture.h"
#include "emulator/emulated_rig.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

TEST(HidChannel, EnumeratingNothingGivesAnEmptyListAtOnce) {
  EmulatedRig rig;
  HidChannel channel(&rig.Backend());
  EXPECT_TRUE(channel.Enumerate());
  EXPECT_EQ(channel.PathCount(), 0u);
  EXPECT_FALSE(channel.NextPath().has_value());
}

TEST(HidChannel, PathWalkerVisitsEveryInterfaceOnce) {
  EmulatedRig rig;
  for (EmulatedKind kind : AllEmulatedKinds()) rig.Plug(kind);
  HidChannel channel(&rig.Backend());
  ASSERT_TRUE(channel.Enumerate());
  EXPECT_EQ(channel.PathCount(), 20u);  // 5 + 5 + 5 + 4 collections and the headset's one
  size_t walked = 0;
  while (channel.NextPath()) ++walked;
  EXPECT_EQ(walked, channel.PathCount());
  EXPECT_FALSE(channel.NextPath().has_value());
  channel.FreePaths();
  EXPECT_EQ(channel.PathCount(), 0u);
}

TEST(HidChannel, OpenReadsIdentityCapabilitiesAndItems) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Keyboard);
  HidChannel channel(&rig.Backend());
  ASSERT_TRUE(channel.Open(test::ConfigPath(EmulatedKind::Keyboard), true, true, true, false));
  EXPECT_EQ(channel.Attributes().vendorId, 0x320F);
  EXPECT_EQ(channel.Attributes().productId, 0x5055);
  EXPECT_EQ(channel.Caps().usagePage, 0xFF1C);
  EXPECT_EQ(channel.Caps().inputReportByteLength, 64);
  EXPECT_EQ(channel.InterfaceNumber(), 1);
  EXPECT_EQ(channel.CollectionNumber(), 4);
  EXPECT_GT(channel.ItemCount(HidReportKind::Input), 0u);

  channel.Close();
  EXPECT_FALSE(channel.IsOpen());
  EXPECT_EQ(channel.Caps().inputReportByteLength, 0);  // capabilities go with the handle
  EXPECT_TRUE(channel.Reopen());                       // the path and flags stay
  EXPECT_EQ(channel.Caps().usagePage, 0xFF1C);

  EXPECT_FALSE(channel.Open("emu:keyboard#vid_320f&pid_5055&mi_01&col09", true, true, true, false));
  EXPECT_FALSE(channel.IsOpen());  // a failed open leaves no handle
  EXPECT_FALSE(channel.Open(std::string(300, 'x'), true, true, true, false));
}

TEST(HidChannel, NoticeIsDecodedIntoTheCompanionItems) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Pad);
  HidChannel channel(&rig.Backend());
  ASSERT_TRUE(channel.Open(EmulatedRig::NoticePath(EmulatedKind::Pad), true, true, true, false));
  rig.SendNotice(EmulatedKind::Pad, 0x0401);
  std::vector<uint8_t> report(channel.Caps().inputReportByteLength);
  size_t got = 0;
  ASSERT_EQ(channel.Read(report.data(), report.size(), got, 1000), 1);
  EXPECT_EQ(channel.UnpackInputReport(report.data(), got), kHidStatusSuccess);
  const std::vector<HidDataItem> items = channel.InputItems();
  ASSERT_FALSE(items.empty());
  EXPECT_TRUE(items[0].isSet);
  ASSERT_FALSE(items[0].usages.empty());
  EXPECT_EQ(items[0].usages[0], 0x0401);
}

TEST(HidChannel, SilentReadTimesOutAndAnEndlessReadEndsWhenClosed) {
  EmulatedRig rig;
  rig.Plug(EmulatedKind::Mouse);
  HidChannel channel(&rig.Backend());
  ASSERT_TRUE(channel.Open(test::ConfigPath(EmulatedKind::Mouse), true, true, true, false));
  uint8_t report[64];
  size_t got = 99;
  test::Stopwatch silent;
  EXPECT_EQ(channel.Read(report, sizeof report, got, 300), 0);
  EXPECT_GE(silent.Elapsed(), 250ms);
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(channel.ReadBusy());

  std::thread closer([&] {
    while (!channel.ReadBusy()) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    channel.Close();
  });
  test::Stopwatch endless;
  EXPECT_EQ(channel.Read(report, sizeof report, got, kHidWaitForever), 0);
  closer.join();
  EXPECT_LT(endless.Elapsed(), 1000ms);
  EXPECT_EQ(channel.Write(report, sizeof report, got, 100), 0);  // closed: fails at once
}

// A platform whose listing fails.
class FailingBackend : public HidBackend {
 public:
  bool Enumerate(std::vector<std::string>&) override { return false; }
  std::shared_ptr<HidDevice> Open(const std::string&, bool, bool, bool) override { return {}; }
  bool IsPresent(const std::string&) override { return false; }
};

class EndRecorder : public WatcherEvents {
 public:
  bool Arrived(size_t, StopEvent&) override { return true; }
  bool Removed(size_t, StopEvent&) override { return true; }
  void FirstPassDone() override {}
  void WatcherEnded() override { ended = true; }
  std::atomic<bool> ended{false};
};

TEST(DeviceWatcher, FailedEnumerationEndsTheWatcherAndSaysSo) {
  FailingBackend backend;
  SlotTable slots;
  EndRecorder events;
  DeviceWatcher watcher(slots, backend, events);
  watcher.Start();
  for (int i = 0; i < 200 && watcher.Running(); ++i) std::this_thread::sleep_for(5ms);
  EXPECT_FALSE(watcher.Running());
  EXPECT_TRUE(events.ended.load());
}

}  // namespace
}  // namespace varkon
