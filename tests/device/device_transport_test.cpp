#include "device/device_transport.h"

#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "device/transport_fixture.h"
#include "emulator/emulated_rig.h"
#include "emulator/firmware_images.h"

namespace varkon {
namespace {

using test::OpenOn;
using test::Stopwatch;
using namespace std::chrono_literals;

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

// (length, offset) of every request with this command byte.
std::vector<std::pair<int, int>> Chunks(const VendorFirmware& firmware, uint8_t command) {
  std::vector<std::pair<int, int>> chunks;
  for (const auto& packet : firmware.Requests()) {
    if (packet[kPacketCommand] == command) {
      chunks.emplace_back(packet[kPacketLength], PacketOffset(packet.data()));
    }
  }
  return chunks;
}

class TransportTest : public ::testing::Test {
 protected:
  void Plug(EmulatedKind kind) {
    rig.Plug(kind);
    ASSERT_TRUE(OpenOn(transport, kind));
  }
  VendorFirmware& Firmware(EmulatedKind kind) { return rig.Firmware(kind); }

  EmulatedRig rig;
  DeviceTransport transport{&rig.Backend()};
};

TEST_F(TransportTest, CreationValuesAndModes) {
  EXPECT_FALSE(transport.IsOpened());
  EXPECT_FALSE(transport.ReceiverMode());
  EXPECT_EQ(transport.ChunkSize(), 24);
  EXPECT_EQ(transport.TableSize(), 512);
  transport.SetMode(kTransportModeReceiver);
  EXPECT_TRUE(transport.ReceiverMode());
  EXPECT_EQ(transport.ChunkSize(), 24);
  transport.SetMode(7);  // anything but 2 is the cable
  EXPECT_FALSE(transport.ReceiverMode());
  EXPECT_EQ(transport.ChunkSize(), 56);

  EXPECT_TRUE(transport.SetTableSize(378));
  EXPECT_FALSE(transport.SetTableSize(513));
  EXPECT_EQ(transport.TableSize(), 378);
}

TEST_F(TransportTest, NotOpenedSendsNothingAndAnswersZero) {
  rig.Plug(EmulatedKind::Keyboard);
  uint8_t info[34];
  EXPECT_EQ(transport.CmdBeginSession(), kStatusNoReply);
  EXPECT_EQ(transport.CmdReadDeviceInfo(info), kStatusNoReply);
  EXPECT_TRUE(Firmware(EmulatedKind::Keyboard).Requests().empty());
}

TEST_F(TransportTest, SinglePacketIsFramedWithTheChecksum) {
  Plug(EmulatedKind::Keyboard);
  EXPECT_EQ(transport.CmdBeginSession(), kStatusOk);
  const auto requests = Firmware(EmulatedKind::Keyboard).Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& packet = requests[0];
  EXPECT_EQ(packet[0], 0x04);
  EXPECT_EQ(packet[1], 0x01);  // the sum of bytes 3..63 is just the command byte
  EXPECT_EQ(packet[2], 0x00);
  EXPECT_EQ(packet[3], kCmdBeginSession);
  EXPECT_EQ(std::accumulate(packet.begin() + 4, packet.end(), 0), 0);
  EXPECT_EQ(Firmware(EmulatedKind::Keyboard).BadChecksums(), 0u);
  EXPECT_EQ(Firmware(EmulatedKind::Keyboard).BeginCount(), 1u);
}

TEST_F(TransportTest, DeviceInfoTakesOnePacketOnTheCableAndTwoElsewhere) {
  Plug(EmulatedKind::Keyboard);
  uint8_t info[34] = {};
  ASSERT_EQ(transport.CmdReadDeviceInfo(info), kStatusOk);
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Keyboard), kCmdReadDeviceInfo),
            (std::vector<std::pair<int, int>>{{34, 0}}));
  EXPECT_EQ(info[5], Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::DeviceInfo)[5]);

  DeviceTransport receiver(&rig.Backend());
  rig.Plug(EmulatedKind::Receiver);
  ASSERT_TRUE(OpenOn(receiver, EmulatedKind::Receiver));
  ASSERT_EQ(receiver.CmdReadDeviceInfo(info), kStatusOk);
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Receiver), kCmdReadDeviceInfo),
            (std::vector<std::pair<int, int>>{{24, 0}, {10, 24}}));
  EXPECT_EQ(info[9] | info[10] << 8, 0x3325);  // the mouse's sensor, through the receiver

  for (EmulatedKind kind : {EmulatedKind::Pad, EmulatedKind::Headset}) {
    DeviceTransport noMode(&rig.Backend());
    rig.Plug(kind);
    ASSERT_TRUE(OpenOn(noMode, kind));
    ASSERT_EQ(noMode.CmdReadDeviceInfo(info), kStatusOk);
    EXPECT_EQ(Chunks(Firmware(kind), kCmdReadDeviceInfo),
              (std::vector<std::pair<int, int>>{{24, 0}, {10, 24}}));
  }
}

TEST_F(TransportTest, KeyTableWriteIsChunkedAndLandsInTheDevice) {
  Plug(EmulatedKind::Keyboard);
  ASSERT_TRUE(transport.SetTableSize(300));
  const std::vector<uint8_t> table = Pattern(300, 3);
  ASSERT_EQ(transport.CmdWriteKeyTable(0, table), kStatusOk);
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Keyboard), kCmdWriteKeyTable),
            (std::vector<std::pair<int, int>>{
                {56, 0}, {56, 56}, {56, 112}, {56, 168}, {56, 224}, {20, 280}}));
  const auto stored = Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::KeyTableA);
  EXPECT_TRUE(std::equal(table.begin(), table.end(), stored.begin()));

  std::vector<uint8_t> back(300);
  ASSERT_EQ(transport.CmdReadKeyTable(back), kStatusOk);
  EXPECT_EQ(back, table);

  // The second and third tables go to their own areas.
  ASSERT_EQ(transport.CmdWriteKeyTableB(0, Pattern(300, 9)), kStatusOk);
  ASSERT_EQ(transport.CmdWriteKeyTableC(0, Pattern(300, 11)), kStatusOk);
  EXPECT_EQ(Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::KeyTableB)[1], Pattern(300, 9)[1]);
  EXPECT_EQ(Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::KeyTableC)[1], Pattern(300, 11)[1]);
}

TEST_F(TransportTest, TableWriteForAnotherPageIsRefusedWithoutSending) {
  Plug(EmulatedKind::Keyboard);
  EXPECT_EQ(transport.CmdWriteKeyTable(1, Pattern(512, 0)), kStatusBadTablePage);
  EXPECT_EQ(transport.CmdWriteKeyTableB(-1, Pattern(512, 0)), kStatusBadTablePage);
  EXPECT_TRUE(Firmware(EmulatedKind::Keyboard).Requests().empty());
}

TEST_F(TransportTest, DeviceErrorStatusStopsAChunkedTransferAtThatChunk) {
  Plug(EmulatedKind::Keyboard);
  VendorFirmware& firmware = Firmware(EmulatedKind::Keyboard);
  firmware.InjectFault({.kind = FaultKind::StatusFE, .command = kCmdWriteKeyTable, .offset = 112});
  const std::vector<uint8_t> table = Pattern(300, 1);
  ASSERT_TRUE(transport.SetTableSize(300));
  EXPECT_EQ(transport.CmdWriteKeyTable(0, table), kStatusDeviceFE);
  EXPECT_EQ(Chunks(firmware, kCmdWriteKeyTable),
            (std::vector<std::pair<int, int>>{{56, 0}, {56, 56}, {56, 112}}));
  // What went before the failing chunk stays written.
  const auto stored = firmware.Memory(MemoryArea::KeyTableA);
  EXPECT_TRUE(std::equal(table.begin(), table.begin() + 112, stored.begin()));

  firmware.InjectFault({.kind = FaultKind::StatusFF, .command = kCmdReadStatus});
  uint8_t status[6];
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusDeviceFF);
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusOk);  // the fault fired once
}

TEST_F(TransportTest, ReadsBeyondTheDeviceMemoryAreRefusedByTheDevice) {
  Plug(EmulatedKind::Keyboard);
  std::vector<uint8_t> data(64);
  EXPECT_EQ(transport.CmdReadSettings(1000, data), kStatusDeviceFF);  // memory ends at 1024
  // Offsets travel as 16 bits: a transfer that would wrap is not sent at all.
  EXPECT_EQ(transport.CmdWriteColourTable(127, Pattern(1024, 0)), kStatusWriteFailed);
}

TEST_F(TransportTest, SettingsRoundTripThroughTheReceiverReachTheSameMouse) {
  rig.Plug(EmulatedKind::Mouse);
  rig.Plug(EmulatedKind::Receiver);
  DeviceTransport cable(&rig.Backend());
  ASSERT_TRUE(OpenOn(cable, EmulatedKind::Mouse));
  ASSERT_TRUE(OpenOn(transport, EmulatedKind::Receiver));

  const std::vector<uint8_t> record = Pattern(71, 40);
  ASSERT_EQ(cable.CmdWriteSettings(128, record), kStatusOk);
  std::vector<uint8_t> back(71);
  ASSERT_EQ(transport.CmdReadSettings(128, back), kStatusOk);
  EXPECT_EQ(back, record);
  // Through the receiver the 71 bytes take 24-byte chunks.
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Receiver), kCmdReadSettings),
            (std::vector<std::pair<int, int>>{{24, 128}, {24, 152}, {23, 176}}));
}

TEST_F(TransportTest, UnreachableMouseBehindTheReceiver) {
  Plug(EmulatedKind::Receiver);
  EXPECT_TRUE(transport.CmdQueryOnline());
  rig.SetMouseReachable(false);
  Stopwatch watch;
  uint8_t info[34];
  EXPECT_EQ(transport.CmdReadDeviceInfo(info), kStatusUnreachable);
  EXPECT_LT(watch.Elapsed(), 1000ms);  // at once, not after the 5 s time-out
  EXPECT_FALSE(transport.CmdQueryOnline());
  rig.SetMouseReachable(true);
  EXPECT_TRUE(transport.CmdQueryOnline());
}

TEST_F(TransportTest, OnlineQueryOnTheCableSendsNothing) {
  Plug(EmulatedKind::Mouse);
  EXPECT_TRUE(transport.CmdQueryOnline());
  EXPECT_TRUE(Firmware(EmulatedKind::Mouse).Requests().empty());
}

TEST_F(TransportTest, SilentDeviceTimesOutOnceAndTheNextTransactionIsClean) {
  Plug(EmulatedKind::Keyboard);
  Firmware(EmulatedKind::Keyboard).InjectFault({.kind = FaultKind::NoReply});
  Stopwatch watch;
  EXPECT_EQ(transport.CmdBeginSession(), kStatusNoReply);
  EXPECT_GE(watch.Elapsed(), 900ms);
  EXPECT_LT(watch.Elapsed(), 1900ms);  // one time-out, not two
  EXPECT_FALSE(transport.Busy());
  EXPECT_EQ(transport.CmdBeginSession(), kStatusOk);
}

TEST_F(TransportTest, LateReplyIsSkippedAsStaleByTheNextTransaction) {
  Plug(EmulatedKind::Keyboard);
  VendorFirmware& firmware = Firmware(EmulatedKind::Keyboard);
  firmware.InjectFault({.kind = FaultKind::LateReply, .command = kCmdReadStatus, .delayMs = 1100});
  uint8_t status[6];
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusNoReply);
  std::this_thread::sleep_for(300ms);  // the late reply is now queued
  uint8_t info[34] = {};
  // The stale status reply does not match: it is passed over and the real answer taken.
  EXPECT_EQ(transport.CmdReadDeviceInfo(info), kStatusOk);
  EXPECT_EQ(info[5], firmware.Memory(MemoryArea::DeviceInfo)[5]);
}

TEST_F(TransportTest, WrongEchoIsRetriedOnceThenGivenUp) {
  Plug(EmulatedKind::Keyboard);
  VendorFirmware& firmware = Firmware(EmulatedKind::Keyboard);
  firmware.InjectFault(
      {.kind = FaultKind::WrongCommand, .command = kCmdReadStatus, .echoCommand = 0x33});
  uint8_t status[6] = {};
  // The foreign reply is passed over; the one retry waits for a reply that never comes.
  Stopwatch watch;
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusNoReply);
  EXPECT_LT(watch.Elapsed(), 1900ms);
  EXPECT_EQ(transport.CmdReadStatus(status), kStatusOk);
  EXPECT_EQ(status[4], firmware.Memory(MemoryArea::Status)[4]);
}

TEST_F(TransportTest, UnplugInTheMiddleOfATransferFailsPromptly) {
  Plug(EmulatedKind::Keyboard);
  Firmware(EmulatedKind::Keyboard)
      .InjectFault(
          {.kind = FaultKind::UnplugMidTransfer, .command = kCmdWriteKeyTable, .offset = 56});
  Stopwatch watch;
  EXPECT_EQ(transport.CmdWriteKeyTable(0, Pattern(512, 0)), kStatusNoReply);
  EXPECT_LT(watch.Elapsed(), 900ms);
  EXPECT_FALSE(rig.IsPlugged(EmulatedKind::Keyboard));
  EXPECT_EQ(transport.CmdBeginSession(), kStatusWriteFailed);
}

TEST_F(TransportTest, ClosingTheChannelEndsAWaitingTransaction) {
  Plug(EmulatedKind::Receiver);
  Firmware(EmulatedKind::Receiver).InjectFault({.kind = FaultKind::NoReply});
  Stopwatch watch;
  std::thread closer([&] {
    std::this_thread::sleep_for(100ms);
    transport.ReceiverChannel().Close();
  });
  EXPECT_EQ(transport.CmdBeginSession(), kStatusNoReply);
  closer.join();
  EXPECT_LT(watch.Elapsed(), 2000ms);  // far below the 5 s receiver time-out
}

TEST_F(TransportTest, StatusBlockAndLightControl) {
  Plug(EmulatedKind::Keyboard);
  uint8_t status[6] = {};
  ASSERT_EQ(transport.CmdReadStatus(status), kStatusOk);
  const auto expected = Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::Status);
  EXPECT_TRUE(std::equal(status, status + 6, expected.begin()));
  EXPECT_FALSE(Firmware(EmulatedKind::Keyboard).LightControlOn());
  EXPECT_EQ(transport.CmdLightControlOn(), kStatusOk);
  EXPECT_TRUE(Firmware(EmulatedKind::Keyboard).LightControlOn());
}

TEST_F(TransportTest, MacroRecoilColourAndKeyBytes) {
  Plug(EmulatedKind::Mouse);
  VendorFirmware& mouse = Firmware(EmulatedKind::Mouse);
  const std::vector<uint8_t> macro = Pattern(154, 5);
  ASSERT_EQ(transport.CmdWriteMacroMemory(macro), kStatusOk);
  EXPECT_TRUE(
      std::equal(macro.begin(), macro.end(), mouse.Memory(MemoryArea::MacroMemory).begin()));

  const std::vector<uint8_t> recoil = Pattern(120, 2);
  ASSERT_EQ(transport.CmdWriteRecoilMemory(recoil), kStatusOk);
  EXPECT_EQ(Chunks(mouse, kCmdWriteRecoilMemory),
            (std::vector<std::pair<int, int>>{{56, 0}, {56, 56}, {8, 112}}));

  rig.Plug(EmulatedKind::Keyboard);
  DeviceTransport keyboard(&rig.Backend());
  ASSERT_TRUE(OpenOn(keyboard, EmulatedKind::Keyboard));
  const std::vector<uint8_t> colours = Pattern(378, 8);
  ASSERT_EQ(keyboard.CmdWriteColourTable(2, colours), kStatusOk);
  std::vector<uint8_t> back(378);
  ASSERT_EQ(keyboard.CmdReadColourTable(2, back), kStatusOk);
  EXPECT_EQ(back, colours);
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Keyboard), kCmdWriteColourTable).front().second, 1024);

  ASSERT_TRUE(keyboard.SetTableSize(126 * 3));
  std::vector<uint8_t> leds(126);
  ASSERT_EQ(keyboard.CmdReadKeyBytes(leds), kStatusOk);
  const auto expected = Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::LedTable);
  EXPECT_TRUE(std::equal(leds.begin(), leds.end(), expected.begin()));
}

TEST_F(TransportTest, ReceiverRecoilStillUsesFullChunks) {
  Plug(EmulatedKind::Receiver);
  ASSERT_EQ(transport.CmdWriteRecoilMemory(Pattern(100, 0)), kStatusOk);
  EXPECT_EQ(Chunks(Firmware(EmulatedKind::Receiver), kCmdWriteRecoilMemory),
            (std::vector<std::pair<int, int>>{{56, 0}, {44, 56}}));
}

TEST_F(TransportTest, LightFrameIsStreamedAndDroppedWhileAnotherTransactionIsInFlight) {
  Plug(EmulatedKind::Keyboard);
  VendorFirmware& firmware = Firmware(EmulatedKind::Keyboard);
  const std::vector<uint8_t> frame = Pattern(KeyboardKeyCount() * 3, 4);
  ASSERT_EQ(transport.CmdStreamLightFrame(frame), kStatusOk);
  EXPECT_EQ(firmware.LightFrames(), 1u);
  EXPECT_EQ(firmware.LastLightFrame(), frame);
  const uint32_t packets = firmware.LightFramePackets();
  EXPECT_EQ(packets, (frame.size() + 55) / 56);  // in 56-byte chunks

  // A configuration command waits for a reply that never comes; the frame must not queue.
  firmware.InjectFault({.kind = FaultKind::NoReply, .command = kCmdReadSettings});
  std::thread slow([&] {
    std::vector<uint8_t> settings(8);
    transport.CmdReadSettings(0, settings);
  });
  while (!transport.Busy()) std::this_thread::yield();
  Stopwatch watch;
  EXPECT_EQ(transport.CmdStreamLightFrame(frame), kStatusOk);  // dropped chunks count as sent
  EXPECT_LT(watch.Elapsed(), 500ms);
  slow.join();
  EXPECT_EQ(firmware.LightFramePackets(), packets);
  EXPECT_EQ(transport.DroppedFrameChunks(), packets);
}

// Configuration commands, light frames and a reader share one transport; no request may reach
// the device while another request's reply is still unread, and every read sees whole data.
TEST_F(TransportTest, ThreeThreadsNeverInterleaveTransactions) {
  Plug(EmulatedKind::Keyboard);
  VendorFirmware& firmware = Firmware(EmulatedKind::Keyboard);
  const std::vector<uint8_t> record = Pattern(39, 17);
  ASSERT_EQ(transport.CmdWriteSettings(40, record), kStatusOk);
  ASSERT_TRUE(transport.SetTableSize(378));
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  std::atomic<int> commandRounds{0}, frameRounds{0}, readerRounds{0};

  std::thread commands([&] {
    const std::vector<uint8_t> table = Pattern(378, 1);
    while (!stop) {
      if (transport.CmdBeginSession() != kStatusOk) ++failures;
      if (transport.CmdWriteSettings(40, record) != kStatusOk) ++failures;
      if (transport.CmdWriteKeyTableB(0, table) != kStatusOk) ++failures;
      if (transport.CmdEndSession() != kStatusOk) ++failures;
      ++commandRounds;
    }
  });
  std::thread frames([&] {
    const std::vector<uint8_t> frame = Pattern(378, 2);
    while (!stop) {
      if (transport.CmdStreamLightFrame(frame) != kStatusOk) ++failures;
      ++frameRounds;
    }
  });
  std::thread reader([&] {
    std::vector<uint8_t> back(39);
    while (!stop) {
      if (transport.CmdReadSettings(40, back) != kStatusOk || back != record) ++failures;
      ++readerRounds;
    }
  });
  while (commandRounds < 20 || frameRounds < 20 || readerRounds < 20) {
    std::this_thread::sleep_for(5ms);
  }
  stop = true;
  commands.join();
  frames.join();
  reader.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(firmware.InterleaveViolations(), 0u);
  EXPECT_EQ(firmware.BadChecksums(), 0u);
}

}  // namespace
}  // namespace varkon
