// Listing, opening, unplugging and input-report fan-out on the emulated bus.
#include <thread>

#include <gtest/gtest.h>

#include "device/report_descriptor.h"
#include "emulator/emulated_identities.h"
#include "emulator_test_util.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;
using test::ReadReport;
using test::Request;
using test::Send;
using test::Transact;

const char kKeyboardBase[] = "emu:keyboard#vid_320f&pid_5055";

std::vector<std::string> Listing(HidBackend& backend) {
  std::vector<std::string> paths;
  EXPECT_TRUE(backend.Enumerate(paths));
  return paths;
}

std::vector<std::string> VendorPaths(const std::string& base) {
  return {base + "&mi_01&col01", base + "&mi_01&col02", base + "&mi_01&col03",
          base + "&mi_01&col04"};
}

class EmulatedBusTest : public test::RigTest {};

TEST_F(EmulatedBusTest, ListsEveryInterfaceCollectionByCollection) {
  EXPECT_TRUE(Listing(rig.Backend()).empty());
  for (EmulatedKind kind : AllEmulatedKinds()) rig.Plug(kind);
  rig.Plug(EmulatedKind::Keyboard);  // idempotent

  std::vector<std::string> expected = {std::string(kKeyboardBase) + "&mi_00"};
  for (const auto& path : VendorPaths(kKeyboardBase)) expected.push_back(path);
  expected.push_back("emu:mouse#vid_320f&pid_50ef&mi_00");
  for (const auto& path : VendorPaths("emu:mouse#vid_320f&pid_50ef")) expected.push_back(path);
  expected.push_back("emu:receiver#vid_320f&pid_221d&mi_00");
  for (const auto& path : VendorPaths("emu:receiver#vid_320f&pid_221d")) expected.push_back(path);
  for (const auto& path : VendorPaths("emu:pad#vid_320f&pid_1004")) expected.push_back(path);
  expected.push_back("emu:headset#vid_0c76&pid_1630&mi_03");
  EXPECT_EQ(Listing(rig.Backend()), expected);
  EXPECT_EQ(EmulatedRig::ConfigPath(EmulatedKind::Pad), "emu:pad#vid_320f&pid_1004&mi_01&col04");
  EXPECT_EQ(EmulatedRig::ConfigPath(EmulatedKind::Headset), "emu:headset#vid_0c76&pid_1630&mi_03");
  EXPECT_EQ(EmulatedRig::NoticePath(EmulatedKind::Mouse),
            "emu:mouse#vid_320f&pid_50ef&mi_01&col03");
}

TEST_F(EmulatedBusTest, CollectionsCanBeListedInReverse) {
  rig.Plug(EmulatedKind::Keyboard);
  rig.Plug(EmulatedKind::Pad);
  rig.SetReverseCollections(EmulatedKind::Keyboard, true);
  const std::string base = kKeyboardBase;
  const std::vector<std::string> paths = Listing(rig.Backend());
  ASSERT_EQ(paths.size(), 9u);
  EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.begin() + 5),
            (std::vector<std::string>{base + "&mi_00", base + "&mi_01&col04", base + "&mi_01&col03",
                                      base + "&mi_01&col02", base + "&mi_01&col01"}));
  EXPECT_EQ(paths[8], "emu:pad#vid_320f&pid_1004&mi_01&col04");  // others keep their order

  // Still reversed after a replug; the paths themselves are the same either way.
  rig.Unplug(EmulatedKind::Keyboard);
  rig.Plug(EmulatedKind::Keyboard);
  // The replugged keyboard is listed after the pad now: 4 pad paths, then its boot interface.
  EXPECT_EQ(Listing(rig.Backend())[4 + 1], base + "&mi_01&col04");
  rig.SetReverseCollections(EmulatedKind::Keyboard, false);
  EXPECT_EQ(Listing(rig.Backend())[4 + 4], base + "&mi_01&col04");
}

TEST_F(EmulatedBusTest, OpenedCollectionsCarryTheirIdentityAndCapabilities) {
  rig.Plug(EmulatedKind::Mouse);
  rig.Plug(EmulatedKind::Headset);
  auto config = rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Mouse), true, true, false);
  ASSERT_TRUE(config);
  EXPECT_EQ(config->Attributes().vendorId, 0x320F);
  EXPECT_EQ(config->Attributes().productId, 0x50EF);
  EXPECT_EQ(config->Attributes().versionNumber, 0x0100);
  EXPECT_EQ(config->Collection().usagePage, 0xFF1C);
  EXPECT_EQ(config->Collection().usage, 0x92);
  EXPECT_EQ(config->Collection().caps.inputReportByteLength, 64);
  EXPECT_EQ(config->Collection().caps.outputReportByteLength, 64);

  auto notices =
      rig.Backend().Open(EmulatedRig::NoticePath(EmulatedKind::Mouse), true, false, false);
  ASSERT_TRUE(notices);
  EXPECT_EQ(notices->Collection().usagePage, 0x0C);
  EXPECT_EQ(notices->Collection().caps.inputReportByteLength, 3);

  auto headset =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Headset), true, true, false);
  ASSERT_TRUE(headset);
  EXPECT_EQ(headset->Attributes().vendorId, 0x0C76);
  EXPECT_EQ(headset->Collection().usagePage, 0x0C);
  EXPECT_EQ(headset->Collection().usage, 1);

  EXPECT_FALSE(rig.Backend().Open("emu:mouse#vid_320f&pid_50ef&mi_01&col05", true, true, false));
  EXPECT_FALSE(rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Pad), true, true, false));
  EXPECT_FALSE(rig.Backend().IsPresent(EmulatedRig::ConfigPath(EmulatedKind::Pad)));
}

TEST_F(EmulatedBusTest, WritesNeedAnOutputReportOfThatIdAndSize) {
  rig.Plug(EmulatedKind::Keyboard);
  auto notices =
      rig.Backend().Open(EmulatedRig::NoticePath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(notices);
  EXPECT_FALSE(Send(*notices, Request(kCmdBeginSession)));  // col03 has no output report
  auto readOnly =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, false, false);
  ASSERT_TRUE(readOnly);
  EXPECT_FALSE(Send(*readOnly, Request(kCmdBeginSession)));
  auto config =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), false, true, false);
  ASSERT_TRUE(config);
  std::array<uint8_t, 65> tooLong{};
  tooLong[0] = kPacketReportId;
  size_t written = 0;
  EXPECT_EQ(config->Write(tooLong.data(), tooLong.size(), written, 100), HidIoResult::Failed);
  PacketBytes other = Request(kCmdBeginSession);
  other[0] = 0x05;
  EXPECT_FALSE(Send(*config, other));
  EXPECT_TRUE(rig.Firmware(EmulatedKind::Keyboard).Requests().empty());

  // A write-only handle is answered, but has no queue to read from.
  EXPECT_TRUE(Send(*config, Request(kCmdBeginSession)));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*config, reply, 10), HidIoResult::Failed);
  // The boot keyboard takes its LED report and drops it.
  auto boot = rig.Backend().Open(std::string(kKeyboardBase) + "&mi_00", true, true, false);
  ASSERT_TRUE(boot);
  const uint8_t leds[2] = {0x00, 0x02};
  EXPECT_EQ(boot->Write(leds, sizeof(leds), written, 100), HidIoResult::Ok);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Keyboard).Requests().size(), 1u);
}

TEST_F(EmulatedBusTest, EveryReaderOfACollectionGetsItsOwnCopy) {
  auto first = OpenConfig(EmulatedKind::Keyboard);
  auto second =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  ASSERT_TRUE(Send(*first, Request(kCmdReadStatus, 6, 0)));
  PacketBytes a;
  PacketBytes b;
  ASSERT_EQ(ReadReport(*first, a), HidIoResult::Ok);
  ASSERT_EQ(ReadReport(*second, b), HidIoResult::Ok);
  EXPECT_EQ(a, b);
  EXPECT_EQ(ReadReport(*first, a, 10), HidIoResult::TimedOut);

  // A short buffer takes the start of the report, id first.
  ASSERT_TRUE(Send(*first, Request(kCmdReadStatus, 6, 0)));
  uint8_t head[4] = {};
  size_t got = 0;
  ASSERT_EQ(first->Read(head, sizeof(head), got, 1000), HidIoResult::Ok);
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(head[0], kPacketReportId);
  EXPECT_EQ(head[3], kCmdReadStatus);
}

TEST_F(EmulatedBusTest, OldReportsAreDroppedPastTheQueueCapacity) {
  auto writer = OpenConfig(EmulatedKind::Keyboard);
  auto idle =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, false, false);
  ASSERT_TRUE(writer);
  ASSERT_TRUE(idle);
  PacketBytes reply;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(Transact(*writer, Request(kCmdReadSettings, 1, static_cast<uint16_t>(i)), reply));
  }
  int count = 0;
  uint16_t firstOffset = 0;
  while (ReadReport(*idle, reply, 0) == HidIoResult::Ok) {
    if (count++ == 0) firstOffset = PacketOffset(reply.data());
  }
  EXPECT_EQ(count, 64);
  EXPECT_EQ(firstOffset, 100 - 64);
}

TEST_F(EmulatedBusTest, NoticesArriveOnCol03Only) {
  rig.Plug(EmulatedKind::Keyboard);
  rig.Plug(EmulatedKind::Mouse);
  HidBackend& backend = rig.Backend();
  auto notices = backend.Open(EmulatedRig::NoticePath(EmulatedKind::Keyboard), true, false, false);
  auto second = backend.Open(EmulatedRig::NoticePath(EmulatedKind::Keyboard), true, false, false);
  auto config = backend.Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  auto consumer = backend.Open(std::string(kKeyboardBase) + "&mi_01&col02", true, false, false);
  auto mouseNotices =
      backend.Open(EmulatedRig::NoticePath(EmulatedKind::Mouse), true, false, false);
  ASSERT_TRUE(notices && second && config && consumer && mouseNotices);

  rig.SendNotice(EmulatedKind::Keyboard, 0x1234);
  for (auto* handle : {notices.get(), second.get()}) {
    uint8_t report[8] = {};
    size_t got = 0;
    ASSERT_EQ(handle->Read(report, sizeof(report), got, 1000), HidIoResult::Ok);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(report[0], 0x03);
    EXPECT_EQ(report[1] | report[2] << 8, 0x1234);
  }
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*config, reply, 30), HidIoResult::TimedOut);
  EXPECT_EQ(ReadReport(*consumer, reply, 0), HidIoResult::TimedOut);
  EXPECT_EQ(ReadReport(*mouseNotices, reply, 0), HidIoResult::TimedOut);
  rig.SendNotice(EmulatedKind::Headset, 1);  // no notice collection there: nothing happens
  rig.SendNotice(EmulatedKind::Pad, 1);      // not plugged
}

TEST_F(EmulatedBusTest, CancelEndsAWaitAtOnce) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  std::atomic<bool> returned{false};
  HidIoResult result = HidIoResult::Ok;
  std::thread reader([&] {
    PacketBytes reply;
    result = ReadReport(*device, reply, kHidWaitForever);
    returned = true;
  });
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(returned.load());
  const auto start = std::chrono::steady_clock::now();
  device->Cancel();
  reader.join();
  EXPECT_LT(test::Since(start), 500ms);
  EXPECT_EQ(result, HidIoResult::Cancelled);
  EXPECT_FALSE(Send(*device, Request(kCmdBeginSession)));
  PacketBytes reply;
  EXPECT_NE(ReadReport(*device, reply, 0), HidIoResult::Ok);
  EXPECT_TRUE(rig.IsPlugged(EmulatedKind::Keyboard));  // only this handle is closed
}

TEST_F(EmulatedBusTest, UnplugEndsABlockedReadPromptly) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  const std::string path = EmulatedRig::ConfigPath(EmulatedKind::Keyboard);
  ASSERT_TRUE(rig.Backend().IsPresent(path));
  HidIoResult result = HidIoResult::Ok;
  std::thread reader([&] {
    PacketBytes reply;
    result = ReadReport(*device, reply, 10000);
  });
  std::this_thread::sleep_for(50ms);
  const auto start = std::chrono::steady_clock::now();
  rig.Unplug(EmulatedKind::Keyboard);
  reader.join();
  EXPECT_LT(test::Since(start), 500ms);
  EXPECT_EQ(result, HidIoResult::Failed);
  EXPECT_FALSE(rig.IsPlugged(EmulatedKind::Keyboard));
  EXPECT_FALSE(rig.Backend().IsPresent(path));
  EXPECT_FALSE(Send(*device, Request(kCmdBeginSession)));
  EXPECT_TRUE(rig.Firmware(EmulatedKind::Keyboard).Requests().empty());
  rig.Unplug(EmulatedKind::Keyboard);  // twice is harmless
}

TEST_F(EmulatedBusTest, ReplugIsANewIdentity) {
  auto old = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(old);
  const std::string path = EmulatedRig::ConfigPath(EmulatedKind::Keyboard);
  const uint64_t before = rig.Bus().Generation("keyboard");
  EXPECT_TRUE(rig.Backend().IsPresent(path));

  rig.Unplug(EmulatedKind::Keyboard);
  rig.Plug(EmulatedKind::Keyboard);
  EXPECT_NE(rig.Bus().Generation("keyboard"), before);
  // The path seen before belongs to another plug now.
  EXPECT_FALSE(rig.Backend().IsPresent(path));
  EXPECT_FALSE(Send(*old, Request(kCmdBeginSession)));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*old, reply, 0), HidIoResult::Failed);

  // Listed again, it is present; a fresh handle works and the old one stays dead.
  const std::vector<std::string> paths = Listing(rig.Backend());
  EXPECT_NE(std::find(paths.begin(), paths.end(), path), paths.end());
  EXPECT_TRUE(rig.Backend().IsPresent(path));
  auto fresh = rig.Backend().Open(path, true, true, false);
  ASSERT_TRUE(fresh);
  ASSERT_TRUE(Transact(*fresh, Request(kCmdBeginSession), reply));
  EXPECT_EQ(ReadReport(*old, reply, 0), HidIoResult::Failed);

  // A second backend over the same bus keeps its own record of what it saw.
  EmulatedBackend other(rig.Bus());
  EXPECT_TRUE(other.IsPresent(path));
  rig.Unplug(EmulatedKind::Keyboard);
  rig.Plug(EmulatedKind::Keyboard);
  EXPECT_FALSE(other.IsPresent(path));
  ASSERT_TRUE(other.Open(path, true, true, false));
  EXPECT_TRUE(other.IsPresent(path));
}

TEST_F(EmulatedBusTest, UnplugWhileManyThreadsTalk) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&, t] {
      PacketBytes reply;
      while (!stop.load()) {
        if (!Send(*device, Request(kCmdReadSettings, 4, static_cast<uint16_t>(t)))) break;
        ReadReport(*device, reply, 100);
      }
    });
  }
  std::thread notices([&] {
    while (!stop.load()) rig.SendNotice(EmulatedKind::Keyboard, 7);
  });
  std::this_thread::sleep_for(50ms);
  rig.Unplug(EmulatedKind::Keyboard);
  for (auto& thread : threads) thread.join();  // every sender notices the unplug by itself
  stop = true;
  notices.join();
  EXPECT_FALSE(rig.Backend().IsPresent(EmulatedRig::ConfigPath(EmulatedKind::Keyboard)));
}

TEST_F(EmulatedBusTest, HandlesOutliveTheRig) {
  std::shared_ptr<HidDevice> device;
  {
    EmulatedRig local;
    local.Plug(EmulatedKind::Headset);
    device =
        local.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Headset), true, true, false);
    ASSERT_TRUE(device);
  }
  EXPECT_FALSE(Send(*device, Request(kCmdBeginSession)));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*device, reply, 0), HidIoResult::Failed);
}

}  // namespace
}  // namespace varkon
