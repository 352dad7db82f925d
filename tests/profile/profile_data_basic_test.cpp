#include "profile/profile_data.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <json/reader.h>

#include "core/json_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

Json::Value Parse(const std::string& text) {
  Json::Value value;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << text;
  return value;
}

class BasicProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(defaults(), R"({"Device": [{"LightInfo": {"SelectItem": 3, "Light": 2},
                                           "KeyList": [{"DefaultAssignment": 2097193}]}]})");
    data.SetDefaultPath(defaults());
  }
  std::string defaults() const { return dir.File("default.Json"); }
  std::string profile() const { return dir.File("profile.Json"); }

  test::TempDir dir;
  CBasicProfiledata data;
};

TEST_F(BasicProfileTest, StartsEmpty) {
  CBasicProfiledata fresh;
  EXPECT_EQ(fresh.GetProfilePath(), "");
  EXPECT_EQ(fresh.GetDefaultPath(), "");
  EXPECT_EQ(fresh.GetLightConfigPath(), "");
  EXPECT_EQ(fresh.GetDeviceIndex(), 0);
  EXPECT_TRUE(fresh.WorkingSection().isNull());
  EXPECT_EQ(fresh.GetLightInfo(), LightState{});
  EXPECT_EQ(fresh.GetAudioLightInfo(), AudioLightState{});
  EXPECT_TRUE(fresh.GetLightList().empty());
  EXPECT_TRUE(fresh.GetKeyList().empty());
  EXPECT_TRUE(fresh.GetLightEffectList().empty());
}

TEST_F(BasicProfileTest, EmptyPathsLeaveTheOldValue) {
  data.SetProfilePath("a.Json");
  data.SetProfilePath("");
  EXPECT_EQ(data.GetProfilePath(), "a.Json");
  data.SetDefaultPath("");
  EXPECT_EQ(data.GetDefaultPath(), defaults());
  data.SetLightConfigPath("x.config");
  data.SetLightConfigPath("");  // stored unconditionally
  EXPECT_EQ(data.GetLightConfigPath(), "");
}

TEST_F(BasicProfileTest, ProfileWithoutDeviceIsCompletedAndWrittenBackOnce) {
  WriteText(profile(), R"({"Other": "kept"})");
  const Json::Value section = data.LoadSection(profile());
  EXPECT_EQ(section["LightInfo"]["SelectItem"].asInt(), 3);
  const Json::Value file = ReadJsonFile(profile());
  EXPECT_EQ(file["Other"].asString(), "kept");
  EXPECT_EQ(file["Device"][0u], section);

  const std::string written = ReadTextFile(profile());
  WriteText(defaults(), R"({"Device": [{"LightInfo": {"SelectItem": 9}}]})");
  EXPECT_EQ(data.LoadSection(profile()), section);  // read unchanged, defaults not consulted
  EXPECT_EQ(ReadTextFile(profile()), written);
}

TEST_F(BasicProfileTest, MissingProfileIsCreatedFromTheDefaults) {
  data.LoadSection(profile());
  EXPECT_EQ(ReadJsonFile(profile()), ReadJsonFile(defaults()));
}

TEST_F(BasicProfileTest, NothingIsWrittenWhenTheDefaultsHaveNoSection) {
  data.SetDefaultPath(dir.File("missing.Json"));
  EXPECT_TRUE(data.LoadSection(profile()).isNull());
  EXPECT_FALSE(std::filesystem::exists(profile()));
  data.Save();  // nothing loaded: nothing to write
  data.SetProfilePath(profile());
  data.Save();
  EXPECT_FALSE(std::filesystem::exists(profile()));
}

TEST_F(BasicProfileTest, RestoringFromTheDefaultFileNeverWritesIt) {
  WriteText(defaults(), R"({"Device": []})");
  const std::string before = ReadTextFile(defaults());
  EXPECT_TRUE(data.LoadSection(defaults()).isNull());
  EXPECT_EQ(ReadTextFile(defaults()), before);
}

TEST_F(BasicProfileTest, SectionThatIsNotAnObjectCountsAsMissing) {
  WriteText(profile(), R"({"Device": [17]})");
  EXPECT_EQ(data.LoadSection(profile())["LightInfo"]["SelectItem"].asInt(), 3);
  EXPECT_TRUE(ReadJsonFile(profile())["Device"][0u].isObject());
}

TEST_F(BasicProfileTest, DeviceIndexSelectsTheSection) {
  WriteText(profile(), R"({"Device": [{"LightInfo": {"Light": 1}}, {"LightInfo": {"Light": 2}}]})");
  data.SetDeviceIndex(1);
  data.LoadSection(profile());
  EXPECT_EQ(data.GetLightInfo().brightness, 2);
  data.SetDeviceIndex(-1);
  EXPECT_TRUE(data.LoadSection(profile()).isNull());
  data.SaveSection(Parse(R"({"x": 1})"), profile());
  EXPECT_EQ(ReadJsonFile(profile())["Device"].size(), 2u);  // a refused index writes nothing
}

TEST_F(BasicProfileTest, SaveSectionKeepsTheFilesOtherMembers) {
  WriteText(profile(), R"({"Device": [{"a": 1}, {"b": 2}], "Other": [1, 2]})");
  data.SaveSection(Parse(R"({"c": 3})"), profile());
  const Json::Value file = ReadJsonFile(profile());
  EXPECT_EQ(file["Device"][0u], Parse(R"({"c": 3})"));
  EXPECT_EQ(file["Device"][1u], Parse(R"({"b": 2})"));
  EXPECT_EQ(file["Other"], Parse("[1, 2]"));
}

TEST_F(BasicProfileTest, SaveSectionReplacesAnUnreadableFile) {
  WriteText(profile(), "{ not json");
  data.SaveSection(Parse(R"({"c": 3})"), profile());
  EXPECT_EQ(ReadJsonFile(profile()), Parse(R"({"Device": [{"c": 3}]})"));
  WriteText(profile(), R"({"Device": {"0": 1}})");  // "Device" of the wrong type
  data.SaveSection(Parse(R"({"c": 4})"), profile());
  EXPECT_EQ(ReadJsonFile(profile()), Parse(R"({"Device": [{"c": 4}]})"));
}

TEST_F(BasicProfileTest, SaveWritesTheWorkingSectionInStyledForm) {
  data.SetProfilePath(profile());
  data.LoadSection(profile());
  LightState state;
  state.mode = 7;
  data.SetLightInfo(state);
  data.Save();
  const std::string text = ReadTextFile(profile());
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 3), "}\n\n");
  EXPECT_NE(text.find("\n   \"Device\""), std::string::npos);  // three-space indentation
  CBasicProfiledata again;
  again.LoadSection(profile());
  EXPECT_EQ(again.GetLightInfo().mode, 7);
}

TEST_F(BasicProfileTest, WriteDocumentWritesTheWholeFile) {
  data.WriteDocument(Parse(R"({"whole": true})"), profile());
  EXPECT_EQ(ReadTextFile(profile()), "{\n   \"whole\" : true\n}\n\n");
}

TEST_F(BasicProfileTest, LightInfoMembers) {
  WriteText(profile(), R"({"Device": [{"LightInfo": {
      "SelectItem": 300, "Light": 4, "Speed": 3, "Fx": 1, "MultiColor": true,
      "Red": 10, "Green": 20, "Blue": 30, "CustomGroup": 2, "OldLedmode": 5,
      "byVoiceLedmodeSwith": 1, "byVoiceLedmode": 29, "byVoiceSensitivity": 77, "Extra": 1}}]})");
  data.LoadSection(profile());
  const LightState state = data.GetLightInfo();
  EXPECT_EQ(state.mode, 44);  // 300 keeps its low 8 bits
  EXPECT_EQ(state.brightness, 4);
  EXPECT_EQ(state.speed, 3);
  EXPECT_EQ(state.direction, 1);
  EXPECT_EQ(state.multicolour, 1);
  EXPECT_EQ(state.red, 10);
  EXPECT_EQ(state.green, 20);
  EXPECT_EQ(state.blue, 30);
  EXPECT_EQ(state.zzccLedMode, 0);  // missing member
  EXPECT_EQ(state.customGroup, 2);
  EXPECT_EQ(state.oldLedMode, 5);
  EXPECT_EQ(state.voiceLedModeSwitch, 1);
  EXPECT_EQ(state.voiceLedMode, 29);
  EXPECT_EQ(state.voiceSensitivity, 77);
  EXPECT_EQ(data.CurrentLightState(), state);
}

TEST_F(BasicProfileTest, LightInfoWriteBack) {
  WriteText(profile(), R"({"Device": [{"LightInfo": {"MultiColor": 1, "Extra": 5}}]})");
  data.LoadSection(profile());
  LightState state = data.GetLightInfo();
  EXPECT_EQ(state.multicolour, 1);
  state.extra[0] = state.extra[1] = state.extra[2] = 9;
  state.zzccLedMode = 6;
  data.SetLightInfo(state);
  const Json::Value& info = data.WorkingSection()["LightInfo"];
  EXPECT_EQ(info.size(), 14u);  // "Extra" dropped
  EXPECT_FALSE(info.isMember("Extra"));
  EXPECT_TRUE(info["MultiColor"].isInt());  // integers, never booleans
  EXPECT_EQ(info["MultiColor"].asInt(), 1);
  EXPECT_EQ(info["ZZCCLedMode"].asInt(), 6);
  const LightState back = data.GetLightInfo();
  EXPECT_EQ(back.extra[0] + back.extra[1] + back.extra[2], 0);
  EXPECT_EQ(back.zzccLedMode, 6);
}

TEST_F(BasicProfileTest, MissingLightInfoGivesTheDefaultState) {
  WriteText(profile(), R"({"Device": [{"LightInfo": {"Light": 3}}]})");
  data.LoadSection(profile());
  EXPECT_EQ(data.GetLightInfo().brightness, 3);
  WriteText(profile(), R"({"Device": [{"LightInfo": null}]})");
  data.LoadSection(profile());
  EXPECT_EQ(data.GetLightInfo(), LightState{});
  EXPECT_EQ(data.CurrentLightState(), LightState{});
}

TEST_F(BasicProfileTest, AudioLightInfoRoundTrip) {
  WriteText(profile(), R"({"Device": [{"AudioLightInfo": {"AudioMode": 2, "BkColorR": 1,
      "BkColorG": 2, "BkColorB": 3, "FgColorR": 4, "FgColorG": 5, "FgColorB": 6,
      "7ColorFlags": 7, "ColorTypeFlags": true}}]})");
  data.LoadSection(profile());
  AudioLightState state = data.GetAudioLightInfo();
  EXPECT_EQ(state, (AudioLightState{2, 1, 2, 3, 4, 5, 6, 1, 1}));
  state.audioMode = 3;
  state.colorTypeFlags = 0;
  data.SetAudioLightInfo(state);
  const Json::Value& info = data.WorkingSection()["AudioLightInfo"];
  EXPECT_EQ(info.size(), 9u);
  EXPECT_TRUE(info["ColorTypeFlags"].isInt());
  EXPECT_EQ(data.GetAudioLightInfo(), state);
}

TEST_F(BasicProfileTest, LightListEntries) {
  WriteText(profile(), R"({"Device": [{"LightList": [
      {"LEDREGMode": 2, "LEDBrightness": 3, "LEDSpeed": 4, "LEDDirection": 5,
       "LEDMultiColor": true, "red": 6, "green": 7, "blue": 8},
      null,
      {}]}]})");
  data.LoadSection(profile());
  const std::vector<LightListEntry> list = data.GetLightList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].mode, 2);
  EXPECT_EQ(list[0].brightness, 3);
  EXPECT_EQ(list[0].speed, 4);
  EXPECT_EQ(list[0].direction, 1);  // read as a boolean
  EXPECT_EQ(list[0].multiColor, 1);
  EXPECT_EQ(list[0].red, 6);
  EXPECT_EQ(list[0].green, 7);
  EXPECT_EQ(list[0].blue, 8);
  EXPECT_EQ(list[0].present, 1);
  EXPECT_EQ(list[1], LightListEntry{});  // null: absent, all zero
  EXPECT_EQ(list[2].present, 1);

  WriteText(profile(), R"({"Device": [{"LightInfo": {}}]})");
  data.LoadSection(profile());
  EXPECT_TRUE(data.GetLightList().empty());
}

TEST_F(BasicProfileTest, KeyListDecodesTheThreeSlots) {
  WriteText(profile(), R"({"Device": [{"KeyList": [
      {"FnAssignment": 7340544, "Assignment": 2097156, "DefaultAssignment": 2097193},
      {"Assignment": 16777215}]}]})");
  data.LoadSection(profile());
  const std::vector<KeyAssignmentRecord> keys = data.GetKeyList();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].fn.code, (AssignmentCode{0x70, 0x02, 0x00}));
  EXPECT_EQ(keys[0].main.code, (AssignmentCode{0x20, 0x00, 0x04}));
  EXPECT_EQ(keys[0].defaultSlot.code, (AssignmentCode{0x20, 0x00, 0x29}));
  EXPECT_EQ(keys[1].main.code, (AssignmentCode{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(keys[1].fn.code, AssignmentCode{});
  EXPECT_EQ(keys[1].main.listIndex, 1);
  EXPECT_EQ(keys[1].fn.listIndex, 1);
  EXPECT_EQ(keys[1].defaultSlot.listIndex, 1);
}

TEST_F(BasicProfileTest, SetKeyListCreatesMissingElementsWithoutDefaults) {
  data.LoadSection(profile());  // one element, with a default only
  std::vector<KeyAssignmentRecord> keys(3);
  for (uint16_t i = 0; i < 3; ++i) {
    keys[i].main = {i, {0x20, 0, static_cast<uint8_t>(4 + i)}};
    keys[i].fn = {i, {0x30, 0xE9, 0}};
  }
  data.SetKeyList(keys);
  const Json::Value& list = data.WorkingSection()["KeyList"];
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0u]["DefaultAssignment"].asInt(), 2097193);  // untouched
  EXPECT_EQ(list[0u]["Assignment"].asInt(), 0x200004);
  EXPECT_EQ(list[2u]["Assignment"].asInt(), 0x200006);
  EXPECT_EQ(list[2u]["FnAssignment"].asInt(), 0x30E900);
  EXPECT_EQ(list[2u].size(), 2u);
  EXPECT_FALSE(list[2u].isMember("DefaultAssignment"));
  const std::vector<KeyAssignmentRecord> back = data.GetKeyList();
  EXPECT_EQ(back[1].main, keys[1].main);
  EXPECT_EQ(back[2].defaultSlot.code, AssignmentCode{});
}

TEST_F(BasicProfileTest, OtherSectionIsSeparateFromTheWorkingSection) {
  const std::string other = dir.File("other.Json");
  WriteText(other, R"({"Device": [{"KeyList": [{"Assignment": 7340288}]}]})");
  data.LoadSection(profile());
  data.LoadOtherSection(other);
  std::vector<KeyAssignmentRecord> keys = data.GetOtherKeyList();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].main.code, (AssignmentCode{0x70, 0x01, 0x00}));
  keys[0].main.code = {0x20, 0, 0x29};
  data.SetOtherKeyList(keys);
  data.SaveOtherSection(other);
  EXPECT_EQ(ReadJsonFile(other)["Device"][0u]["KeyList"][0u]["Assignment"].asInt(), 0x200029);
  EXPECT_EQ(data.GetKeyList().size(), 1u);
  EXPECT_EQ(data.GetKeyList()[0].main.code, AssignmentCode{});  // working section unchanged
}

class EffectStepsTest : public BasicProfileTest {
 protected:
  void SetUp() override {
    BasicProfileTest::SetUp();
    WriteText(config(), R"({"LightInfo": [[{"LightName": "A", "Guid": "g0"},
                                            {"LightName": "B", "Guid": "../escape"},
                                            {"LightName": "C"}]]})");
    WriteText(dir.File("g0.light"), R"({"LEDEffectList": [
        {"LEDREGMode": 4, "LEDDirection": 1, "LEDBrightness": 3, "LEDSpeed": 2,
         "LEDMultiColor": 1, "red": 9, "green": 8, "blue": 7, "Time": 1500, "Cyle": -2},
        {"Time": "long"}]})");
    data.SetLightConfigPath(config());
  }
  std::string config() const { return dir.File("zelta_light.config"); }
  void Select(uint8_t item) {
    WriteText(profile(),
              R"({"Device": [{"LightInfo": {"SelectItem": )" + std::to_string(item) + "}}]}");
    data.LoadSection(profile());
    data.GetLightInfo();
  }
};

TEST_F(EffectStepsTest, StepsOfTheSelectedEffect) {
  Select(0);
  EXPECT_TRUE(data.LoadLightConfig(config()).isObject());
  const std::vector<LightEffectStep> steps = data.GetLightEffectList();
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].mode, 4);
  EXPECT_EQ(steps[0].direction, 1);
  EXPECT_EQ(steps[0].brightness, 3);
  EXPECT_EQ(steps[0].speed, 2);
  EXPECT_EQ(steps[0].multiColor, 1);
  EXPECT_EQ(steps[0].red, 9);
  EXPECT_EQ(steps[0].green, 8);
  EXPECT_EQ(steps[0].blue, 7);
  EXPECT_EQ(steps[0].time, 1500);
  EXPECT_EQ(steps[0].cycle, -2);
  EXPECT_EQ(steps[1], LightEffectStep{});
}

TEST_F(EffectStepsTest, FailedLookupsLeaveAnEmptyList) {
  Select(0);
  data.LoadLightConfig(config());
  ASSERT_EQ(data.GetLightEffectList().size(), 2u);
  Select(2);  // no "Guid": would name ".light"
  WriteText(dir.File(".light"), R"({"LEDEffectList": [{}]})");
  EXPECT_TRUE(data.GetLightEffectList().empty());
  Select(9);  // past the descriptors
  EXPECT_TRUE(data.GetLightEffectList().empty());
}

TEST_F(EffectStepsTest, GuidsCannotLeaveTheDataFolder) {
  std::filesystem::create_directories(dir.File("inner"));
  const std::string innerConfig = dir.File("inner/zelta_light.config");
  std::filesystem::copy_file(config(), innerConfig);
  WriteText(dir.File("escape.light"), R"({"LEDEffectList": [{}, {}, {}]})");
  Select(1);
  data.LoadLightConfig(innerConfig);
  EXPECT_TRUE(data.GetLightEffectList().empty());
}

TEST_F(EffectStepsTest, NoConfigurationNoSteps) {
  Select(0);
  EXPECT_TRUE(data.LoadLightConfig(dir.File("missing.config")).isNull());
  EXPECT_TRUE(data.GetLightEffectList().empty());
}

TEST_F(EffectStepsTest, TheLightConfigurationIsIndexedByDeviceIndex) {
  WriteText(config(), R"({"LightInfo": [[], [{"Guid": "g0"}]]})");
  Select(0);
  data.LoadLightConfig(config());
  EXPECT_TRUE(data.GetLightEffectList().empty());
  data.SetDeviceIndex(1);
  EXPECT_EQ(data.GetLightEffectList().size(), 2u);
}

}  // namespace
}  // namespace varkon
