// The vendor command protocol as each firmware model answers it, driven through the backend.
#include <algorithm>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "emulator/firmware_images.h"
#include "emulator_test_util.h"

namespace varkon {
namespace {

using test::ChecksumValid;
using test::Pattern;
using test::ReplyData;
using test::Request;
using test::Transact;

class FirmwareProtocolTest : public test::RigTest {
 protected:
  PacketBytes Ask(HidDevice& device, const PacketBytes& request) {
    PacketBytes reply{};
    EXPECT_TRUE(Transact(device, request, reply));
    return reply;
  }
  std::vector<uint8_t> DeviceInfo(EmulatedKind kind) {
    auto device = OpenConfig(kind);
    if (!device) return {};
    const PacketBytes reply = Ask(*device, Request(kCmdReadDeviceInfo, 34, 0));
    return reply[kPacketStatus] == 0 ? ReplyData(reply, 34) : std::vector<uint8_t>();
  }
};

TEST_F(FirmwareProtocolTest, ReplyEchoesTheRequestAndCarriesItsChecksum) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  const PacketBytes reply = Ask(*device, Request(kCmdReadSettings, 7, 0x0102));
  EXPECT_EQ(reply[0], kPacketReportId);
  EXPECT_EQ(reply[kPacketCommand], kCmdReadSettings);
  EXPECT_EQ(reply[kPacketLength], 7);
  EXPECT_EQ(PacketOffset(reply.data()), 0x0102);
  EXPECT_EQ(reply[kPacketStatus], 0x00);
  EXPECT_TRUE(ChecksumValid(reply));
}

TEST_F(FirmwareProtocolTest, DeviceInfoOfEachKind) {
  const std::vector<uint8_t> keyboard = DeviceInfo(EmulatedKind::Keyboard);
  ASSERT_EQ(keyboard.size(), 34u);
  EXPECT_EQ(keyboard[5], KeyboardKeyCount());
  EXPECT_EQ(keyboard[6], 32);

  const std::vector<uint8_t> mouse = DeviceInfo(EmulatedKind::Mouse);
  ASSERT_EQ(mouse.size(), 34u);
  EXPECT_EQ(mouse[5], 11);
  EXPECT_EQ(mouse[6], 16);
  EXPECT_EQ(mouse[9] | mouse[10] << 8, 0x3325);
  EXPECT_EQ(mouse[11], 100);
  EXPECT_EQ(mouse[12] | mouse[13] << 8, 118);
  EXPECT_EQ(mouse[14] | mouse[15] << 8, 200);

  const std::vector<uint8_t> pad = DeviceInfo(EmulatedKind::Pad);
  ASSERT_EQ(pad.size(), 34u);
  EXPECT_EQ(pad[5], 15);
  const std::vector<uint8_t> headset = DeviceInfo(EmulatedKind::Headset);
  ASSERT_EQ(headset.size(), 34u);
  EXPECT_EQ(headset[5], 13);
  // Past the version bytes and the identity fields, device info is zero.
  EXPECT_EQ(std::count(headset.begin() + 7, headset.end(), 0), 27);
}

TEST_F(FirmwareProtocolTest, MacroCapacityFollowsDeviceInfoByteSix) {
  EXPECT_EQ(rig.Firmware(EmulatedKind::Keyboard).MemorySize(MemoryArea::MacroMemory), 32u * 128);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Mouse).MemorySize(MemoryArea::MacroMemory), 16u * 128);
  auto device = OpenConfig(EmulatedKind::Mouse);
  ASSERT_TRUE(device);
  const std::vector<uint8_t> tail = Pattern(48, 3);
  EXPECT_EQ(Ask(*device, Request(kCmdWriteMacroMemory, 48, 2048 - 48, tail))[kPacketStatus], 0);
  EXPECT_EQ(Ask(*device, Request(kCmdWriteMacroMemory, 1, 2048, {1}))[kPacketStatus], 0xFF);
  const auto macro = rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::MacroMemory);
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), macro.end() - 48));
}

TEST_F(FirmwareProtocolTest, DefaultSettingsAndStatus) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  // The keyboard's light record of profile 0, the active one.
  const std::vector<uint8_t> record = ReadChunked(*device, kCmdReadSettings, 0, 39);
  ASSERT_EQ(record.size(), 39u);
  EXPECT_EQ(record[0], 0);  // active profile
  const Json::Value effects = ReadJsonFile(
      VARKON_SOURCE_DIR "/resources/DefaultData/default_light.json")["DefaultLightName"][0];
  ASSERT_TRUE(effects.isArray());
  bool effectListed = false;
  for (const Json::Value& effect : effects) {
    effectListed =
        effectListed || (effect["value"].asInt() == record[1] && effect["visible"].asBool());
  }
  EXPECT_TRUE(effectListed) << "effect code " << int{record[1]};
  EXPECT_LE(record[2], 4);  // brightness 0-4
  EXPECT_LE(record[3], 4);  // 4 - speed
  EXPECT_LE(record[5], 1);  // single colour or colour cycle
  // The other models keep their bytes until their record layouts are modelled.
  for (EmulatedKind kind : {EmulatedKind::Mouse, EmulatedKind::Pad, EmulatedKind::Headset}) {
    const std::vector<uint8_t> settings = rig.Firmware(kind).Memory(MemoryArea::Settings);
    EXPECT_EQ(std::vector<uint8_t>(settings.begin(), settings.begin() + 7),
              (std::vector<uint8_t>{0, 1, 4, 2, 255, 0, 0}))
        << EmulatedKindName(kind);
  }
  const PacketBytes status = Ask(*device, Request(kCmdReadStatus, 6, 0));
  EXPECT_EQ(status[kPacketStatus], 0);
  EXPECT_EQ(ReplyData(status, 6), (std::vector<uint8_t>{0x01, 0, 0, 0, 0x64, 0}));
  // The status block is one 6-byte packet: more is refused.
  EXPECT_EQ(Ask(*device, Request(kCmdReadStatus, 7, 0))[kPacketStatus], 0xFF);
}

TEST_F(FirmwareProtocolTest, SettingsWriteThenReadBack) {
  auto keyboard = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(keyboard);
  const std::vector<uint8_t> record = Pattern(39, 5);
  WriteChunked(*keyboard, kCmdWriteSettings, 40, record);
  EXPECT_EQ(ReadChunked(*keyboard, kCmdReadSettings, 40, 39), record);
  const auto memory = rig.Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::Settings);
  EXPECT_EQ(memory[39], 0);  // nothing spilled before the record
  EXPECT_EQ(memory[79], 0);  // nor after it
  EXPECT_TRUE(std::equal(record.begin(), record.end(), memory.begin() + 40));

  // The pad's records are written at ×64 and read at ×40: one flat memory.
  auto pad = OpenConfig(EmulatedKind::Pad);
  ASSERT_TRUE(pad);
  WriteChunked(*pad, kCmdWriteSettings, 64, Pattern(20, 1));
  EXPECT_EQ(ReadChunked(*pad, kCmdReadSettings, 40, 44), [] {
    std::vector<uint8_t> expected(24, 0);
    const auto written = Pattern(20, 1);
    expected.insert(expected.end(), written.begin(), written.end());
    return expected;
  }());
}

TEST_F(FirmwareProtocolTest, KeyTablesWriteAndReadInChunks) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  // As shipped: the keyboard's layout, and zeros past its last key position.
  const size_t layoutSize = KeyboardKeyCount() * 3;
  const std::vector<uint8_t> shipped = ReadChunked(*device, kCmdReadKeyTable, 0, 512);
  ASSERT_EQ(shipped.size(), 512u);
  EXPECT_EQ(std::vector<uint8_t>(shipped.begin(), shipped.begin() + layoutSize),
            DefaultKeyboardKeyTable());
  EXPECT_EQ(std::count(shipped.begin() + layoutSize, shipped.end(), 0), 512 - layoutSize);

  const std::vector<uint8_t> table = Pattern(512, 9);
  WriteChunked(*device, kCmdWriteKeyTable, 0, table);
  EXPECT_EQ(ReadChunked(*device, kCmdReadKeyTable, 0, 512), table);
  EXPECT_EQ(ReadChunked(*device, kCmdReadKeyTable, 0, 512, 24), table);

  // Tables B and C are separate areas; 0x07 keeps reading table A.
  WriteChunked(*device, kCmdWriteKeyTableB, 0, Pattern(512, 1));
  WriteChunked(*device, kCmdWriteKeyTableC, 100, Pattern(50, 2));
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  EXPECT_EQ(firmware.Memory(MemoryArea::KeyTableB), Pattern(512, 1));
  const auto c = firmware.Memory(MemoryArea::KeyTableC);
  EXPECT_EQ(std::vector<uint8_t>(c.begin() + 100, c.begin() + 150), Pattern(50, 2));
  EXPECT_EQ(c[99], 0);
  EXPECT_EQ(firmware.Memory(MemoryArea::KeyTableA), table);
}

TEST_F(FirmwareProtocolTest, KeyTableSetterReplacesTheDefaults) {
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  firmware.SetKeyTable(MemoryArea::KeyTableA, {0x02, 0x04, 0x00});
  firmware.SetKeyTable(MemoryArea::Settings, {9, 9, 9});  // not a key table: ignored
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  // Only the entries given change; the second position keeps its factory code.
  std::vector<uint8_t> expected = {0x02, 0x04, 0x00};
  const std::vector<uint8_t> factory = DefaultKeyboardKeyTable();
  expected.insert(expected.end(), factory.begin() + 3, factory.begin() + 6);
  EXPECT_EQ(ReadChunked(*device, kCmdReadKeyTable, 0, 6), expected);
  const size_t settingsArea = static_cast<size_t>(MemoryArea::Settings);
  EXPECT_EQ(firmware.Memory(MemoryArea::Settings), KeyboardImage().areas[settingsArea]);
}

TEST_F(FirmwareProtocolTest, MouseButtonsAndLedTables) {
  auto mouse = OpenConfig(EmulatedKind::Mouse);
  ASSERT_TRUE(mouse);
  const std::vector<uint8_t> buttons = ReadChunked(*mouse, kCmdReadKeyTable, 0, 33);
  ASSERT_EQ(buttons.size(), 33u);
  EXPECT_EQ(buttons[24], 0xA0);
  EXPECT_EQ(buttons[31], 0x78);
  EXPECT_EQ(buttons, DefaultMouseKeyTable());

  auto keyboard = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(keyboard);
  const std::vector<uint8_t> leds = ReadChunked(*keyboard, kCmdReadKeyBytes, 0, KeyboardKeyCount());
  EXPECT_EQ(leds, DefaultKeyboardLedTable());
  // The mouse numbers its LEDs in position order.
  const std::vector<uint8_t> mouseLeds = ReadChunked(*mouse, kCmdReadKeyBytes, 0, 11);
  ASSERT_EQ(mouseLeds.size(), 11u);
  for (size_t p = 0; p < mouseLeds.size(); ++p) EXPECT_EQ(mouseLeds[p], p);
}

TEST_F(FirmwareProtocolTest, ColourTablesSitAtIndexTimes512) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  WriteChunked(*device, kCmdWriteColourTable, 7 * 512, Pattern(378, 4));
  EXPECT_EQ(ReadChunked(*device, kCmdReadColourTable, 7 * 512, 378), Pattern(378, 4));
  const auto colours = rig.Firmware(EmulatedKind::Keyboard).Memory(MemoryArea::ColourTables);
  ASSERT_EQ(colours.size(), 8u * 512);
  EXPECT_EQ(colours[7 * 512], Pattern(1, 4)[0]);
  PacketBytes reply;
  ASSERT_TRUE(Transact(*device, Request(kCmdReadColourTable, 1, 8 * 512), reply));
  EXPECT_EQ(reply[kPacketStatus], 0xFF);
}

TEST_F(FirmwareProtocolTest, OutOfRangeAndUnknownCommandsAnswerFFAndStoreNothing) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  const auto before = firmware.Memory(MemoryArea::Settings);

  // A chunk that starts inside the area but runs past its end.
  PacketBytes reply = Ask(*device, Request(kCmdWriteSettings, 8, 1020, Pattern(8, 1)));
  EXPECT_EQ(reply[kPacketStatus], 0xFF);
  EXPECT_EQ(reply[kPacketCommand], kCmdWriteSettings);
  reply = Ask(*device, Request(kCmdReadSettings, 8, 1020));
  EXPECT_EQ(reply[kPacketStatus], 0xFF);
  EXPECT_EQ(ReplyData(reply, 8), std::vector<uint8_t>(8, 0));
  // Exactly up to the end is fine.
  EXPECT_EQ(Ask(*device, Request(kCmdReadSettings, 4, 1020))[kPacketStatus], 0x00);
  // Longer than one payload.
  EXPECT_EQ(Ask(*device, Request(kCmdWriteSettings, 57, 0))[kPacketStatus], 0xFF);
  // Far beyond (offsets are 16 bits).
  EXPECT_EQ(Ask(*device, Request(kCmdWriteKeyTable, 1, 0xFFFF, {1}))[kPacketStatus], 0xFF);
  EXPECT_EQ(Ask(*device, Request(kCmdWriteRecoilMemory, 1, 4096, {1}))[kPacketStatus], 0xFF);
  EXPECT_EQ(Ask(*device, Request(kCmdStreamLightFrame, 1, 512, {1}))[kPacketStatus], 0xFF);
  EXPECT_EQ(Ask(*device, Request(kCmdReadDeviceInfo, 35, 0))[kPacketStatus], 0xFF);
  reply = Ask(*device, Request(0x55, 0, 0));
  EXPECT_EQ(reply[kPacketStatus], 0xFF);
  EXPECT_EQ(reply[kPacketCommand], 0x55);

  EXPECT_EQ(firmware.Memory(MemoryArea::Settings), before);
  EXPECT_EQ(firmware.LightFramePackets(), 0u);

  // The pad keeps no macro memory; the headset answers only its few commands.
  auto pad = OpenConfig(EmulatedKind::Pad);
  ASSERT_TRUE(pad);
  EXPECT_EQ(Ask(*pad, Request(kCmdWriteMacroMemory, 1, 0, {1}))[kPacketStatus], 0xFF);
  auto headset = OpenConfig(EmulatedKind::Headset);
  ASSERT_TRUE(headset);
  EXPECT_EQ(Ask(*headset, Request(kCmdReadKeyTable, 3, 0))[kPacketStatus], 0xFF);
  EXPECT_EQ(Ask(*headset, Request(kCmdReadStatus, 6, 0))[kPacketStatus], 0x00);
  EXPECT_EQ(Ask(*headset, Request(kCmdWriteSettings, 2, 64, {7, 8}))[kPacketStatus], 0x00);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Headset).Memory(MemoryArea::Settings)[65], 8);
}

TEST_F(FirmwareProtocolTest, SessionsOnlineQueryAndLightControl) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  Ask(*device, Request(kCmdBeginSession));
  Ask(*device, Request(kCmdBeginSession));
  Ask(*device, Request(kCmdEndSession));
  EXPECT_EQ(firmware.BeginCount(), 2u);
  EXPECT_EQ(firmware.EndCount(), 1u);
  EXPECT_EQ(Ask(*device, Request(kCmdQueryOnline))[kPacketPayloadOffset], 0xFF);
  EXPECT_FALSE(firmware.LightControlOn());
  EXPECT_EQ(Ask(*device, Request(kCmdLightControlOn))[kPacketStatus], 0);
  EXPECT_TRUE(firmware.LightControlOn());
  EXPECT_EQ(firmware.Requests().size(), 5u);
  firmware.ClearRequests();
  EXPECT_TRUE(firmware.Requests().empty());
}

TEST_F(FirmwareProtocolTest, BadChecksumsAreCountedButStillAnswered) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  PacketBytes request = Request(kCmdWriteSettings, 1, 10, {0x5A});
  request[kPacketChecksumLow] ^= 0x01;
  EXPECT_EQ(Ask(*device, request)[kPacketStatus], 0);
  Ask(*device, Request(kCmdReadStatus, 6, 0));
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  EXPECT_EQ(firmware.BadChecksums(), 1u);
  EXPECT_EQ(firmware.Memory(MemoryArea::Settings)[10], 0x5A);
  ASSERT_EQ(firmware.Requests().size(), 2u);
  EXPECT_EQ(firmware.Requests()[0], request);
}

TEST_F(FirmwareProtocolTest, LightFramesCompleteAtTheLedCountTimesThree) {
  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  const size_t frameSize = KeyboardKeyCount() * 3;
  const std::vector<uint8_t> frame = Pattern(frameSize, 6);
  const size_t head = (frameSize - 1) / 56 * 56;  // every chunk but the last
  WriteChunked(*device, kCmdStreamLightFrame, 0,
               std::vector<uint8_t>(frame.begin(), frame.begin() + head));
  const uint32_t headPackets = firmware.LightFramePackets();
  EXPECT_EQ(headPackets, head / 56);
  EXPECT_EQ(firmware.LightFrames(), 0u);  // the last chunk is still missing
  EXPECT_TRUE(firmware.LastLightFrame().empty());
  WriteChunked(*device, kCmdStreamLightFrame, head,
               std::vector<uint8_t>(frame.begin() + head, frame.end()));
  EXPECT_EQ(firmware.LightFrames(), 1u);
  EXPECT_EQ(firmware.LastLightFrame(), frame);

  // A chunk ending beyond the frame also completes one.
  const size_t late = frameSize - 20;
  WriteChunked(*device, kCmdStreamLightFrame, late, Pattern(56, 1));
  EXPECT_EQ(firmware.LightFrames(), 2u);
  EXPECT_EQ(firmware.LastLightFrame().size(), frameSize);
  EXPECT_EQ(firmware.LastLightFrame()[late], Pattern(1, 1)[0]);
  EXPECT_EQ(firmware.LightFramePackets(), headPackets + 2);
}

TEST_F(FirmwareProtocolTest, HeadsetRecordsItsLightReports) {
  auto headset = OpenConfig(EmulatedKind::Headset);
  ASSERT_TRUE(headset);
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Headset);
  std::array<uint8_t, 17> report{};
  report[0] = 0xFF;
  report[1] = 0x02;  // target
  report[2] = 0x10;  // register
  report[3] = 0xAB;
  EXPECT_TRUE(headset->SetOutputReport(report.data(), report.size()));
  report[3] = 0xCD;
  size_t written = 0;
  EXPECT_EQ(headset->Write(report.data(), report.size(), written, 100), HidIoResult::Ok);
  report[2] = 0x11;
  report[3] = 0x01;
  EXPECT_TRUE(headset->SetOutputReport(report.data(), report.size()));
  EXPECT_EQ(firmware.FrameReportCount(), 3u);
  const std::vector<uint8_t> last = firmware.LastFrameReport(0x02, 0x10);
  ASSERT_EQ(last.size(), 16u);
  EXPECT_EQ(last[0], 0x02);
  EXPECT_EQ(last[2], 0xCD);
  EXPECT_EQ(firmware.LastFrameReport(0x02, 0x11)[2], 0x01);
  EXPECT_TRUE(firmware.LastFrameReport(0x03, 0x10).empty());
  // No reply is queued for them, and they are no vendor requests.
  PacketBytes reply;
  EXPECT_EQ(test::ReadReport(*headset, reply, 50), HidIoResult::TimedOut);
  EXPECT_TRUE(firmware.Requests().empty());

  // Longer than the report is refused; the keyboard has no such report at all.
  std::array<uint8_t, 18> tooLong{};
  tooLong[0] = 0xFF;
  EXPECT_FALSE(headset->SetOutputReport(tooLong.data(), tooLong.size()));
  auto keyboard = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(keyboard);
  EXPECT_FALSE(keyboard->SetOutputReport(report.data(), report.size()));
  EXPECT_EQ(firmware.FrameReportCount(), 3u);
}

}  // namespace
}  // namespace varkon
