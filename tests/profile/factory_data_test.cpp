// The factory files shipped in resources/DefaultData: they parse, load through the profile
// classes, carry the canonical key lists, the built-in equaliser presets, and effect lists with
// the effects at the positions the device code relies on.
#include <set>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "devices/key_tables.h"
#include "profile/data_folders.h"
#include "profile/hs6533_profile_data.h"
#include "profile/keyboard_profile_data.h"
#include "profile/mouse_profile_data.h"
#include "profile/name_files.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

std::string FactoryFolder() {
  return std::string(VARKON_SOURCE_DIR) + "/resources/DefaultData/";
}
std::string FactoryFile(const std::string& name) {
  return FactoryFolder() + name;
}

// Binds `data` to the model's factory file and loads a fresh profile from it, as a device does
// with a new profile.
void LoadFactory(CBasicProfiledata& data, const std::string& displayName,
                 const test::TempDir& dir) {
  data.SetDeviceIndex(0);
  data.SetDefaultPath(FactoryFile(displayName + ".Json"));
  data.SetProfilePath(dir.File("profile.Json"));
  data.LoadSection(dir.File("profile.Json"));
}

TEST(FactoryData, EveryFileParses) {
  for (const char* name :
       {"keyboard.Json", "mouse.Json", "MousePad.Json", "HD.Json", "default_light.json"}) {
    const Json::Value document = ReadJsonFile(FactoryFile(name));
    EXPECT_TRUE(document.isObject()) << name;
  }
  for (const char* name : {"keyboard", "mouse", "MousePad", "HD"}) {
    const Json::Value document = ReadJsonFile(FactoryFile(std::string(name) + ".Json"));
    ASSERT_TRUE(document["Device"].isArray()) << name;
    EXPECT_EQ(document["Device"].size(), 1u) << name;
    EXPECT_TRUE(document["Device"][0u].isObject()) << name;
  }
}

TEST(FactoryData, SectionsHoldEveryMember) {
  const std::vector<std::pair<std::string, std::vector<const char*>>> members = {
      {"keyboard",
       {"LightInfo", "AudioLightInfo", "LightList", "KeyList", "SystemStages", "FnKeysetFlag",
        "CustomLightMode"}},
      {"mouse",
       {"LightInfo", "AudioLightInfo", "LightList", "KeyList", "DPIStages", "SystemStages",
        "ReportStages", "CorrectInfo"}},
      {"MousePad", {"LightInfo", "AudioLightInfo", "LightList"}},
      {"HD",
       {"LightInfo", "AudioLightInfo", "LightList", "SystemSetStages", "EQHzValueInfo",
        "CustomEQHzValueInfo", "CustomEQNameInfo"}},
  };
  for (const auto& [model, names] : members) {
    const Json::Value section = ReadJsonFile(FactoryFile(model + ".Json"))["Device"][0u];
    for (const char* name : names) EXPECT_TRUE(section.isMember(name)) << model << " " << name;
    const Json::Value& info = section["LightInfo"];
    for (const char* name : {"SelectItem", "Light", "Speed", "Fx", "MultiColor", "Red", "Green",
                             "Blue", "ZZCCLedMode", "CustomGroup", "OldLedmode",
                             "byVoiceLedmodeSwith", "byVoiceLedmode", "byVoiceSensitivity"}) {
      EXPECT_TRUE(info[name].isInt()) << model << " " << name;
    }
    EXPECT_EQ(section["AudioLightInfo"].size(), 9u) << model;
  }
}

TEST(FactoryData, LoadingAProfileFromTheFactoryFileLeavesItUntouched) {
  test::TempDir dir;
  const std::string before = ReadTextFile(FactoryFile("keyboard.Json"));
  CKeyboardProfiledata data;
  LoadFactory(data, "keyboard", dir);
  EXPECT_EQ(ReadJsonFile(dir.File("profile.Json"))["Device"][0u],
            ReadJsonFile(FactoryFile("keyboard.Json"))["Device"][0u]);
  data.LoadSection(FactoryFile("keyboard.Json"));  // restoring factory settings
  EXPECT_EQ(ReadTextFile(FactoryFile("keyboard.Json")), before);
}

TEST(FactoryData, KeyboardKeyListIsTheCanonicalList) {
  test::TempDir dir;
  CKeyboardProfiledata data;
  LoadFactory(data, "keyboard", dir);
  const std::vector<KeyAssignmentRecord> keys = data.GetKeyList();
  ASSERT_EQ(keys.size(), kCanonicalKeyCount);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].defaultSlot.code, CanonicalKeyList()[i]) << i;
    EXPECT_EQ(keys[i].main.code, keys[i].defaultSlot.code) << i;
    EXPECT_EQ(keys[i].fn.code, keys[i].defaultSlot.code) << i;  // no Fn function
    EXPECT_EQ(keys[i].defaultSlot.listIndex, i);
  }
}

TEST(FactoryData, KeyboardSettings) {
  test::TempDir dir;
  CKeyboardProfiledata data;
  LoadFactory(data, "keyboard", dir);
  const KeyboardSystemWords words = data.GetKeyboardSystem();
  EXPECT_LE(words.RepeatDelay(), 3);
  EXPECT_LE(words.PollingRate(), 3);
  EXPECT_LE(words.Key6Flag(), 1);
  EXPECT_LE(words.WFlag(), 1);
  EXPECT_LE(words.WinFlag(), 1);
  EXPECT_EQ(data.GetFnKeysetFlag(), 0);
  const LightState light = data.GetLightInfo();
  EXPECT_LE(light.brightness, 4);
  EXPECT_LE(light.speed, 4);
  const Json::Value& groups = data.WorkingSection()["CustomLightMode"]["LightColorInfo"];
  ASSERT_TRUE(groups.isArray());
  ASSERT_GE(groups.size(), 1u);
  EXPECT_LT(static_cast<unsigned>(data.GetCustomGroupIndex()), groups.size());
  EXPECT_LT(light.customGroup, groups.size());
  const Json::Value before = data.WorkingSection();
  for (int group = 0; group < static_cast<int>(groups.size()); ++group) {
    const std::vector<CustomColor> colors = data.GetCustomColors(group, kCanonicalKeyCount);
    ASSERT_EQ(colors.size(), kCanonicalKeyCount);
    EXPECT_EQ(colors[0].alpha, 255) << group;
  }
  EXPECT_EQ(data.WorkingSection(), before);  // every group complete: nothing had to be added
}

TEST(FactoryData, MouseKeyListIsTheCanonicalButtons) {
  test::TempDir dir;
  CMouseProfiledata data;
  LoadFactory(data, "mouse", dir);
  const std::vector<KeyAssignmentRecord> keys = data.GetKeyList();
  ASSERT_EQ(keys.size(), kMouseButtonCount);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].defaultSlot.code, MouseCanonicalButtons()[i].code) << i;
    EXPECT_EQ(keys[i].main.code, keys[i].defaultSlot.code) << i;
  }
}

TEST(FactoryData, MouseSettings) {
  test::TempDir dir;
  CMouseProfiledata data;
  LoadFactory(data, "mouse", dir);
  const std::vector<DpiStage> stages = data.GetDpiStages();
  ASSERT_EQ(stages.size(), 5u);
  for (const DpiStage& stage : stages) {
    EXPECT_EQ(stage.enabled, 1);
    EXPECT_GT(stage.dpiX, 0);
    EXPECT_EQ(stage.dpiX, stage.dpiY);
  }
  for (size_t i = 1; i < stages.size(); ++i) EXPECT_GT(stages[i].dpiX, stages[i - 1].dpiX);
  EXPECT_GE(data.GetActiveStage(), 0);
  EXPECT_LT(data.GetActiveStage(), 5);
  const MouseSystemWords words = data.GetMouseSystem();
  EXPECT_LE(words.ReportRate(), 4);
  EXPECT_LE(words.PointerPrecision(), 1);
  EXPECT_LE(words.ScrollPage(), 1);
  EXPECT_GT(words.WheelScrollLines(), 0);
  EXPECT_GT(words.DoubleClickTime(), 0);
  const std::vector<CorrectionEntry> corrections = data.GetCorrections();
  ASSERT_FALSE(corrections.empty());
  int selected = 0;
  for (const CorrectionEntry& entry : corrections) {
    EXPECT_FALSE(entry.name.empty());
    selected += entry.select != 0;
  }
  EXPECT_EQ(selected, 1);
  const LightState light = data.GetLightInfo();
  EXPECT_LT(light.mode, 12);  // positions 12 and above are not sent
}

TEST(FactoryData, HeadsetHoldsTheBuiltInPresets) {
  const int presets[12][10] = {
      {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},   {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
      {10, 4, 0, -3, -4, -3, -2, -1, 0, 0}, {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},       {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
      {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},  {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
      {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},  {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
      {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},  {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
  };
  test::TempDir dir;
  CHs6533Profiledata data;
  LoadFactory(data, "HD", dir);
  const Json::Value before = data.WorkingSection();
  for (int preset = 1; preset <= 12; ++preset) {
    EXPECT_EQ(data.GetEqValues(preset),
              std::vector<int>(presets[preset - 1], presets[preset - 1] + 10))
        << preset;
  }
  EXPECT_EQ(data.WorkingSection(), before);  // every row present: nothing had to be added
  const HeadsetSettings settings = data.GetHeadsetSystem();
  EXPECT_GE(settings.eqType, 1);
  EXPECT_LE(settings.eqType, 12);
  EXPECT_GE(settings.magicType, 1);
  EXPECT_LE(settings.magicType, 4);
  EXPECT_LE(settings.micInLevel, 100);
  EXPECT_LE(settings.monitorLevel, 100);
  EXPECT_EQ(data.GetCustomEqNames().size(),
            ReadJsonFile(FactoryFile("HD.Json"))["Device"][0u]["CustomEQHzValueInfo"].size());
}

TEST(FactoryData, PadAndHeadsetLoad) {
  for (const char* model : {"MousePad", "HD"}) {
    test::TempDir dir;
    CBasicProfiledata data;
    LoadFactory(data, model, dir);
    ASSERT_TRUE(data.WorkingSection().isObject()) << model;
    const LightState light = data.GetLightInfo();
    EXPECT_LT(light.mode, 9) << model;
    EXPECT_LE(light.brightness, 4) << model;
    EXPECT_LE(light.speed, 4) << model;
    EXPECT_TRUE(data.GetLightList().empty()) << model;  // no per-light overrides
  }
}

// Effects the device code refers to by position, per model index.
struct ExpectedEffect {
  int position;
  const char* name;
};

class FactoryEffectListTest : public ::testing::Test {
 protected:
  DeviceNameLists Load(int model) {
    DeviceNameLists lists;
    LoadDeviceNameLists(NameFilePaths{"", FactoryFile(kDefaultLightFileName), ""}, model, lists);
    return lists;
  }
  void ExpectEffects(int model, size_t count, const std::vector<ExpectedEffect>& effects) {
    const DeviceNameLists lists = Load(model);
    ASSERT_EQ(lists.lightModeNames.size(), count) << model;
    ASSERT_EQ(lists.lightModeValues.size(), count) << model;
    ASSERT_EQ(lists.lightModeVisible.size(), count) << model;
    for (const ExpectedEffect& effect : effects) {
      EXPECT_EQ(lists.lightModeNames[effect.position], effect.name) << model;
      EXPECT_TRUE(lists.lightModeVisible[effect.position]) << model << " " << effect.name;
    }
    std::set<int> values;
    for (size_t i = 0; i < count; ++i) {
      EXPECT_FALSE(lists.lightModeNames[i].empty()) << model << " " << i;
      const int value = lists.lightModeValues[i];
      EXPECT_GE(value, 0);
      EXPECT_LT(value, 0xFE) << "0xFE means 'keep the effect'";
      EXPECT_TRUE(values.insert(value).second) << model << ": value " << value << " twice";
      // Reading a mode number back must find this very position.
      EXPECT_EQ(ModePositionOfValue(lists.lightModeValues, value), static_cast<int>(i));
    }
    EXPECT_FALSE(lists.areaLightNames.empty()) << model;
  }
};

TEST_F(FactoryEffectListTest, Keyboard) {
  ExpectEffects(kModelLightKeyboard, 35,
                {{4, "Spectrum cycle"},
                 {5, "Breathing"},
                 {6, "Static"},
                 {13, "Ripple"},
                 {15, "Random breathing"},
                 {16, "Sweep"},
                 {17, "Side sweep"},
                 {19, "Rain"},
                 {20, "Custom colours"},
                 {21, "Off"},
                 {29, "Music"},
                 {30, "Music twinkle"},
                 {32, "Fill sweep"},
                 {34, "Blink"}});
}

TEST_F(FactoryEffectListTest, Mouse) {
  ExpectEffects(kModelLightMouse, 12,
                {{0, "Wave"},
                 {1, "Spectrum cycle"},
                 {2, "Breathing"},
                 {3, "Static"},
                 {4, "Blink"},
                 {5, "Ring chase"},
                 {6, "Reactive"},
                 {7, "Four-colour breathing"},
                 {8, "Four-colour blink"},
                 {10, "Off"},
                 {11, "Music"}});
}

TEST_F(FactoryEffectListTest, PadAndHeadset) {
  const std::vector<ExpectedEffect> modes = {
      {0, "Wave"},       {1, "Spectrum cycle"}, {2, "Breathing"},
      {3, "Static"},     {4, "Blink"},          {5, "Custom sequence"},
      {6, "Ring chase"}, {7, "Mirrored pairs"}, {8, "Off"}};
  ExpectEffects(kModelLightMousePad, 9, modes);
  ExpectEffects(kModelLightHeadset, 9, modes);
}

TEST_F(FactoryEffectListTest, NoEntryBeyondTheFourModels) {
  DeviceNameLists lists;
  lists.lightModeNames = {"kept"};
  lists = Load(4);
  EXPECT_TRUE(lists.lightModeNames.empty());
  const Json::Value document = ReadJsonFile(FactoryFile(kDefaultLightFileName));
  EXPECT_EQ(document["DefaultLightName"].size(), 4u);
  EXPECT_EQ(document["AreaLightName"].size(), 4u);
}

}  // namespace
}  // namespace varkon
