// Saving and loading every firmware memory.
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "core/json_text.h"
#include "emulator/firmware_images.h"
#include "emulator/memory_file.h"
#include "emulator_test_util.h"
#include "platform/control_socket.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using test::Pattern;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

class MemoryFileTest : public ::testing::Test {
 protected:
  void Change(EmulatedRig& rig) {
    rig.Firmware(EmulatedKind::Keyboard).SetMemory(MemoryArea::KeyTableB, 10, Pattern(20, 1));
    rig.Firmware(EmulatedKind::Mouse).SetMemory(MemoryArea::RecoilMemory, 4000, Pattern(96, 2));
    rig.Firmware(EmulatedKind::Pad).SetMemory(MemoryArea::Settings, 64, Pattern(8, 3));
    rig.Firmware(EmulatedKind::Headset).SetMemory(MemoryArea::Status, 4, {0x2A});
  }

  test::TempDir dir;
};

TEST(HexStringTest, EncodesAndParses) {
  EXPECT_EQ(HexString({0x00, 0xAB, 0x7F}), "00ab7f");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ParseHexString("00AbfF", bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0xAB, 0xFF}));
  EXPECT_FALSE(ParseHexString("abc", bytes));
  EXPECT_FALSE(ParseHexString("0g", bytes));
  EXPECT_FALSE(ParseHexString("+1", bytes));
  EXPECT_EQ(bytes.size(), 3u);  // untouched on failure
  ASSERT_TRUE(ParseHexString("", bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(MemoryFileTest, RoundTripRestoresEveryModel) {
  const std::string path = dir.File("memory.json");
  EmulatedRig saved;
  Change(saved);
  ASSERT_TRUE(saved.SaveMemory(path));

  EmulatedRig loaded;
  ASSERT_TRUE(loaded.LoadMemory(path));
  for (EmulatedKind kind :
       {EmulatedKind::Keyboard, EmulatedKind::Mouse, EmulatedKind::Pad, EmulatedKind::Headset}) {
    for (int area = 0; area < kMemoryAreaCount; ++area) {
      EXPECT_EQ(loaded.Firmware(kind).Memory(static_cast<MemoryArea>(area)),
                saved.Firmware(kind).Memory(static_cast<MemoryArea>(area)))
          << EmulatedKindName(kind) << " " << MemoryAreaName(static_cast<MemoryArea>(area));
    }
  }
  // The receiver reaches the loaded mouse.
  EXPECT_EQ(loaded.Firmware(EmulatedKind::Receiver).Memory(MemoryArea::RecoilMemory)[4000],
            Pattern(1, 2)[0]);

  const Json::Value document = ReadJsonFile(path);
  EXPECT_EQ(document["devices"]["keyboard"]["status"].asString(), "010000006400");
  EXPECT_FALSE(document["devices"].isMember("receiver"));
}

TEST_F(MemoryFileTest, BadFilesAreRefusedAndChangeNothing) {
  const std::string good = dir.File("good.json");
  EmulatedRig source;
  Change(source);
  ASSERT_TRUE(source.SaveMemory(good));
  const Json::Value document = ReadJsonFile(good);
  ASSERT_TRUE(document.isObject());

  std::vector<std::pair<std::string, Json::Value>> broken;
  Json::Value copy = document;
  copy["devices"]["pad"]["settings"] = copy["devices"]["pad"]["settings"].asString() + "00";
  broken.emplace_back("one byte too many", copy);
  copy = document;
  std::string odd = copy["devices"]["headset"]["keyTableC"].asString();
  odd[5] = 'x';
  copy["devices"]["headset"]["keyTableC"] = odd;
  broken.emplace_back("not hex", copy);
  copy = document;
  copy["devices"].removeMember("headset");
  broken.emplace_back("device missing", copy);
  copy = document;
  copy["devices"]["mouse"].removeMember("macroMemory");
  broken.emplace_back("area missing", copy);
  copy = document;
  copy["devices"]["mouse"]["status"] = 5;
  broken.emplace_back("not a string", copy);
  copy = document;
  copy["version"] = 1;
  broken.emplace_back("the version before the keyboard's real layout", copy);
  copy = document;
  copy["version"] = 3;
  broken.emplace_back("a later version", copy);
  copy = document;
  copy["format"] = "something else";
  broken.emplace_back("other format", copy);
  broken.emplace_back("not an object", Json::Value(Json::arrayValue));

  EmulatedRig target;
  const auto keyboardBefore = target.Firmware(EmulatedKind::Keyboard).Snapshot();
  const auto mouseBefore = target.Firmware(EmulatedKind::Mouse).Snapshot();
  for (const auto& [what, value] : broken) {
    const std::string path = dir.File("broken.json");
    ASSERT_TRUE(WriteJsonFileChecked(path, value)) << what;
    EXPECT_FALSE(target.LoadMemory(path)) << what;
    // The keyboard comes first in the file: a later fault must not leave it loaded.
    EXPECT_EQ(target.Firmware(EmulatedKind::Keyboard).Snapshot(), keyboardBefore) << what;
    EXPECT_EQ(target.Firmware(EmulatedKind::Mouse).Snapshot(), mouseBefore) << what;
  }

  const std::string text = dir.File("text.json");
  WriteText(text, "{\"format\": \"varkon-emulator-memory\", \"devices\": {");
  EXPECT_FALSE(target.LoadMemory(text));
  WriteText(text, "");
  EXPECT_FALSE(target.LoadMemory(text));
  EXPECT_FALSE(target.LoadMemory(dir.File("missing.json")));
  EXPECT_EQ(target.Firmware(EmulatedKind::Keyboard).Snapshot(), keyboardBefore);

  EXPECT_TRUE(target.LoadMemory(good));
  EXPECT_EQ(target.Firmware(EmulatedKind::Keyboard).Snapshot(),
            source.Firmware(EmulatedKind::Keyboard).Snapshot());
}

TEST_F(MemoryFileTest, SaveToAnUnwritablePlaceFails) {
  EmulatedRig rig;
  EXPECT_FALSE(rig.SaveMemory(dir.File("no/such/folder/memory.json")));
}

class MemoryViewTest : public test::RigTest {
 protected:
  Json::Value View(EmulatedKind kind) {
    const std::string text = rig.MemoryJson(kind);
    // The control socket answers one line.
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_LT(text.size(), kMaxControlLine);
    Json::Value view;
    EXPECT_TRUE(ParseJsonText(text, view)) << text.substr(0, 200);
    return view;
  }
};

TEST_F(MemoryViewTest, ShowsEveryAreaAndTheStreamedFrames) {
  VendorFirmware& keyboard = rig.Firmware(EmulatedKind::Keyboard);
  keyboard.SetMemory(MemoryArea::ColourTables, 4000, Pattern(96, 4));
  Json::Value view = View(EmulatedKind::Keyboard);
  for (int i = 0; i < kMemoryAreaCount; ++i) {
    const MemoryArea area = static_cast<MemoryArea>(i);
    EXPECT_EQ(view[MemoryAreaName(area)].asString(), HexString(keyboard.Memory(area)))
        << MemoryAreaName(area);
  }
  EXPECT_EQ(view["streamedFrames"].asUInt(), 0u);
  EXPECT_EQ(view["lastFrame"].asString(), "");

  auto device = OpenConfig(EmulatedKind::Keyboard);
  ASSERT_TRUE(device);
  const std::vector<uint8_t> frame = Pattern(KeyboardKeyCount() * 3, 8);
  WriteChunked(*device, kCmdStreamLightFrame, 0, frame);
  WriteChunked(*device, kCmdStreamLightFrame, 0, frame);
  view = View(EmulatedKind::Keyboard);
  EXPECT_EQ(view["streamedFrames"].asUInt(), 2u);
  EXPECT_EQ(view["lastFrame"].asString(), HexString(frame));
}

TEST_F(MemoryViewTest, TheReceiverShowsTheMouseBehindIt) {
  rig.Firmware(EmulatedKind::Mouse).SetMemory(MemoryArea::RecoilMemory, 10, Pattern(30, 6));
  const Json::Value receiver = View(EmulatedKind::Receiver);
  const Json::Value mouse = View(EmulatedKind::Mouse);
  EXPECT_EQ(receiver["recoilMemory"].asString(),
            HexString(rig.Firmware(EmulatedKind::Mouse).Memory(MemoryArea::RecoilMemory)));
  EXPECT_TRUE(SameJsonDocument(receiver, mouse));
}

TEST(FirmwareMemoryTest, SetMemoryIsBoundedAndRestoreNeedsExactSizes) {
  EmulatedRig rig;
  VendorFirmware& headset = rig.Firmware(EmulatedKind::Headset);
  headset.SetMemory(MemoryArea::Status, 4, {1, 2, 3, 4});
  EXPECT_EQ(headset.Memory(MemoryArea::Status), (std::vector<uint8_t>{1, 0, 0, 0, 1, 2}));
  headset.SetMemory(MemoryArea::Status, 6, {9});
  headset.SetMemory(MemoryArea::Status, 1000000, {9});
  EXPECT_EQ(headset.Memory(MemoryArea::Status), (std::vector<uint8_t>{1, 0, 0, 0, 1, 2}));

  MemoryImage image = headset.Snapshot();
  image[static_cast<size_t>(MemoryArea::Settings)].push_back(0);
  EXPECT_FALSE(headset.Restore(image));
  image[static_cast<size_t>(MemoryArea::Settings)].pop_back();
  image[static_cast<size_t>(MemoryArea::Settings)][3] = 0x99;
  EXPECT_TRUE(headset.Restore(image));
  EXPECT_EQ(headset.Memory(MemoryArea::Settings)[3], 0x99);
}

}  // namespace
}  // namespace varkon
