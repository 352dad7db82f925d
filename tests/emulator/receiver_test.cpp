// The receiver relays to the one mouse firmware the cable also reaches.
#include <gtest/gtest.h>

#include "emulator_test_util.h"

namespace varkon {
namespace {

using test::Pattern;
using test::ReplyData;
using test::Request;
using test::Transact;

class ReceiverTest : public test::RigTest {};

TEST_F(ReceiverTest, RelaysToTheMouseFirmwareAndBack) {
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(receiver);
  PacketBytes reply;
  ASSERT_TRUE(Transact(*receiver, Request(kCmdReadDeviceInfo, 24, 0), reply));
  EXPECT_EQ(reply[kPacketCommand], kCmdReadDeviceInfo);
  EXPECT_EQ(reply[kPacketStatus], 0);
  EXPECT_EQ(reply[kPacketPayloadOffset + 9] | reply[kPacketPayloadOffset + 10] << 8, 0x3325);
  ASSERT_TRUE(Transact(*receiver, Request(kCmdQueryOnline), reply));
  EXPECT_EQ(reply[kPacketCommand], kCmdQueryOnline);
  EXPECT_EQ(reply[kPacketPayloadOffset], 0xFF);

  // Both models saw the requests; the session count belongs to whoever got it.
  ASSERT_TRUE(Transact(*receiver, Request(kCmdBeginSession), reply));
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).Requests().size(), 3u);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).Requests().size(), 3u);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).BeginCount(), 1u);
  EXPECT_EQ(&rig.Receiver().Mouse(), &rig.Firmware(EmulatedKind::Mouse));
}

TEST_F(ReceiverTest, CableAndReceiverShareOneMouse) {
  auto cable = OpenConfig(EmulatedKind::Mouse);
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(cable);
  ASSERT_TRUE(receiver);
  const std::vector<uint8_t> record = Pattern(71, 12);
  WriteChunked(*cable, kCmdWriteSettings, 128, record);
  EXPECT_EQ(ReadChunked(*receiver, kCmdReadSettings, 128, 71, 24), record);

  WriteChunked(*receiver, kCmdWriteKeyTable, 0, Pattern(33, 2), 24);
  EXPECT_EQ(ReadChunked(*cable, kCmdReadKeyTable, 0, 33), Pattern(33, 2));

  // Memory seen through the receiver's model is the mouse's.
  rig.Firmware(EmulatedKind::Receiver).SetMemory(MemoryArea::Status, 4, {0x21});
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::Status)[4], 0x21);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).Memory(MemoryArea::Settings),
            rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::Settings));

  // A reply goes back only the way its request came.
  PacketBytes reply;
  EXPECT_EQ(test::ReadReport(*cable, reply, 30), HidIoResult::TimedOut);
  EXPECT_EQ(test::ReadReport(*receiver, reply, 30), HidIoResult::TimedOut);
}

TEST_F(ReceiverTest, LightStateIsTheMouses) {
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(receiver);
  PacketBytes reply;
  ASSERT_TRUE(Transact(*receiver, Request(kCmdLightControlOn), reply));
  WriteChunked(*receiver, kCmdStreamLightFrame, 0, Pattern(33, 4), 24);
  VendorFirmware& mouse = rig.Firmware(EmulatedKind::Mouse);
  EXPECT_TRUE(mouse.LightControlOn());
  EXPECT_EQ(mouse.LightFrames(), 1u);  // 11 LEDs: 33 bytes
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).LightFrames(), 1u);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).LastLightFrame(), Pattern(33, 4));
}

TEST_F(ReceiverTest, UnreachableMouseIsAnsweredByTheReceiverAlone) {
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(receiver);
  rig.SetMouseReachable(false);
  for (uint8_t command : {kCmdQueryOnline, kCmdReadDeviceInfo, kCmdWriteSettings}) {
    PacketBytes reply;
    ASSERT_TRUE(Transact(*receiver, Request(command, 4, 0, {1, 2, 3, 4}), reply));
    EXPECT_EQ(reply[kPacketCommand], kReplyUnreachable);
    EXPECT_EQ(reply[kPacketStatus], 0x00);
    EXPECT_EQ(reply[kPacketPayloadOffset], 0x00);
    EXPECT_TRUE(test::ChecksumValid(reply));
  }
  EXPECT_TRUE(rig.Firmware(EmulatedKind::Mouse).Requests().empty());
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::Settings)[1], 1);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Receiver).Requests().size(), 3u);

  rig.SetMouseReachable(true);
  PacketBytes reply;
  ASSERT_TRUE(Transact(*receiver, Request(kCmdQueryOnline), reply));
  EXPECT_EQ(reply[kPacketCommand], kCmdQueryOnline);
  EXPECT_EQ(reply[kPacketPayloadOffset], 0xFF);
}

TEST_F(ReceiverTest, MouseFaultsApplyToRelayedRequests) {
  auto receiver = OpenConfig(EmulatedKind::Receiver);
  ASSERT_TRUE(receiver);
  rig.Firmware(EmulatedKind::Mouse).InjectFault({.kind = FaultKind::StatusFE});
  PacketBytes reply;
  ASSERT_TRUE(Transact(*receiver, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(reply[kPacketStatus], kStatusErrorFE);
  rig.Firmware(EmulatedKind::Mouse).InjectFault({.kind = FaultKind::NoReply});
  EXPECT_TRUE(test::Send(*receiver, Request(kCmdReadStatus, 6, 0)));
  EXPECT_EQ(test::ReadReport(*receiver, reply, 50), HidIoResult::TimedOut);
  ASSERT_TRUE(Transact(*receiver, Request(kCmdReadStatus, 6, 0), reply));
  EXPECT_EQ(reply[kPacketStatus], 0);
  EXPECT_EQ(ReplyData(reply, 6)[4], 0x50);
}

}  // namespace
}  // namespace varkon
