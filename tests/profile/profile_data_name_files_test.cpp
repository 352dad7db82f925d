#include "profile/name_files.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class NameFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths = NameFilePathsFor(dir.File("user"), dir.File("defaults"), 1);
    std::filesystem::create_directories(dir.File("user"));
    std::filesystem::create_directories(dir.File("defaults"));
    WriteText(paths.defaultLight, R"({
      "DefaultLightName": [[{"LightName": "K", "visible": true, "value": 9}],
                           [{"LightName": "Wave", "visible": true, "value": 0},
                            {"LightName": "Hidden", "visible": false, "value": 7},
                            {"LightName": "Numeric", "visible": 1, "value": 8}],
                           null],
      "AreaLightName": [[], [{"LightName": "Logo"}, {"LightName": "Wheel"}]]})");
    WriteText(paths.lightConfig,
              R"({"LightInfo": [[], [{"LightName": "Mine", "Guid": "x"}, {"Guid": "y"}]]})");
    WriteText(paths.macroList, R"({"MacroInfo": [{"MacroName": "Reload", "Guid": "1"},
                                                  {"Guid": "2"}, {"MacroName": "Ünïcode"}]})");
  }
  test::TempDir dir;
  NameFilePaths paths;
  DeviceNameLists lists;
};

TEST_F(NameFilesTest, PathsOfTheThreeFiles) {
  EXPECT_EQ(paths.macroList, dir.File("user/macro.config"));
  EXPECT_EQ(paths.lightConfig, dir.File("user/zelta_light.config"));
  EXPECT_EQ(paths.defaultLight, dir.File("defaults/default_light.json"));
  EXPECT_EQ(NameFilePathsFor("u", "d", 3).macroList, "u/zelta_macro.config");
  EXPECT_EQ(NameFilePathsFor("", "", 3).macroList, "");
}

TEST_F(NameFilesTest, LoadsEveryList) {
  LoadDeviceNameLists(paths, 1, lists);
  EXPECT_EQ(lists.macroNames, (std::vector<std::string>{"Reload", "", "Ünïcode"}));
  EXPECT_EQ(lists.lightModeNames, (std::vector<std::string>{"Wave", "Hidden", "Numeric"}));
  EXPECT_EQ(lists.lightModeVisible, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(lists.lightModeValues, (std::vector<int>{0, 7, 8}));
  EXPECT_EQ(lists.areaLightNames, (std::vector<std::string>{"Logo", "Wheel"}));
  EXPECT_EQ(lists.customLightNames, (std::vector<std::string>{"Mine", ""}));
}

TEST_F(NameFilesTest, MissingOrNullEntriesLeaveListsAsTheyWere) {
  lists.lightModeNames = {"old"};
  lists.lightModeVisible = {true};
  lists.lightModeValues = {5};
  lists.areaLightNames = {"old area"};
  lists.customLightNames = {"old custom"};
  lists.macroNames = {"old macro"};
  LoadDeviceNameLists(paths, 2, lists);  // model 2: null modes, no area entry, no custom entry
  EXPECT_EQ(lists.lightModeNames, (std::vector<std::string>{"old"}));
  EXPECT_EQ(lists.lightModeValues, (std::vector<int>{5}));
  EXPECT_EQ(lists.areaLightNames, (std::vector<std::string>{"old area"}));
  EXPECT_EQ(lists.customLightNames, (std::vector<std::string>{"old custom"}));
  EXPECT_EQ(lists.macroNames.size(), 3u);  // the macro list is always reloaded

  std::filesystem::remove(paths.defaultLight);
  std::filesystem::remove(paths.macroList);
  LoadDeviceNameLists(paths, 1, lists);
  EXPECT_EQ(lists.lightModeNames, (std::vector<std::string>{"old"}));
  EXPECT_TRUE(lists.macroNames.empty());
  EXPECT_EQ(lists.customLightNames, (std::vector<std::string>{"Mine", ""}));
}

TEST_F(NameFilesTest, NegativeModelIndexChangesNothing) {
  lists.lightModeNames = {"old"};
  LoadDeviceNameLists(paths, -1, lists);
  EXPECT_EQ(lists.lightModeNames, (std::vector<std::string>{"old"}));
}

TEST_F(NameFilesTest, EmptyModeEntryClearsTheModes) {
  lists.lightModeNames = {"old"};
  lists.lightModeValues = {1};
  lists.lightModeVisible = {true};
  WriteText(paths.defaultLight, R"({"DefaultLightName": [[], []]})");
  LoadDeviceNameLists(paths, 1, lists);
  EXPECT_TRUE(lists.lightModeNames.empty());
  EXPECT_TRUE(lists.lightModeValues.empty());
  EXPECT_TRUE(lists.lightModeVisible.empty());
}

TEST(NameFiles, ModePositionOfValue) {
  const std::vector<int> values{4, 7, 7, 0};
  EXPECT_EQ(ModePositionOfValue(values, 7), 1);
  EXPECT_EQ(ModePositionOfValue(values, 0), 3);
  EXPECT_EQ(ModePositionOfValue(values, 0xFE), -1);
  EXPECT_EQ(ModePositionOfValue({}, 0), -1);
}

TEST(NameFiles, MacroNamesOfAMissingFile) {
  EXPECT_TRUE(ReadMacroNames("").empty());
  EXPECT_TRUE(ReadMacroNames("/nonexistent/macro.config").empty());
}

}  // namespace
}  // namespace varkon
