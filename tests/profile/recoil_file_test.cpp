#include "profile/recoil_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/recoil_cursor.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Json::Value Step(const char* action, int button, int delay, int type) {
  Json::Value step(Json::objectValue);
  step["Action"] = action;
  step["Button"] = button;
  step["Delay"] = delay;
  step["Type"] = type;
  return step;
}

class RecoilFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.File("data") + "/";
    defaults_ = dir_.File("defaults") + "/";
    std::filesystem::create_directory(folder_);
    std::filesystem::create_directory(defaults_);
  }

  test::TempDir dir_;
  std::string folder_;
  std::string defaults_;
};

TEST(RecoilPathTest, FileNames) {
  EXPECT_EQ(RecoilFilePath("/d/", 2), "/d/ShootData_2.Shoot");
  EXPECT_EQ(RecoilFilePath("/d", 0), "/d/ShootData_0.Shoot");
  EXPECT_EQ(RecoilFilePath("/d/", 4), "");
  EXPECT_EQ(RecoilFilePath("/d/", -1), "");
}

TEST_F(RecoilFileTest, SavingBulletZeroWritesTheSixSteps) {
  ASSERT_TRUE(SaveBullet(folder_, 0, 0, {true, 12, false, 30, 80}));
  const Json::Value events = ReadJsonFile(RecoilFilePath(folder_, 0))["Events"];
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0], Step("down", 1, 10, 1));
  EXPECT_EQ(events[1], Step("up", 1, 0, 1));
  EXPECT_EQ(events[2], Step("down", 12, 5, 4));
  EXPECT_EQ(events[3], Step("up", 30, 80, 5));
  EXPECT_EQ(events[4], Step("down", 0, 0, 4));
  EXPECT_EQ(events[5], Step("up", 0, 0, 5));
  EXPECT_EQ(LoadBullet(folder_, 0, 0), (RecoilBullet{true, 12, false, 30, 80}));
}

TEST_F(RecoilFileTest, SavingIntoAShortFileLeavesTheGapNull) {
  Json::Value document(Json::objectValue);
  document["Name"] = "kept";
  for (int i = 0; i < 12; ++i) document["Events"].append(Step("up", i, i, 4));
  WriteJsonFile(RecoilFilePath(folder_, 1), document);

  ASSERT_TRUE(SaveBullet(folder_, 1, 5, {false, 1, true, 2, 3}));
  const Json::Value saved = ReadJsonFile(RecoilFilePath(folder_, 1));
  EXPECT_EQ(saved["Name"].asString(), "kept");
  const Json::Value& events = saved["Events"];
  ASSERT_EQ(events.size(), 36u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(events[i], Step("up", i, i, 4)) << i;
  for (int i = 12; i < 30; ++i) EXPECT_TRUE(events[i].isNull()) << i;
  EXPECT_EQ(events[30], Step("down", 1, 10, 1));
  EXPECT_EQ(events[32], Step("up", 1, 5, 4));
  EXPECT_EQ(events[33], Step("down", 2, 3, 5));
  // A null bullet reads as zeros.
  EXPECT_EQ(LoadBullet(folder_, 1, 3), RecoilBullet{});
}

TEST_F(RecoilFileTest, SavingKeepsOtherMembersOfTheSteps) {
  Json::Value document(Json::objectValue);
  for (int i = 0; i < 6; ++i) document["Events"][i]["Note"] = i;
  WriteJsonFile(RecoilFilePath(folder_, 0), document);
  ASSERT_TRUE(SaveBullet(folder_, 0, 0, {}));
  EXPECT_EQ(ReadJsonFile(RecoilFilePath(folder_, 0))["Events"][4]["Note"].asInt(), 4);
}

TEST_F(RecoilFileTest, DirectionsReadIgnoringCase) {
  WriteText(RecoilFilePath(folder_, 0),
            R"({"Events":[null,null,{"Action":"DOWN","Button":7},
                {"Action":"Down","Button":9,"Delay":44}]})");
  const RecoilBullet bullet = LoadBullet(folder_, 0, 0);
  EXPECT_TRUE(bullet.left);
  EXPECT_TRUE(bullet.up);
  EXPECT_EQ(bullet.x, 7);
  EXPECT_EQ(bullet.y, 9);
  EXPECT_EQ(bullet.delay, 44);
}

TEST_F(RecoilFileTest, MissingOrOutOfRangeReadsAsZeros) {
  EXPECT_EQ(LoadBullet(folder_, 0, 0), RecoilBullet{});
  EXPECT_EQ(LoadBullet(folder_, 9, 0), RecoilBullet{});
  ASSERT_TRUE(SaveBullet(folder_, 0, 29, {true, 1, true, 1, 1}));
  EXPECT_EQ(LoadBullet(folder_, 0, 30), RecoilBullet{});
  EXPECT_FALSE(SaveBullet(folder_, 0, 30, {}));
  EXPECT_FALSE(SaveBullet(folder_, 0, -1, {}));
  EXPECT_FALSE(SaveBullet(folder_, 4, 0, {}));
  EXPECT_EQ(ReadJsonFile(RecoilFilePath(folder_, 0))["Events"].size(), 180u);
}

TEST_F(RecoilFileTest, ValuesAreStoredUnchecked) {
  ASSERT_TRUE(SaveBullet(folder_, 2, 0, {false, 300, false, -5, 70000}));
  EXPECT_EQ(LoadBullet(folder_, 2, 0), (RecoilBullet{false, 300, false, -5, 70000}));
}

TEST(RecoilTextsTest, EditTextsReadAsLeadingNumbers) {
  EXPECT_EQ(BulletFromTexts(true, "12", false, "30px", "80"),
            (RecoilBullet{true, 12, false, 30, 80}));
  EXPECT_EQ(BulletFromTexts(false, "abc", true, "", " 7"), (RecoilBullet{false, 0, true, 0, 7}));
}

TEST(RecoilTextsTest, CaptionsFollowTheChecks) {
  EXPECT_STREQ(RecoilXCaption(true), "mouse_move_to_left_text");
  EXPECT_STREQ(RecoilXCaption(false), "mouse_move_to_right_text");
  EXPECT_STREQ(RecoilYCaption(true), "mouse_move_to_up_text");
  EXPECT_STREQ(RecoilYCaption(false), "mouse_move_to_down_text");
}

TEST_F(RecoilFileTest, ResetImportAndExportCopyWholeFiles) {
  WriteText(RecoilFilePath(defaults_, 3), "{\"Events\":[],\"factory\":1}\n");
  WriteText(RecoilFilePath(folder_, 3), "{\"Events\":[1]}");
  ASSERT_TRUE(ResetGun(folder_, defaults_, 3));
  EXPECT_EQ(ReadTextFile(RecoilFilePath(folder_, 3)), "{\"Events\":[],\"factory\":1}\n");

  // Import does not check what it copies.
  WriteText(dir_.File("pattern.shoot"), "not json at all");
  ASSERT_TRUE(ImportGun(folder_, 3, dir_.File("pattern.shoot")));
  EXPECT_EQ(ReadTextFile(RecoilFilePath(folder_, 3)), "not json at all");

  WriteText(dir_.File("out.shoot"), "old content that is longer");
  ASSERT_TRUE(ExportGun(folder_, 3, dir_.File("out.shoot")));
  EXPECT_EQ(ReadTextFile(dir_.File("out.shoot")), "not json at all");
}

TEST_F(RecoilFileTest, AnUnreadableSourceLeavesTheGunAsItWas) {
  WriteText(RecoilFilePath(folder_, 1), "{\"Events\":[]}");
  EXPECT_FALSE(ResetGun(folder_, defaults_, 1));
  EXPECT_FALSE(ImportGun(folder_, 1, dir_.File("missing.shoot")));
  EXPECT_FALSE(ImportGun(folder_, 1, dir_.path()));  // a folder
  EXPECT_EQ(ReadTextFile(RecoilFilePath(folder_, 1)), "{\"Events\":[]}");
  EXPECT_FALSE(ExportGun(folder_, 0, dir_.File("out.shoot")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("out.shoot")));
}

TEST_F(RecoilFileTest, MissingOrBrokenGunsAreRestoredFromTheDefaults) {
  for (int gun = 0; gun < 4; ++gun) {
    WriteText(RecoilFilePath(defaults_, gun),
              "{\"Events\":[],\"gun\":" + std::to_string(gun) + "}");
  }
  WriteText(RecoilFilePath(folder_, 0), "{\"Events\":[{}]}");  // valid: kept
  WriteText(RecoilFilePath(folder_, 1), "{broken");
  WriteText(RecoilFilePath(folder_, 2), "");
  EXPECT_EQ(RestoreMissingGuns(folder_, defaults_), 3);
  EXPECT_EQ(ReadTextFile(RecoilFilePath(folder_, 0)), "{\"Events\":[{}]}");
  for (int gun = 1; gun < 4; ++gun) {
    EXPECT_EQ(ReadJsonFile(RecoilFilePath(folder_, gun))["gun"].asInt(), gun);
  }
}

TEST(RecoilCursorTest, SelectionsClampWithoutWrapping) {
  RecoilCursor cursor;
  EXPECT_EQ(cursor.Gun(), 0);
  EXPECT_EQ(cursor.Bullet(), -1);
  cursor.SelectGun(7);
  EXPECT_EQ(cursor.Gun(), 3);
  cursor.SelectGun(-2);
  EXPECT_EQ(cursor.Gun(), 0);
  cursor.SelectBullet(-4);
  EXPECT_EQ(cursor.Bullet(), 0);
  cursor.PrevBullet();
  EXPECT_EQ(cursor.Bullet(), 0);
  cursor.SelectBullet(29);
  cursor.NextBullet();
  EXPECT_EQ(cursor.Bullet(), 29);
  cursor.PrevBullet();
  EXPECT_EQ(cursor.Bullet(), 28);
  cursor.SelectGun(2);
  EXPECT_EQ(cursor.Bullet(), 28);  // switching guns keeps the bullet
}

// A file from elsewhere may hold member names with NUL bytes and text that is not UTF-8; a
// saved bullet changes exactly that bullet and every other member stays as it was.
TEST_F(RecoilFileTest, SavingKeepsMembersWithNulNamesAndInvalidUtf8) {
  const std::string path = RecoilFilePath(folder_, 2);
  using namespace std::string_literals;
  WriteText(path,
            "{\"Events\0\0\":[{\"Action\":\"\xe5"
            "ction\"}],"
            "\"Name\":\"m\xff\xfe\",\"Version\":64}"s);
  const Json::Value before = ReadJsonFile(path);
  ASSERT_EQ(before.size(), 3u);

  ASSERT_TRUE(SaveBullet(folder_, 2, 1, {false, 7, true, 9, 40}));
  const Json::Value after = ReadJsonFile(path);
  ASSERT_EQ(after.size(), 4u);  // the three members and the new "Events"
  const std::string nulName("Events\0\0", 8);
  EXPECT_EQ(after[nulName], before[nulName]);
  EXPECT_EQ(after["Name"].asString(), "m\xff\xfe");
  EXPECT_EQ(after["Version"].asInt(), 64);
  EXPECT_EQ(after["Events"].size(), 12u);
  EXPECT_EQ(LoadBullet(folder_, 2, 1), (RecoilBullet{false, 7, true, 9, 40}));
}

}  // namespace
}  // namespace varkon
