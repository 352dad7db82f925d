#include "profile/hs6533_profile_data.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

class HeadsetProfileTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    std::ofstream(dir.File("p.Json"), std::ios::trunc) << text;
    data.LoadSection(dir.File("p.Json"));
  }
  static std::string Row(int base) {
    std::string text = "[";
    for (int i = 0; i < 10; ++i) {
      text += (i ? "," : "") + std::string(R"({"value": )") + std::to_string(base + i) + "}";
    }
    return text + "]";
  }
  test::TempDir dir;
  CHs6533Profiledata data;
};

TEST_F(HeadsetProfileTest, SystemValuesRoundTrip) {
  Load(R"({"Device": [{}]})");
  EXPECT_EQ(data.GetHeadsetSystem(), HeadsetSettings{});
  const HeadsetSettings settings{1, 3, 13, 2, 1, 37, 0, 100};
  data.SetHeadsetSystem(settings);
  const Json::Value& stages = data.WorkingSection()["SystemSetStages"];
  EXPECT_EQ(stages.size(), 8u);
  EXPECT_EQ(stages["CustomEqSeletIndex"].asInt(), 2);
  EXPECT_EQ(stages["MicMoniterValue"].asInt(), 100);
  EXPECT_EQ(data.GetHeadsetSystem(), settings);
}

TEST_F(HeadsetProfileTest, PresetRows) {
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(1), 1);
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(12), 12);
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(0), 1);
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(20), 1);
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(-5), 1);
  EXPECT_EQ(CHs6533Profiledata::EqRowOfPreset(13), -1);
}

TEST_F(HeadsetProfileTest, PresetZeroAndTwentyUseRowOne) {
  Load(R"({"Device": [{"EQHzValueInfo": [)" + Row(0) + "," + Row(100) + "," + Row(200) + "]}]}");
  const std::vector<int> row1 = data.GetEqValues(1);
  ASSERT_EQ(row1.size(), 10u);
  EXPECT_EQ(row1[0], 100);
  EXPECT_EQ(row1[9], 109);
  EXPECT_EQ(data.GetEqValues(0), row1);
  EXPECT_EQ(data.GetEqValues(20), row1);
  EXPECT_EQ(data.GetEqValues(2)[3], 203);
}

TEST_F(HeadsetProfileTest, PresetThirteenHasNoRow) {
  Load(R"({"Device": [{}]})");
  EXPECT_TRUE(data.GetEqValues(13).empty());
  data.SetEqValues(13, std::vector<int>(10, 5));
  EXPECT_FALSE(data.WorkingSection().isMember("EQHzValueInfo"));
}

TEST_F(HeadsetProfileTest, MissingRowIsWrittenAsZeros) {
  Load(R"({"Device": [{}]})");
  EXPECT_EQ(data.GetEqValues(5), std::vector<int>(10, 0));
  const Json::Value& row = data.WorkingSection()["EQHzValueInfo"][5u];
  ASSERT_EQ(row.size(), 10u);
  EXPECT_EQ(row[9u]["value"], Json::Value(0));
}

TEST_F(HeadsetProfileTest, SetEqValuesWritesTheGivenBands) {
  Load(R"({"Device": [{}]})");
  data.SetEqValues(4, {2, 1, -2, -3, -5, -7, 0, 4, 9, 8, 77});
  EXPECT_EQ(data.GetEqValues(4), (std::vector<int>{2, 1, -2, -3, -5, -7, 0, 4, 9, 8}));
  EXPECT_EQ(data.WorkingSection()["EQHzValueInfo"][4u].size(), 10u);  // band 11 ignored
  data.SetEqValues(4, {9});  // a short list changes only its bands
  EXPECT_EQ(data.GetEqValues(4)[0], 9);
  EXPECT_EQ(data.GetEqValues(4)[1], 1);
}

TEST_F(HeadsetProfileTest, CustomRows) {
  Load(R"({"Device": [{"CustomEQHzValueInfo": [)" + Row(10) + "]}]}");
  EXPECT_EQ(data.GetCustomEqValues(0)[2], 12);
  EXPECT_EQ(data.GetCustomEqValues(3), std::vector<int>(10, 0));
  EXPECT_EQ(data.WorkingSection()["CustomEQHzValueInfo"].size(), 4u);
  data.SetCustomEqValues(1, std::vector<int>(10, -13));
  EXPECT_EQ(data.GetCustomEqValues(1), std::vector<int>(10, -13));
  EXPECT_TRUE(data.GetCustomEqValues(-1).empty());
  data.SetCustomEqValues(1 << 30, std::vector<int>(10, 1));
  EXPECT_EQ(data.WorkingSection()["CustomEQHzValueInfo"].size(), 4u);
}

TEST_F(HeadsetProfileTest, CustomNamesKeepTheirPositions) {
  Load(R"({"Device": [{"CustomEQNameInfo": [{"Name": "Bass"}, 7, {"Name": "Ωμέγα"}]}]})");
  EXPECT_EQ(data.GetCustomEqNames(), (std::vector<std::string>{"Bass", "", "Ωμέγα"}));
  data.SetCustomEqNames({"Rock", "Jazz"});
  EXPECT_EQ(data.WorkingSection()["CustomEQNameInfo"][1u]["Name"].asString(), "Jazz");
  EXPECT_EQ(data.GetCustomEqNames(), (std::vector<std::string>{"Rock", "Jazz"}));
  data.SetCustomEqNames({});
  EXPECT_TRUE(data.WorkingSection()["CustomEQNameInfo"].isArray());
  EXPECT_TRUE(data.GetCustomEqNames().empty());
}

}  // namespace
}  // namespace varkon
