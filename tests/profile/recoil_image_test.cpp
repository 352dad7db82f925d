#include "profile/recoil_image.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/recoil_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kFactoryFolder = std::string(VARKON_SOURCE_DIR) + "/resources/DefaultData/";

size_t Word(const Bytes& image, size_t offset) {
  return image[offset] | image[offset + 1] << 8;
}

TEST(RecoilImageTest, ASavedBulletEncodesAsDocumented) {
  test::TempDir dir;
  ASSERT_TRUE(SaveBullet(dir.path(), 0, 0, {true, 12, false, 30, 80}));
  Bytes image;
  ASSERT_TRUE(BuildRecoilImage(dir.path(), image));
  // Gun 0 holds six events; guns 1-3 have no file and no events.
  ASSERT_EQ(image.size(), 16u + 24 + 4 * 6);
  const Bytes header = {0xAA, 0x55, 64, 0, 4,  0, 0,  0, 0,  0, 0,  0,
                        0,    0,    0,  0, 24, 0, 52, 0, 56, 0, 60, 0};
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 24), header);
  const Bytes gun0 = {6,    0,    0,    0,  // six events
                      0x0A, 0x00, 0x81, 0x01, 0x00, 0x00, 0x01, 0x01, 0x05, 0x00, 0x84, 0x0C,
                      0x50, 0x00, 0x05, 0x1E, 0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x05, 0x00};
  EXPECT_EQ(Bytes(image.begin() + 24, image.begin() + 52), gun0);
  for (size_t offset : {52u, 56u, 60u}) EXPECT_EQ(Word(image, offset), 0u);
}

TEST(RecoilImageTest, NullElementsEncodeAsZeroEvents) {
  Json::Value document(Json::objectValue);
  document["Events"][2]["Action"] = "down";
  document["Events"][2]["Type"] = 4;
  document["Events"][2]["Button"] = 3;
  const MacroBlock block = RecoilGunEvents(document);
  ASSERT_EQ(block.size(), 3u);
  EXPECT_EQ(block[0], (MacroEvent{0, 0, 0, 0}));
  EXPECT_EQ(block[2], (MacroEvent{0, 0, 0x84, 3}));
}

TEST(RecoilImageTest, AGunCarriesAtMostItsThirtyBullets) {
  Json::Value document(Json::objectValue);
  for (int i = 0; i < 200; ++i) document["Events"][i]["Button"] = i;
  const MacroBlock block = RecoilGunEvents(document);
  ASSERT_EQ(block.size(), 180u);
  EXPECT_EQ(block.back()[3], 179);
  EXPECT_TRUE(RecoilGunEvents(Json::Value("x")).empty());
}

TEST(RecoilImageTest, EvenHugeImportedFilesGiveAnImage) {
  test::TempDir dir;
  std::string huge = "{\"Events\":[{}";
  for (int i = 0; i < 50000; ++i) huge += ",{}";
  huge += "]}";
  for (int gun = 0; gun < 4; ++gun) std::ofstream(RecoilFilePath(dir.path(), gun)) << huge;
  Bytes image;
  ASSERT_TRUE(BuildRecoilImage(dir.path(), image));
  EXPECT_EQ(image.size(), 2920u);
}

TEST(RecoilImageTest, NoFilesGiveFourEmptyBlocks) {
  test::TempDir dir;
  Bytes image;
  ASSERT_TRUE(BuildRecoilImage(dir.path(), image));
  EXPECT_EQ(image.size(), 40u);
}

TEST(FactoryRecoilTest, FourCompleteGunsMakeA2920ByteImage) {
  Bytes image;
  ASSERT_TRUE(BuildRecoilImage(kFactoryFolder, image));
  ASSERT_EQ(image.size(), 2920u);
  EXPECT_EQ(Word(image, 2), 2920u);
  EXPECT_EQ(Word(image, 4), 4u);
  for (size_t gun = 0; gun < 4; ++gun) {
    const size_t offset = Word(image, 16 + 2 * gun);
    EXPECT_EQ(offset, 24 + gun * 724);
    EXPECT_EQ(Word(image, offset), 180u);
  }
}

TEST(FactoryRecoilTest, EveryBulletIsAClickAndAPlausibleMovement) {
  for (int gun = 0; gun < 4; ++gun) {
    SCOPED_TRACE(gun);
    const Json::Value document = ReadJsonFile(RecoilFilePath(kFactoryFolder, gun));
    const Json::Value& events = Member(document, "Events");
    ASSERT_EQ(ArraySize(events), 180u);
    int previousY = 0;
    int sumY = 0;
    for (int b = 0; b < 30; ++b) {
      SCOPED_TRACE(b);
      const Json::Value* step = &events[b * 6];
      EXPECT_EQ(StringMember(step[0], "Action"), "down");
      EXPECT_EQ(IntMember(step[0], "Type"), 1);
      EXPECT_EQ(IntMember(step[0], "Button"), 1);
      EXPECT_EQ(IntMember(step[0], "Delay"), 10);
      EXPECT_EQ(StringMember(events[b * 6 + 1], "Action"), "up");
      EXPECT_EQ(IntMember(events[b * 6 + 2], "Type"), 4);
      EXPECT_EQ(IntMember(events[b * 6 + 2], "Delay"), 5);
      EXPECT_EQ(IntMember(events[b * 6 + 3], "Type"), 5);
      EXPECT_EQ(IntMember(events[b * 6 + 4], "Button"), 0);
      EXPECT_EQ(IntMember(events[b * 6 + 5], "Button"), 0);
      const RecoilBullet bullet = ReadBullet(document, b);
      EXPECT_FALSE(bullet.up);         // compensating the kick: the pointer is pulled down
      EXPECT_GE(bullet.y, previousY);  // the pull grows, then levels
      EXPECT_LE(bullet.y, 30);
      EXPECT_LE(bullet.x, 3);  // only a slight sideways drift
      EXPECT_GE(bullet.x, 0);
      EXPECT_GT(bullet.delay, 20);
      EXPECT_LE(bullet.delay, 300);
      previousY = bullet.y;
      sumY += bullet.y;
    }
    EXPECT_GT(sumY, 30 * 3);
  }
}

TEST(RecoilHostileTest, EveryReaderSurvivesHostileFiles) {
  std::vector<std::string> texts = {
      "",
      "{",
      "null",
      "[]",
      "\"x\"",
      "{}",
      R"({"Events":{}})",
      R"({"Events":"x"})",
      R"({"Events":[1,"a",[],null,{"Action":7,"Button":"x","Delay":[1],"Type":{}}]})",
      R"({"Events":[{"Action":"down","Button":1e300,"Delay":-1e300,"Type":1e18}]})",
      std::string(3000, '[') + std::string(3000, ']'),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 60));
    test::TempDir dir;
    for (int gun = 0; gun < 4; ++gun) std::ofstream(RecoilFilePath(dir.path(), gun)) << text;
    Bytes image;
    EXPECT_TRUE(BuildRecoilImage(dir.path(), image));
    EXPECT_LE(image.size(), 2920u);
    for (int b = 0; b < 30; ++b) LoadBullet(dir.path(), 1, b);
    EXPECT_TRUE(SaveBullet(dir.path(), 2, 29, {true, 1, true, 2, 3}));
    EXPECT_EQ(LoadBullet(dir.path(), 2, 29), (RecoilBullet{true, 1, true, 2, 3}));
  }
}

}  // namespace
}  // namespace varkon
