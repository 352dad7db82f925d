// Every reader of the profile documents and name files fed the same table of hostile files:
// nothing may throw or crash, everything decodes to zeros/empties, and writes that follow leave
// a valid profile file.
#include <cctype>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/hs6533_profile_data.h"
#include "profile/keyboard_profile_data.h"
#include "profile/mouse_profile_data.h"
#include "profile/name_files.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

struct HostileFile {
  const char* name;
  std::string text;
};

std::string Repeat(const std::string& piece, int count, const std::string& separator = "") {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? separator : "") + piece;
  return text;
}

std::vector<HostileFile> HostileFiles() {
  return {
      {"empty", ""},
      {"truncated", R"({"Device": [{"LightInfo": {"SelectItem": 3)"},
      {"not json", "Device = 1"},
      {"binary", std::string("\0\xff\xfe{\"\0", 7)},
      {"null", "null"},
      {"number", "42"},
      {"string", "\"Device\""},
      {"array", "[1, 2, {\"Device\": []}]"},
      {"device is a number", R"({"Device": 5})"},
      {"device is an object", R"({"Device": {"0": {"LightInfo": {"Light": 1}}}})"},
      {"section is null", R"({"Device": [null]})"},
      {"section is an array", R"({"Device": [[{"LightInfo": {"Light": 1}}]]})"},
      {"section is a string", R"({"Device": ["section"]})"},
      {"members of the wrong type", R"({"Device": [{"LightInfo": [], "AudioLightInfo": "x",
        "LightList": {}, "KeyList": 7, "SystemStages": [], "FnKeysetFlag": "yes",
        "CustomLightMode": [], "DPIStages": 5, "ReportStages": "r", "CorrectInfo": {},
        "SystemSetStages": 1, "EQHzValueInfo": {}, "CustomEQHzValueInfo": "x",
        "CustomEQNameInfo": 5, "DefaultLightName": 3, "AreaLightName": {}, "MacroInfo": 1,
        "LightInfo": 9, "LEDEffectList": "x"}],
        "DefaultLightName": "x", "AreaLightName": 2, "MacroInfo": {}, "LightInfo": "x",
        "LEDEffectList": 4})"},
      {"elements of the wrong type", R"({"Device": [{
        "LightInfo": {"SelectItem": "1", "Light": [1], "MultiColor": "true", "Red": {}},
        "AudioLightInfo": {"AudioMode": "2", "7ColorFlags": "yes"},
        "LightList": [1, "a", [], true, {"LEDREGMode": "2", "red": null}],
        "KeyList": [1, "a", null, {"Assignment": "5", "FnAssignment": true}],
        "SystemStages": {"Repeat": "1", "WheelScorlllinse": [3]},
        "CustomLightMode": {"LightColorInfo": [5, "a", [{"Red": "1"}, 4]],
                            "CustomLightModeGroupIndex": []},
        "DPIStages": {"StageActive": "1", "StageDPIs": [5, null, "x", {"StageDPIX": "9"}]},
        "ReportStages": {"StageActive": "4"},
        "CorrectInfo": [5, "x", {"CorrectName": [], "CorrectMinSq": "3"}],
        "SystemSetStages": {"EqType": "5", "MicInValue": false},
        "EQHzValueInfo": [5, "x", [1, "a", null, {"value": "3"}]],
        "CustomEQHzValueInfo": [[{"value": {}}]],
        "CustomEQNameInfo": [5, null, {"Name": 7}]}],
        "DefaultLightName": [5, "x", [3, {"LightName": 4, "visible": "yes", "value": "1"}]],
        "AreaLightName": [[{"LightName": []}]],
        "MacroInfo": [3, {"MacroName": 5}],
        "LightInfo": [[{"Guid": 5}], [{"Guid": "/etc/passwd"}], [{"Guid": ".."}]],
        "LEDEffectList": [5, "x", {"Time": "1"}]})"},
      {"out-of-range numbers", R"({"Device": [{
        "LightInfo": {"SelectItem": 1e308, "Red": -1e308, "Speed": -0.0},
        "SystemStages": {"Repeat": 18446744073709551615, "RepeatDelay": -9999999999,
                         "DoubleClickTime": 1e20},
        "CustomLightMode": {"CustomLightModeGroupIndex": 9999999999},
        "DPIStages": {"StageActive": 1e100},
        "SystemSetStages": {"EqType": 1e10, "MicInValue": -1e10},
        "EQHzValueInfo": [[{"value": 1e300}], [{"value": -1e300}]]}]})"},
      {"deep nesting", Repeat("[", 100000)},
      {"deep member", R"({"Device": [{"LightInfo": )" + Repeat("[", 900) + Repeat("]", 900) +
                          R"(, "KeyList": )" + Repeat("[", 900) + Repeat("]", 900) + "}]}"},
      {"huge arrays", R"({"Device": [{"KeyList": [)" + Repeat("{}", 20000, ",") +
                          R"(], "LightList": [)" + Repeat("null", 20000, ",") +
                          R"(], "CorrectInfo": [)" + Repeat("7", 20000, ",") +
                          R"(], "CustomEQNameInfo": [)" + Repeat("{}", 20000, ",") +
                          R"(]}], "MacroInfo": [)" + Repeat("{}", 20000, ",") + "]}"},
  };
}

class ProfileDataHostileTest : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    const HostileFile file = HostileFiles()[GetParam()];
    for (const char* name : {"profile.Json", "default.Json", "zelta_light.config", "1.light",
                             "macro.config", "default_light.json", "5.light"}) {
      std::ofstream(dir.File(name), std::ios::binary | std::ios::trunc) << file.text;
    }
  }

  template <typename Data>
  void Bind(Data& data) {
    data.SetDefaultPath(dir.File("default.Json"));
    data.SetProfilePath(dir.File("profile.Json"));
    data.SetLightConfigPath(dir.File("zelta_light.config"));
    data.LoadSection(dir.File("profile.Json"));
    data.LoadOtherSection(dir.File("profile.Json"));
  }

  // The base members read as zeros.
  void ExpectBaseZeros(CBasicProfiledata& data) {
    EXPECT_EQ(data.GetLightInfo(), LightState{});
    EXPECT_EQ(data.GetAudioLightInfo(), AudioLightState{});
    for (const LightListEntry& entry : data.GetLightList()) {
      LightListEntry zero;
      zero.present = entry.present;
      EXPECT_EQ(entry, zero);
    }
    EXPECT_LE(data.GetLightList().size(), CBasicProfiledata::kMaxLightListEntries);
    data.LoadLightConfig(dir.File("zelta_light.config"));
    EXPECT_TRUE(data.GetLightEffectList().empty());
    for (const auto& list : {data.GetKeyList(), data.GetOtherKeyList()}) {
      EXPECT_LE(list.size(), CBasicProfiledata::kMaxKeyListEntries);
      for (const KeyAssignmentRecord& record : list) {
        EXPECT_EQ(record.fn.code, AssignmentCode{});
        EXPECT_EQ(record.main.code, AssignmentCode{});
        EXPECT_EQ(record.defaultSlot.code, AssignmentCode{});
      }
    }
  }

  // Writes through every base setter and saves; the file must then be a valid profile.
  void WriteAndCheck(CBasicProfiledata& data) {
    LightState state;
    state.mode = 5;
    data.SetLightInfo(state);
    data.SetAudioLightInfo(AudioLightState{1, 2, 3, 4, 5, 6, 7, 1, 0});
    std::vector<KeyAssignmentRecord> keys(3);
    keys[2].main.code = {0x20, 0, 4};
    data.SetKeyList(keys);
    data.SetOtherKeyList(keys);
    data.Save();
    data.SaveOtherSection(dir.File("other.Json"));
    const Json::Value file = ReadJsonFile(dir.File("profile.Json"));
    ASSERT_TRUE(file.isObject());
    ASSERT_TRUE(file["Device"].isArray());
    ASSERT_TRUE(file["Device"][0u].isObject());
    EXPECT_EQ(file["Device"][0u]["LightInfo"]["SelectItem"].asInt(), 5);
    EXPECT_EQ(file["Device"][0u]["KeyList"][2u]["Assignment"].asInt(), 0x200004);
    EXPECT_TRUE(ReadJsonFile(dir.File("other.Json"))["Device"][0u].isObject());
    data.LoadSection(dir.File("profile.Json"));
    EXPECT_EQ(data.GetLightInfo(), state);
    EXPECT_EQ(data.GetKeyList()[2].main.code, (AssignmentCode{0x20, 0, 4}));
  }

  void RunKeyboard() {
    CKeyboardProfiledata data;
    Bind(data);
    ExpectBaseZeros(data);
    EXPECT_EQ(data.GetKeyboardSystem(), KeyboardSystemWords{});
    EXPECT_EQ(data.GetFnKeysetFlag(), 0);
    EXPECT_EQ(data.GetCustomGroupIndex(), 0);
    for (int group = 0; group < 4; ++group) {
      for (const CustomColor& color : data.GetCustomColors(group, 4)) {
        EXPECT_EQ(color, CustomColor{});
      }
    }
    data.SetKeyboardSystem({1, 2, 3, 4});
    data.SetFnKeysetFlag(1);
    data.SetCustomColors({{1, 2, 3, 4}}, 1);
    data.SetCustomGroupIndex(1);
    WriteAndCheck(data);
    EXPECT_EQ(data.GetKeyboardSystem(), (KeyboardSystemWords{1, 2, 3, 0}));
    EXPECT_EQ(data.GetCustomColors(1, 1)[0], (CustomColor{1, 2, 3, 4}));
  }

  void RunMouse() {
    CMouseProfiledata data;
    Bind(data);
    ExpectBaseZeros(data);
    for (const DpiStage& stage : data.GetDpiStages()) EXPECT_EQ(stage, DpiStage{});
    EXPECT_LE(data.GetDpiStages().size(), CMouseProfiledata::kMaxDpiStages);
    EXPECT_EQ(data.GetActiveStage(), 0);
    EXPECT_EQ(data.GetMouseSystem(), MouseSystemWords{});
    for (const CorrectionEntry& entry : data.GetCorrections()) {
      EXPECT_EQ(entry, CorrectionEntry{});
    }
    data.SetDpiStages({DpiStage{1, 0, 5, 5, 1, 2, 3}});
    data.SetActiveStage(0);
    data.SetMouseSystem({1, 2, 3});
    WriteAndCheck(data);
    EXPECT_EQ(data.GetMouseSystem(), (MouseSystemWords{1, 2, 3}));
  }

  void RunHeadset() {
    CHs6533Profiledata data;
    Bind(data);
    ExpectBaseZeros(data);
    EXPECT_EQ(data.GetHeadsetSystem(), HeadsetSettings{});
    for (int preset = 0; preset <= 14; ++preset) {
      for (int band : data.GetEqValues(preset)) EXPECT_EQ(band, 0);
    }
    for (int band : data.GetCustomEqValues(0)) EXPECT_EQ(band, 0);
    for (const std::string& name : data.GetCustomEqNames()) EXPECT_EQ(name, "");
    data.SetHeadsetSystem({1, 1, 1, 1, 1, 1, 1, 1});
    data.SetEqValues(2, std::vector<int>(10, 3));
    data.SetCustomEqValues(0, std::vector<int>(10, 4));
    data.SetCustomEqNames({"A"});
    WriteAndCheck(data);
    EXPECT_EQ(data.GetEqValues(2), std::vector<int>(10, 3));
  }

  void RunNameFiles() {
    DeviceNameLists lists;
    const NameFilePaths paths{dir.File("macro.config"), dir.File("default_light.json"),
                              dir.File("zelta_light.config")};
    for (int model = -1; model <= 4; ++model) {
      LoadDeviceNameLists(paths, model, lists);
      for (const std::string& name : lists.macroNames) EXPECT_EQ(name, "");
      for (const std::string& name : lists.lightModeNames) EXPECT_EQ(name, "");
      for (int value : lists.lightModeValues) EXPECT_EQ(value, 0);
      for (bool visible : lists.lightModeVisible) EXPECT_FALSE(visible);
      for (const std::string& name : lists.areaLightNames) EXPECT_EQ(name, "");
      for (const std::string& name : lists.customLightNames) EXPECT_EQ(name, "");
      EXPECT_LE(lists.macroNames.size(), kMaxNameListEntries);
    }
  }

  test::TempDir dir;
};

TEST_P(ProfileDataHostileTest, Keyboard) {
  EXPECT_NO_THROW(RunKeyboard());
}
TEST_P(ProfileDataHostileTest, Mouse) {
  EXPECT_NO_THROW(RunMouse());
}
TEST_P(ProfileDataHostileTest, Headset) {
  EXPECT_NO_THROW(RunHeadset());
}
TEST_P(ProfileDataHostileTest, NameFiles) {
  EXPECT_NO_THROW(RunNameFiles());
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileDataHostileTest,
                         ::testing::Range<size_t>(0, HostileFiles().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string name = HostileFiles()[info.param].name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace varkon
