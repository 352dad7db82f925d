#include "profile/keyboard_profile_data.h"

#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

class KeyboardProfileTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    std::ofstream(dir.File("p.Json"), std::ios::trunc) << text;
    data.SetProfilePath(dir.File("p.Json"));
    data.LoadSection(dir.File("p.Json"));
  }
  test::TempDir dir;
  CKeyboardProfiledata data;
};

TEST_F(KeyboardProfileTest, SystemWordsFromTheSixMembers) {
  Load(R"({"Device": [{"SystemStages": {"Repeat": 20, "RepeatDelay": 70000, "Key6Flag": 1,
        "PollingRate": 3, "WFlag": 0, "WinFlag": 1}}]})");
  const KeyboardSystemWords words = data.GetKeyboardSystem();
  EXPECT_EQ(words.word0, 4464u << 16 | 20u);  // 70000 keeps its low 16 bits
  EXPECT_EQ(words.word1, 3u << 16 | 1u);
  EXPECT_EQ(words.word2, 1u << 16 | 0u);
  EXPECT_EQ(words.extra, 0u);
  data.SetKeyboardSystem(words);
  EXPECT_EQ(data.WorkingSection()["SystemStages"]["RepeatDelay"].asInt(), 4464);
}

TEST_F(KeyboardProfileTest, SectionWithoutSystemStagesReadsZero) {
  Load(R"({"Device": [{"LightInfo": {}}]})");
  EXPECT_EQ(data.GetKeyboardSystem(), KeyboardSystemWords{});
}

TEST_F(KeyboardProfileTest, WritingSystemStagesKeepsOtherMembers) {
  Load(R"({"Device": [{"SystemStages": {"Vendor": "x", "Repeat": 1}}]})");
  KeyboardSystemWords words;
  words.word0 = KeyboardSystemWords::Pack(5, 2);
  words.word1 = KeyboardSystemWords::Pack(1, 0);
  words.word2 = KeyboardSystemWords::Pack(0, 1);
  words.extra = 99;
  data.SetKeyboardSystem(words);
  const Json::Value& stages = data.WorkingSection()["SystemStages"];
  EXPECT_EQ(stages["Vendor"].asString(), "x");
  EXPECT_EQ(stages["Repeat"].asInt(), 5);
  EXPECT_EQ(stages["RepeatDelay"].asInt(), 2);
  EXPECT_EQ(stages["Key6Flag"].asInt(), 1);
  EXPECT_EQ(stages["WinFlag"].asInt(), 1);
  KeyboardSystemWords expected = words;
  expected.extra = 0;  // not persisted
  EXPECT_EQ(data.GetKeyboardSystem(), expected);
}

TEST_F(KeyboardProfileTest, FnKeysetFlagIsABoolean) {
  Load(R"({"Device": [{}]})");
  EXPECT_EQ(data.GetFnKeysetFlag(), 0);
  data.SetFnKeysetFlag(0);
  EXPECT_TRUE(data.WorkingSection()["FnKeysetFlag"].isBool());
  EXPECT_EQ(data.GetFnKeysetFlag(), 0);
  data.SetFnKeysetFlag(7);
  EXPECT_EQ(data.WorkingSection()["FnKeysetFlag"], Json::Value(true));
  EXPECT_EQ(data.GetFnKeysetFlag(), 1);
  Load(R"({"Device": [{"FnKeysetFlag": 1}]})");
  EXPECT_EQ(data.GetFnKeysetFlag(), 1);
}

TEST_F(KeyboardProfileTest, MissingColourGroupIsFilledWithZeroColours) {
  Load(R"({"Device": [{"CustomLightMode": {"LightColorInfo": [[{"Red": 1}]]}}]})");
  const std::vector<CustomColor> colors = data.GetCustomColors(2, 8);
  ASSERT_EQ(colors.size(), 8u);
  for (const CustomColor& color : colors) EXPECT_EQ(color, CustomColor{});
  const Json::Value& groups = data.WorkingSection()["CustomLightMode"]["LightColorInfo"];
  ASSERT_EQ(groups.size(), 3u);
  ASSERT_EQ(groups[2u].size(), 8u);
  EXPECT_EQ(groups[2u][7u]["Alpha"].asInt(), 0);
  EXPECT_EQ(groups[2u][7u].size(), 4u);
  EXPECT_EQ(groups[0u][0u]["Red"].asInt(), 1);  // other groups untouched
  data.Save();
  EXPECT_EQ(ReadJsonFile(dir.File("p.Json"))["Device"][0u]["CustomLightMode"]["LightColorInfo"][2u]
                .size(),
            8u);
}

TEST_F(KeyboardProfileTest, ColoursRoundTripAndNullElementsAreRepaired) {
  Load(R"({"Device": [{"CustomLightMode": {"LightColorInfo": [[
        {"Red": 10, "Green": 20, "Blue": 30, "Alpha": 300}, null]]}}]})");
  std::vector<CustomColor> colors = data.GetCustomColors(0, 3);
  ASSERT_EQ(colors.size(), 3u);
  EXPECT_EQ(colors[0], (CustomColor{10, 20, 30, 44}));
  EXPECT_EQ(colors[1], CustomColor{});
  EXPECT_TRUE(data.WorkingSection()["CustomLightMode"]["LightColorInfo"][0u][1u].isObject());
  colors[2] = {1, 2, 3, 4};
  data.SetCustomColors(colors, 0);
  EXPECT_EQ(data.GetCustomColors(0, 3), colors);
}

TEST_F(KeyboardProfileTest, RefusedGroupsAndCountsWriteNothing) {
  Load(R"({"Device": [{}]})");
  EXPECT_TRUE(data.GetCustomColors(-1, 4).empty());
  EXPECT_TRUE(data.GetCustomColors(0, -4).empty());
  EXPECT_TRUE(data.GetCustomColors(1 << 30, 4).empty());
  data.SetCustomColors({{1, 2, 3, 4}}, -3);
  EXPECT_FALSE(data.WorkingSection().isMember("CustomLightMode"));
}

TEST_F(KeyboardProfileTest, CustomGroupIndex) {
  Load(R"({"Device": [{}]})");
  EXPECT_EQ(data.GetCustomGroupIndex(), 0);
  data.SetCustomGroupIndex(3);
  EXPECT_EQ(data.WorkingSection()["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 3);
  EXPECT_EQ(data.GetCustomGroupIndex(), 3);
  Load(R"({"Device": [{"CustomLightMode": {"CustomLightModeGroupIndex": "2"}}]})");
  EXPECT_EQ(data.GetCustomGroupIndex(), 0);
}

}  // namespace
}  // namespace varkon
