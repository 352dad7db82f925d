// Injected faults: which requests they hit and what the host sees.
#include <thread>

#include <gtest/gtest.h>

#include "emulator_test_util.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;
using test::ReadReport;
using test::Request;
using test::Send;
using test::Transact;

class FaultTest : public test::RigTest {
 protected:
  void SetUp() override {
    device = OpenConfig(EmulatedKind::Keyboard);
    ASSERT_TRUE(device);
  }
  VendorFirmware& Keyboard() { return rig.Firmware(EmulatedKind::Keyboard); }
  uint8_t SettingsByte(size_t offset) { return Keyboard().Memory(MemoryArea::Settings)[offset]; }

  std::shared_ptr<HidDevice> device;
};

TEST_F(FaultTest, NoReplyDropsTheRequestOnce) {
  Keyboard().InjectFault({.kind = FaultKind::NoReply, .command = kCmdWriteSettings});
  ASSERT_TRUE(Send(*device, Request(kCmdWriteSettings, 1, 9, {0x77})));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*device, reply, 80), HidIoResult::TimedOut);
  EXPECT_EQ(SettingsByte(9), 0);
  EXPECT_EQ(Keyboard().Requests().size(), 1u);  // received all the same

  ASSERT_TRUE(Transact(*device, Request(kCmdWriteSettings, 1, 9, {0x77}), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);
  EXPECT_EQ(SettingsByte(9), 0x77);
}

TEST_F(FaultTest, WrongCommandExecutesButEchoesAnotherCommand) {
  Keyboard().InjectFault(
      {.kind = FaultKind::WrongCommand, .command = kCmdReadSettings, .echoCommand = 0x33});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdReadSettings, 3, 1), reply));
  EXPECT_EQ(reply[kPacketCommand], 0x33);
  EXPECT_EQ(reply[kPacketPayloadOffset + 1], 4);  // brightness still read
  EXPECT_TRUE(test::ChecksumValid(reply));
  ASSERT_TRUE(Transact(*device, Request(kCmdReadSettings, 3, 1), reply));
  EXPECT_EQ(reply[kPacketCommand], kCmdReadSettings);
}

TEST_F(FaultTest, ErrorStatusesStoreNothing) {
  Keyboard().InjectFault({.kind = FaultKind::StatusFF, .command = kCmdWriteSettings});
  Keyboard().InjectFault({.kind = FaultKind::StatusFE, .command = kCmdWriteSettings});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteSettings, 1, 9, {0x11}), reply));
  EXPECT_EQ(reply[kPacketStatus], kStatusErrorFF);  // the first matching fault fires first
  EXPECT_EQ(reply[kPacketCommand], kCmdWriteSettings);
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteSettings, 1, 9, {0x11}), reply));
  EXPECT_EQ(reply[kPacketStatus], kStatusErrorFE);
  EXPECT_EQ(SettingsByte(9), 0);
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteSettings, 1, 9, {0x11}), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);
  EXPECT_EQ(SettingsByte(9), 0x11);
}

TEST_F(FaultTest, FaultsMatchCommandOffsetAndCount) {
  Keyboard().InjectFault(
      {.kind = FaultKind::StatusFE, .command = kCmdWriteKeyTable, .offset = 56, .times = 2});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteKeyTable, 1, 0, {1}), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);  // other offset
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteKeyTableB, 1, 56, {1}), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);  // other command
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(Transact(*device, Request(kCmdWriteKeyTable, 1, 56, {1}), reply));
    EXPECT_EQ(reply[kPacketStatus], kStatusErrorFE) << i;
  }
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteKeyTable, 1, 56, {1}), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);

  Keyboard().InjectFault({.kind = FaultKind::StatusFF, .times = -1});
  for (uint8_t command : {kCmdBeginSession, kCmdReadStatus, kCmdQueryOnline, kCmdBeginSession}) {
    ASSERT_TRUE(Transact(*device, Request(command, 0, 0), reply));
    EXPECT_EQ(reply[kPacketStatus], kStatusErrorFF);
  }
  EXPECT_EQ(Keyboard().BeginCount(), 0u);  // refused sessions are not begun
  Keyboard().ClearFaults();
  ASSERT_TRUE(Transact(*device, Request(kCmdBeginSession), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);
  EXPECT_EQ(Keyboard().BeginCount(), 1u);
}

TEST_F(FaultTest, LateReplyArrivesAfterItsDelay) {
  Keyboard().InjectFault({.kind = FaultKind::LateReply, .command = kCmdReadStatus, .delayMs = 150});
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*device, reply, 20), HidIoResult::TimedOut);
  ASSERT_EQ(ReadReport(*device, reply, 3000), HidIoResult::Ok);
  EXPECT_GE(test::Since(start), 150ms);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadStatus);
  EXPECT_EQ(reply[kPacketPayloadOffset + 4], 0x64);
}

TEST_F(FaultTest, InTimeReplyToALaterRequestOvertakesALateOne) {
  Keyboard().InjectFault({.kind = FaultKind::LateReply, .command = kCmdReadStatus, .delayMs = 300});
  ASSERT_TRUE(Send(*device, Request(kCmdReadStatus, 6, 0)));
  ASSERT_TRUE(Send(*device, Request(kCmdReadDeviceInfo, 34, 0)));
  PacketBytes reply;
  ASSERT_EQ(ReadReport(*device, reply, 3000), HidIoResult::Ok);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadDeviceInfo);
  ASSERT_EQ(ReadReport(*device, reply, 3000), HidIoResult::Ok);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadStatus);
}

TEST_F(FaultTest, LateReplyIsQueuedWhileAReaderWaitsForever) {
  Keyboard().InjectFault({.kind = FaultKind::LateReply, .delayMs = 100});
  ASSERT_TRUE(Send(*device, Request(kCmdQueryOnline)));
  PacketBytes reply;
  EXPECT_EQ(ReadReport(*device, reply, kHidWaitForever), HidIoResult::Ok);
  EXPECT_EQ(reply[kPacketCommand], kCmdQueryOnline);
}

TEST_F(FaultTest, UnplugMidTransferReceivesThenDropsOff) {
  Keyboard().InjectFault(
      {.kind = FaultKind::UnplugMidTransfer, .command = kCmdWriteSettings, .offset = 56});
  const std::string path = EmulatedRig::ConfigPath(EmulatedKind::Keyboard);
  ASSERT_TRUE(rig.Backend().IsPresent(path));
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdWriteSettings, 1, 0, {0}), reply));

  std::thread reader([&] {
    PacketBytes late;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadReport(*device, late, kHidWaitForever), HidIoResult::Failed);
    EXPECT_LT(test::Since(start), 2000ms);
  });
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(Send(*device, Request(kCmdWriteSettings, 1, 56, {0x42})));
  reader.join();

  EXPECT_EQ(Keyboard().Requests().size(), 2u);
  EXPECT_EQ(Keyboard().Requests().back()[kPacketOffsetLow], 56);
  EXPECT_EQ(SettingsByte(56), 0);
  EXPECT_FALSE(rig.IsPlugged(EmulatedKind::Keyboard));
  EXPECT_FALSE(rig.Backend().IsPresent(path));
  EXPECT_FALSE(Send(*device, Request(kCmdBeginSession)));
  std::vector<std::string> paths;
  ASSERT_TRUE(rig.Backend().Enumerate(paths));
  EXPECT_TRUE(paths.empty());

  rig.Plug(EmulatedKind::Keyboard);  // plugging back works after a self-unplug
  EXPECT_TRUE(rig.IsPlugged(EmulatedKind::Keyboard));
  auto again = rig.Backend().Open(path, true, true, false);
  ASSERT_TRUE(again);
  ASSERT_TRUE(Transact(*again, Request(kCmdBeginSession), reply));
}

TEST_F(FaultTest, ZeroTimesIsNoFault) {
  Keyboard().InjectFault({.kind = FaultKind::StatusFF, .times = 0});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdBeginSession), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);
}

TEST_F(FaultTest, ReceiverFaultsFireBeforeRelaying) {
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(receiver);
  rig.Firmware(EmulatedKind::Receiver).InjectFault({.kind = FaultKind::StatusFF});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*receiver, Request(kCmdWriteSettings, 1, 200, {5}), reply));
  EXPECT_EQ(reply[kPacketStatus], kStatusErrorFF);
  EXPECT_TRUE(rig.Firmware(EmulatedKind::Mouse).Requests().empty());
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::Settings)[200], 0);
}

}  // namespace
}  // namespace varkon
