#include "profile/mouse_profile_data.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

class MouseProfileTest : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    std::ofstream(dir.File("p.Json"), std::ios::trunc) << text;
    data.LoadSection(dir.File("p.Json"));
  }
  static std::string Stages(int count) {
    std::string text = R"({"Device": [{"DPIStages": {"StageActive": 2, "StageDPIs": [)";
    for (int i = 0; i < count; ++i) {
      if (i > 0) text += ",";
      text += R"({"StageActive": 1, "StageXY": 0, "StageDPIX": )" + std::to_string(100 * i + 1) +
              R"(, "StageDPIY": 600, "StageColorR": 255, "StageColorG": 0, "StageColorB": )" +
              std::to_string(i) + "}";
    }
    return text + "]}}]}";
  }
  test::TempDir dir;
  CMouseProfiledata data;
};

TEST(DpiStage, BytesAreLittleEndian) {
  const DpiStage stage{1, 0, 0x1234, 0x0258, 10, 20, 30};
  const std::array<uint8_t, 9> bytes = stage.ToBytes();
  EXPECT_EQ(bytes, (std::array<uint8_t, 9>{1, 0, 0x34, 0x12, 0x58, 0x02, 10, 20, 30}));
  EXPECT_EQ(DpiStage::FromBytes(bytes), stage);
}

TEST_F(MouseProfileTest, StagesDecode) {
  Load(Stages(4));
  const std::vector<DpiStage> stages = data.GetDpiStages();
  ASSERT_EQ(stages.size(), 4u);
  EXPECT_EQ(stages[3], (DpiStage{1, 0, 301, 600, 255, 0, 3}));
  EXPECT_EQ(data.GetActiveStage(), 2);
}

TEST_F(MouseProfileTest, AReadNeverShortensTheTable) {
  std::vector<DpiStage> six(6, DpiStage{0, 1, 7, 7, 1, 1, 1});
  six[5].red = 99;
  Load(R"({"Device": [{}]})");
  data.SetDpiStages(six);
  Load(Stages(4));
  const std::vector<DpiStage> stages = data.GetDpiStages();
  ASSERT_EQ(stages.size(), 6u);
  EXPECT_EQ(stages[0].dpiX, 1);  // overwritten from the file
  EXPECT_EQ(stages[4], six[4]);  // kept
  EXPECT_EQ(stages[5].red, 99);
}

TEST_F(MouseProfileTest, SectionWithoutStagesKeepsTheStoredTable) {
  Load(Stages(2));
  data.GetDpiStages();
  Load(R"({"Device": [{}]})");
  EXPECT_EQ(data.GetDpiStages().size(), 2u);
  EXPECT_EQ(data.GetActiveStage(), 2);
}

TEST_F(MouseProfileTest, SetDpiStagesWritesEveryMember) {
  Load(R"({"Device": [{}]})");
  data.SetDpiStages({DpiStage{1, 1, 70000 & 0xFFFF, 2, 3, 4, 5}});
  const Json::Value& stage = data.WorkingSection()["DPIStages"]["StageDPIs"][0u];
  EXPECT_EQ(stage["StageActive"].asInt(), 1);
  EXPECT_EQ(stage["StageXY"].asInt(), 1);
  EXPECT_EQ(stage["StageDPIX"].asInt(), 4464);
  EXPECT_EQ(stage["StageDPIY"].asInt(), 2);
  EXPECT_EQ(stage["StageColorR"].asInt(), 3);
  EXPECT_EQ(stage["StageColorG"].asInt(), 4);
  EXPECT_EQ(stage["StageColorB"].asInt(), 5);
  data.SetActiveStage(0);
  EXPECT_EQ(data.WorkingSection()["DPIStages"]["StageActive"].asInt(), 0);
  EXPECT_EQ(data.GetDpiStages()[0], (DpiStage{1, 1, 4464, 2, 3, 4, 5}));
}

TEST_F(MouseProfileTest, SystemWordsAndReportRate) {
  Load(R"({"Device": [{"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10,
        "PointerPrecision": 1, "ScorllPage": 0, "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 4}}]})");
  MouseSystemWords words = data.GetMouseSystem();
  EXPECT_EQ(words.word0, 10u << 16 | 500u);
  EXPECT_EQ(words.word1, 0u << 16 | 1u);
  EXPECT_EQ(words.word2, 4u << 16 | 3u);
  words.word1 = 1u << 16 | 0u;
  words.word2 = 2u << 16 | 7u;
  data.SetMouseSystem(words);
  EXPECT_EQ(data.WorkingSection()["SystemStages"]["ScorllPage"].asInt(), 1);
  EXPECT_EQ(data.WorkingSection()["SystemStages"]["WheelScorlllinse"].asInt(), 7);
  EXPECT_EQ(data.WorkingSection()["ReportStages"]["StageActive"].asInt(), 2);
  EXPECT_EQ(data.GetMouseSystem(), words);
}

TEST_F(MouseProfileTest, ReportRateNeedsBothObjects) {
  Load(R"({"Device": [{"SystemStages": {"WheelScorlllinse": 3}}]})");
  EXPECT_EQ(data.GetMouseSystem().ReportRate(), 0);
  EXPECT_EQ(data.GetMouseSystem().WheelScrollLines(), 3);
  Load(R"({"Device": [{"ReportStages": {"StageActive": 4}}]})");
  EXPECT_EQ(data.GetMouseSystem(), MouseSystemWords{});
}

TEST_F(MouseProfileTest, Corrections) {
  Load(R"({"Device": [{"CorrectInfo": [
        {"CorrectPixThresh": 4, "CorrectMinSq": 9, "CorrectSelect": 1, "CorrectName": "Hoch ü"},
        {"CorrectName": 5}]}]})");
  const std::vector<CorrectionEntry> entries = data.GetCorrections();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (CorrectionEntry{4, 9, 1, "Hoch ü"}));
  EXPECT_EQ(entries[1], CorrectionEntry{});
  Load(R"({"Device": [{}]})");
  EXPECT_TRUE(data.GetCorrections().empty());
}

}  // namespace
}  // namespace varkon
