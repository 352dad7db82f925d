// The keyboard's logic against the emulated keyboard: reading it, binding the profile, writing
// the record, the macros and the key tables, and what a misbehaving keyboard does to it.
#include "devices/logic/keyboard_logic.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/call_queue.h"
#include "core/json_file.h"
#include "device/transport_fixture.h"
#include "emulator/firmware_images.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class KeyboardLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Plug(EmulatedKind::Keyboard);
    ASSERT_TRUE(test::OpenOn(transport_, EmulatedKind::Keyboard));
    logic_.SetPost([this](std::function<void()> call) { owner_.Post(std::move(call)); });
    logic_.SetTransport(&transport_);
    ASSERT_TRUE(logic_.SetFolders(dir_.File("user"), std::string(VARKON_SOURCE_DIR) + "/resources",
                                  "keyboard", 0));
    logic_.LoadNameLists();
  }

  // Runs the owner's queue until the worker is idle and nothing is left to run.
  void Settle() {
    for (int i = 0; i < 200; ++i) {
      owner_.RunPending();
      if (logic_.Jobs().WaitIdle(100ms) && owner_.RunPending() == 0 &&
          logic_.Jobs().Pending() == 0) {
        return;
      }
    }
    FAIL() << "the keyboard's jobs did not settle";
  }

  VendorFirmware& Firmware() { return rig_.Firmware(EmulatedKind::Keyboard); }
  std::vector<uint8_t> Settings() { return Firmware().Memory(MemoryArea::Settings); }

  void WriteMacros(int macros, int events) {
    Json::Value list(Json::objectValue);
    for (int m = 0; m < macros; ++m) {
      Json::Value entry(Json::objectValue);
      entry["MacroName"] = "macro " + std::to_string(m);
      entry["Guid"] = "g" + std::to_string(m);
      list["MacroInfo"].append(entry);
      Json::Value macro(Json::objectValue);
      for (int e = 0; e < events; ++e) {
        Json::Value step(Json::objectValue);
        step["Action"] = e % 2 ? "up" : "down";
        step["Type"] = 10;
        step["Button"] = 4;
        step["Delay"] = "20";
        macro["Events"].append(step);
      }
      WriteJsonFile(logic_.Folders().dataFolder + "g" + std::to_string(m) + ".mac", macro);
    }
    WriteJsonFile(logic_.Folders().dataFolder + "macro.config", list);
    logic_.LoadNameLists();
  }

  test::TempDir dir_;
  EmulatedRig rig_;
  DeviceTransport transport_{&rig_.Backend()};
  CallQueue owner_;
  KeyboardLightEngine engine_;
  KeyboardLogic logic_{engine_};
};

TEST_F(KeyboardLogicTest, ReadFindsTheKeysCreatesTheProfileAndTakesTheRecord) {
  int refreshed = 0;
  KeyboardEvents events;
  events.refresh = [&] { ++refreshed; };
  logic_.SetEvents(events);
  logic_.Read();
  Settle();
  ASSERT_TRUE(logic_.Discovered());
  EXPECT_EQ(logic_.KeyCount(), static_cast<int>(KeyboardKeyCount()));
  EXPECT_GE(logic_.Maps().Count(), 100u);
  EXPECT_EQ(refreshed, 1);
  // The first start made "Profile1", which now holds the keyboard's own lighting.
  EXPECT_EQ(logic_.ProfileName(), "Profile1");
  const LightState state = logic_.GetLightState();
  const std::vector<uint8_t> factory = Settings();
  EXPECT_EQ(state.mode, factory[1]);
  EXPECT_EQ(state.brightness, factory[2]);
  EXPECT_EQ(state.speed, 4 - factory[3]);
  EXPECT_EQ(state.red, factory[6]);
  const Json::Value saved = ReadJsonFile(logic_.Profiles().CurrentProfileFilePath());
  EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), state.mode);
  EXPECT_EQ(saved["Device"][0]["LightInfo"]["Light"].asInt(), state.brightness);
  // A key list came from the factory file.
  EXPECT_GE(logic_.Keys().size(), 126u);
}

TEST_F(KeyboardLogicTest, EditedLightingAndSystemFlagsReachTheRecord) {
  logic_.Read();
  Settle();
  LightState state = logic_.GetLightState();
  state.mode = 6;
  state.brightness = 2;
  state.speed = 3;
  state.direction = 1;
  state.multicolour = 0;
  state.red = 0x12;
  state.green = 0x34;
  state.blue = 0x56;
  logic_.SetLightParams(state);
  logic_.SaveProfile();
  logic_.SetKey6Flag(true);
  logic_.SetPollingRate(2);
  logic_.SetWinLockFlag(true);
  Settle();
  const std::vector<uint8_t> record = Settings();
  EXPECT_EQ(record[0], 0);
  EXPECT_EQ(record[1], 6);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[3], 1);
  EXPECT_EQ(record[4], 1);
  EXPECT_EQ(record[5], 0);
  EXPECT_EQ(record[6], 0x12);
  EXPECT_EQ(record[8], 0x56);
  EXPECT_EQ(record[19], 0);  // W
  EXPECT_EQ(record[20], 1);  // 6-key
  EXPECT_EQ(record[21], 1);  // Win lock
  EXPECT_EQ(record[22], 2);  // polling rate
  EXPECT_EQ(logic_.LastStatus(), kStatusOk);
  // The profile holds the same, and a fresh read of the keyboard gives it back.
  KeyboardLightEngine otherEngine(kKeyboardLights, KeyboardLightEngine::kDefaultSeed);
  KeyboardLogic again(otherEngine);
  again.SetPost([this](std::function<void()> call) { owner_.Post(std::move(call)); });
  again.SetTransport(&transport_);
  ASSERT_TRUE(again.SetFolders(dir_.File("user"), std::string(VARKON_SOURCE_DIR) + "/resources",
                               "keyboard", 0));
  again.Read();
  for (int i = 0; i < 100 && again.Jobs().Pending() + owner_.RunPending() > 0; ++i) {
    again.Jobs().WaitIdle(10ms);
  }
  owner_.RunPending();
  EXPECT_EQ(again.GetLightState().mode, 6);
  EXPECT_EQ(again.GetLightState().green, 0x34);
  EXPECT_EQ(again.System().Key6Flag(), 1);
  EXPECT_EQ(again.System().PollingRate(), 2);  // kept in the profile, not read back
}

TEST_F(KeyboardLogicTest, MacrosTooLongForTheMemoryWriteNothing) {
  logic_.Read();
  Settle();
  WriteMacros(3, 10);
  std::vector<KeyAssignmentRecord> keys = logic_.Keys();
  keys[1].main.code = {kAssignMacro, 2, 0};
  keys[2].main.code = {kAssignMacro, 0, 0};
  keys[3].fn.code = {kAssignMacro, 1, 0};
  logic_.SetKeys(keys);
  // A macro memory of one 128-byte unit: 16 + 18 + 120 = 154 bytes do not fit.
  Firmware().SetMemory(MemoryArea::DeviceInfo, 6, {1});
  const std::vector<uint8_t> tableBefore = Firmware().Memory(MemoryArea::KeyTableA);
  int result = -100;
  logic_.WriteProfileToDevice([&](int r) { result = r; });
  Settle();
  EXPECT_EQ(result, 7);
  EXPECT_EQ(Firmware().Memory(MemoryArea::KeyTableA), tableBefore);
  const std::vector<uint8_t> macroMemory = Firmware().Memory(MemoryArea::MacroMemory);
  EXPECT_TRUE(
      std::all_of(macroMemory.begin(), macroMemory.end(), [](uint8_t b) { return b == 0; }));

  // With room, the macros go in first-use order and the keys carry their places.
  Firmware().SetMemory(MemoryArea::DeviceInfo, 6, {32});
  logic_.WriteProfileToDevice([&](int r) { result = r; });
  Settle();
  EXPECT_EQ(result, 0);
  const std::vector<uint8_t> image = Firmware().Memory(MemoryArea::MacroMemory);
  EXPECT_EQ(image[0], 0xAA);
  EXPECT_EQ(image[1], 0x55);
  EXPECT_EQ(image[4], 3);  // three macros
  const std::vector<uint8_t> table = Firmware().Memory(MemoryArea::KeyTableA);
  const size_t position = logic_.Maps().keyPosition[1];
  EXPECT_EQ(table[3 * position], kAssignMacro);
  EXPECT_EQ(table[3 * position + 1], 0);  // macro 2 is used first: it is macro 0 of the image
  const std::vector<uint8_t> fnTable = Firmware().Memory(MemoryArea::KeyTableB);
  EXPECT_EQ(fnTable[3 * logic_.Maps().keyPosition[3] + 1], 2);
}

// The key editor's write: macros that do not fit keep the keys unwritten; macros the keyboard
// refuses still let the keys go out (the editor reports both).
TEST_F(KeyboardLogicTest, TheEditorsWriteSendsKeysUnlessTheMacrosDoNotFit) {
  logic_.Read();
  Settle();
  WriteMacros(2, 40);
  std::vector<KeyAssignmentRecord> keys = logic_.Keys();
  keys[1].main.code = {kAssignMacro, 0, 0};
  keys[2].main.code = {kAssignMacro, 1, 0};
  keys[5].main.code = {kAssignKeyboard, 0, 0x29};
  logic_.SetKeys(keys);
  Firmware().SetMemory(MemoryArea::DeviceInfo, 6, {1});
  const std::vector<uint8_t> before = Firmware().Memory(MemoryArea::KeyTableA);
  int macros = -100;
  StatusCode tables = kStatusOk;
  logic_.WriteKeysAndMacros([&](int m, StatusCode k) { macros = m, tables = k; });
  Settle();
  EXPECT_GT(macros, 0);
  EXPECT_EQ(Firmware().Memory(MemoryArea::KeyTableA), before);

  Fault refused;
  refused.kind = FaultKind::StatusFF;
  refused.command = kCmdWriteMacroMemory;
  refused.times = -1;
  Firmware().InjectFault(refused);
  Firmware().SetMemory(MemoryArea::DeviceInfo, 6, {32});
  logic_.WriteKeysAndMacros([&](int m, StatusCode k) { macros = m, tables = k; });
  Settle();
  EXPECT_EQ(macros, kMacroWriteFailed);
  EXPECT_EQ(tables, kStatusOk);
  const std::vector<uint8_t> table = Firmware().Memory(MemoryArea::KeyTableA);
  EXPECT_EQ(table[3 * logic_.Maps().keyPosition[5] + 2], 0x29);
  // The profile file holds the key list that was written.
  const Json::Value saved = ReadJsonFile(logic_.Profiles().CurrentProfileFilePath());
  EXPECT_EQ(saved["Device"][0]["KeyList"][5]["Assignment"].asInt(), 0x200029);
}

TEST_F(KeyboardLogicTest, AKeyboardClaimingTooManyKeysIsNotReadFurther) {
  Firmware().SetMemory(MemoryArea::DeviceInfo, 5, {171});
  Firmware().ClearRequests();
  logic_.Read();
  Settle();
  EXPECT_FALSE(logic_.Discovered());
  for (const PacketBytes& request : Firmware().Requests()) {
    EXPECT_NE(request[kPacketCommand], kCmdReadKeyTable);
    EXPECT_NE(request[kPacketCommand], kCmdEndSession);
  }
  EXPECT_EQ(logic_.ProfileName(), "Profile1");  // the profile still loads
}

TEST_F(KeyboardLogicTest, ASilentOrFailingKeyboardIsReportedAndNothingBreaks) {
  Fault silent;
  silent.kind = FaultKind::NoReply;
  silent.times = -1;
  Firmware().InjectFault(silent);
  logic_.Read();
  Settle();
  EXPECT_FALSE(logic_.Discovered());
  EXPECT_NE(logic_.LastStatus(), kStatusOk);
  Firmware().ClearFaults();

  Fault refused;
  refused.kind = FaultKind::StatusFF;
  refused.command = kCmdWriteSettings;
  refused.times = -1;
  Firmware().InjectFault(refused);
  StatusCode status = kStatusOk;
  logic_.WriteLightRecord([&](StatusCode s) { status = s; });
  Settle();
  EXPECT_EQ(status, kStatusDeviceFF);

  // Gone in the middle: the job ends, the owner hears of it.
  Firmware().ClearFaults();
  rig_.Unplug(EmulatedKind::Keyboard);
  logic_.WriteLightRecord([&](StatusCode s) { status = s; });
  Settle();
  EXPECT_NE(status, kStatusOk);
}

TEST_F(KeyboardLogicTest, HotKeyAndSettingsNotices) {
  logic_.Read();
  Settle();
  int refreshed = 0;
  int resyncMs = -1;
  KeyboardEvents events;
  events.refresh = [&] { ++refreshed; };
  events.resyncIn = [&](int ms) { resyncMs = ms; };
  logic_.SetEvents(events);
  logic_.OnNotice(0x1135);
  Settle();
  EXPECT_EQ(logic_.ActiveProfile(), 5);
  EXPECT_EQ(logic_.Record()[keyboard_record::kHotKey], 3);
  EXPECT_EQ(refreshed, 1);
  // The keyboard's record keeps the new byte 17 on the next write.
  logic_.WriteLightRecord();
  Settle();
  EXPECT_EQ(Settings()[17], 3);

  logic_.OnNotice(0x0402);
  Settle();
  EXPECT_EQ(resyncMs, KeyboardLogic::kResyncDelayMs);
  logic_.Resync();
  Settle();
  EXPECT_EQ(refreshed, 2);
  logic_.OnNotice(0x0404);
  EXPECT_EQ(logic_.CountedNotices(), 1u);
}

}  // namespace
}  // namespace varkon
