// The latency model: how long a vendor reply takes to become readable on a cable and through
// the receiver, and the "--latency" value it is set from. Only lower bounds on time are
// asserted: the machine is shared, so anything may take longer than it should.
#include <gtest/gtest.h>

#include "device/transport_fixture.h"
#include "emulator/emulated_rig.h"
#include "emulator/reply_latency.h"
#include "emulator_test_util.h"

namespace varkon {
namespace {

using test::Pattern;
using test::Request;
using test::Since;

size_t PacketsOf(const VendorFirmware& firmware, uint8_t command) {
  size_t count = 0;
  for (const PacketBytes& request : firmware.Requests()) {
    count += request[kPacketCommand] == command ? 1 : 0;
  }
  return count;
}

class ReplyLatencyTest : public ::testing::Test {
 protected:
  // Plugs `kind` with a cable latency of `ms` and opens a transport on it as the program does.
  void Open(EmulatedKind kind, int ms) {
    rig.SetCableLatency(ms);
    rig.Plug(kind);
    ASSERT_TRUE(test::OpenOn(transport, kind));
  }

  // Writes a full 512-byte key table; the time it took.
  std::chrono::milliseconds WriteKeyTable() {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.CmdWriteKeyTable(0, Pattern(kKeyTableBytes, 3)), kStatusOk);
    return Since(start);
  }

  static constexpr size_t kKeyTableBytes = 512;
  EmulatedRig rig;
  DeviceTransport transport{&rig.Backend()};
};

TEST_F(ReplyLatencyTest, TheLibraryAnswersAtOnceByDefault) {
  EXPECT_EQ(rig.CableLatency(), 0);
  rig.Plug(EmulatedKind::Keyboard);
  auto device =
      rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Keyboard), true, true, false);
  ASSERT_TRUE(device);
  ASSERT_TRUE(test::Send(*device, Request(kCmdReadStatus, 6, 0)));
  // Readable without waiting at all.
  PacketBytes reply;
  EXPECT_EQ(test::ReadReport(*device, reply, 0), HidIoResult::Ok);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadStatus);
}

TEST_F(ReplyLatencyTest, EveryCablePacketWaitsOneLatency) {
  Open(EmulatedKind::Keyboard, kDefaultCableLatencyMs);
  const std::chrono::milliseconds took = WriteKeyTable();
  const size_t packets = PacketsOf(rig.Firmware(EmulatedKind::Keyboard), kCmdWriteKeyTable);
  EXPECT_EQ(packets, (kKeyTableBytes + kCableChunkSize - 1) / kCableChunkSize);
  EXPECT_GE(took.count(), static_cast<long long>(packets) * kDefaultCableLatencyMs);
  // The write still arrived whole.
  EXPECT_EQ(rig.Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::KeyTableA),
            Pattern(kKeyTableBytes, 3));
}

TEST_F(ReplyLatencyTest, TheReceiverHopTakesFourTimesAsLong) {
  const int cable = 2;
  Open(EmulatedKind::Receiver, cable);
  const std::chrono::milliseconds took = WriteKeyTable();
  const size_t packets = PacketsOf(rig.Firmware(EmulatedKind::Receiver), kCmdWriteKeyTable);
  EXPECT_EQ(packets, (kKeyTableBytes + kReceiverChunkSize - 1) / kReceiverChunkSize);
  EXPECT_GE(took.count(), static_cast<long long>(packets) * cable * kReceiverLatencyFactor);
  // The mouse behind the receiver got the table.
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::KeyTableA),
            Pattern(kKeyTableBytes, 3));
}

TEST_F(ReplyLatencyTest, AReplyIsNotReadableBeforeItsLatency) {
  const int latency = 60;
  Open(EmulatedKind::Pad, latency);
  auto device = rig.Backend().Open(EmulatedRig::ConfigPath(EmulatedKind::Pad), true, true, false);
  ASSERT_TRUE(device);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(test::Send(*device, Request(kCmdReadStatus, 6, 0)));
  PacketBytes reply;
  ASSERT_EQ(test::ReadReport(*device, reply, 5000), HidIoResult::Ok);
  EXPECT_GE(Since(start).count(), latency);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadStatus);
}

TEST_F(ReplyLatencyTest, AFaultDelayComesOnTopOfTheLatency) {
  const int latency = 20;
  const int faultDelay = 40;
  Open(EmulatedKind::Keyboard, latency);
  rig.Firmware(EmulatedKind::Keyboard)
      .InjectFault(
          {.kind = FaultKind::LateReply, .command = kCmdReadStatus, .delayMs = faultDelay});
  const auto start = std::chrono::steady_clock::now();
  std::array<uint8_t, 6> status{};
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusOk);
  EXPECT_GE(Since(start).count(), latency + faultDelay);
}

TEST_F(ReplyLatencyTest, NoticesAreNotDelayed) {
  // Input reports the device sends of itself have no request to answer.
  Open(EmulatedKind::Keyboard, 80);
  auto notices =
      rig.Backend().Open(EmulatedRig::NoticePath(EmulatedKind::Keyboard), true, false, false);
  ASSERT_TRUE(notices);
  rig.SendNotice(EmulatedKind::Keyboard, 0x0401);
  PacketBytes report;
  EXPECT_EQ(test::ReadReport(*notices, report, 0), HidIoResult::Ok);
  EXPECT_EQ(report[1] | report[2] << 8, 0x0401);
}

TEST(ReplyLatencyModel, ReceiverFourTimesCableOnceNothingBelowZero) {
  for (EmulatedKind kind : AllEmulatedKinds()) {
    const int expected = kind == EmulatedKind::Receiver ? 3 * kReceiverLatencyFactor : 3;
    EXPECT_EQ(ReplyLatencyMs(kind, 3), expected) << EmulatedKindName(kind);
    EXPECT_EQ(ReplyLatencyMs(kind, 0), 0) << EmulatedKindName(kind);
    EXPECT_EQ(ReplyLatencyMs(kind, -5), 0) << EmulatedKindName(kind);
  }
  EmulatedRig rig;
  rig.SetCableLatency(-3);
  EXPECT_EQ(rig.CableLatency(), 0);
}

TEST(ReplyLatencyModel, ParsesWholeMillisecondsInRange) {
  int ms = 7;
  ASSERT_TRUE(ParseLatencyMs("0", ms));
  EXPECT_EQ(ms, 0);
  ASSERT_TRUE(ParseLatencyMs("12", ms));
  EXPECT_EQ(ms, 12);
  ASSERT_TRUE(ParseLatencyMs(std::to_string(kMaxCableLatencyMs), ms));
  EXPECT_EQ(ms, kMaxCableLatencyMs);
  for (const char* bad : {"", "-1", "+1", " 1", "1 ", "1.5", "abc", "0x10", "99999999999"}) {
    ms = 7;
    EXPECT_FALSE(ParseLatencyMs(bad, ms)) << bad;
    EXPECT_EQ(ms, 7) << bad;
  }
  EXPECT_FALSE(ParseLatencyMs(std::to_string(kMaxCableLatencyMs + 1), ms));
  EXPECT_EQ(ms, 7);
}

}  // namespace
}  // namespace varkon
