#include "profile/macro_deletion.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/macro_library.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

uint32_t Code(uint8_t kind, uint8_t b1, uint8_t b2) {
  return AssignmentCode{kind, b1, b2}.ToProfileValue();
}

constexpr uint32_t kDefaultA = 0x200004;  // keyboard key A
constexpr uint32_t kDefaultB = 0x200005;

// Main, Fn and default codes of the keys used in every profile below.
struct Key {
  uint32_t main, fn, defaultCode;
};
const std::vector<Key> kKeys = {
    {Code(0x70, 2, 0), 0, kDefaultA},                 // plays the deleted macro
    {Code(0x71, 3, 5), Code(0x70, 2, 1), kDefaultB},  // a later macro; Fn plays the deleted one
    {Code(0x70, 4, 1), Code(0x71, 1, 9), kDefaultA},  // later macro; earlier macro stays
    {Code(0x20, 5, 4), Code(0x72, 3, 0), kDefaultB},  // not macros: never touched
};
const std::vector<Key> kFixed = {
    {kDefaultA, 0, kDefaultA},
    {Code(0x71, 2, 5), kDefaultB, kDefaultB},
    {Code(0x70, 3, 1), Code(0x71, 1, 9), kDefaultA},
    {Code(0x20, 5, 4), Code(0x72, 3, 0), kDefaultB},
};

Json::Value KeyListJson(const std::vector<Key>& keys) {
  Json::Value list(Json::arrayValue);
  for (const Key& key : keys) {
    Json::Value entry(Json::objectValue);
    // Integers as a file holds them (JsonCpp tells signed and unsigned apart).
    entry["Assignment"] = static_cast<int>(key.main);
    entry["FnAssignment"] = static_cast<int>(key.fn);
    entry["DefaultAssignment"] = static_cast<int>(key.defaultCode);
    list.append(entry);
  }
  return list;
}

std::vector<KeyAssignmentRecord> Records(const std::vector<Key>& keys) {
  std::vector<KeyAssignmentRecord> records;
  for (size_t i = 0; i < keys.size(); ++i) {
    const auto index = static_cast<uint16_t>(i);
    records.push_back({{index, AssignmentCode::FromProfileValue(keys[i].fn)},
                       {index, AssignmentCode::FromProfileValue(keys[i].main)},
                       {index, AssignmentCode::FromProfileValue(keys[i].defaultCode)}});
  }
  return records;
}

class MacroDeletionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.File("data") + "/";
    std::filesystem::create_directory(folder_);
    Json::Value list(Json::objectValue);
    for (int i = 0; i < 4; ++i) {
      list["MacroInfo"][i]["MacroName"] = "macro_" + std::to_string(i + 1);
      list["MacroInfo"][i]["Guid"] = "g" + std::to_string(i);
      std::ofstream(folder_ + "g" + std::to_string(i) + ".mac") << "{\"Events\":[]}";
    }
    WriteJsonFile(folder_ + "macro.config", list);

    Json::Value index(Json::objectValue);
    for (const char* id : {"current", "other1", "other2"}) {
      Json::Value entry(Json::objectValue);
      entry["profilename"] = id;
      entry["profileUUID"] = id;
      index["profilelist"].append(entry);
      Json::Value profile(Json::objectValue);
      profile["profilename"] = id;
      profile["Device"][0]["KeyList"] = KeyListJson(kKeys);
      profile["Device"][0]["LightInfo"]["Light"] = 2;
      WriteJsonFile(folder_ + id + ".Json", profile);
    }
    index["profileselect"] = 0;
    WriteJsonFile(folder_ + "ProfileList.ini", index);

    library_.SetMacroFolder(folder_);
    library_.LoadMacroNames();
  }

  std::string Text(const std::string& name) const { return ReadTextFile(folder_ + name); }

  test::TempDir dir_;
  std::string folder_;
  MacroLibrary library_;
};

TEST_F(MacroDeletionTest, DeletingMacroTwoOfFourFixesEveryProfile) {
  library_.SelectMacro(2);
  std::vector<KeyAssignmentRecord> current = Records(kKeys);
  std::vector<std::string> asked;
  const MacroDeletionResult result =
      DeleteMacroEverywhere(library_, "current", current, [&](const char* id) {
        asked.push_back(id);
        return true;
      });

  EXPECT_EQ(asked, (std::vector<std::string>{"message_text_4", "message_text_2"}));
  EXPECT_TRUE(result.deleted);
  EXPECT_TRUE(result.currentKeysChanged);
  EXPECT_EQ(result.otherProfilesChanged, 2);
  EXPECT_EQ(current, Records(kFixed));

  for (const char* id : {"other1", "other2"}) {
    const Json::Value profile = ReadJsonFile(folder_ + id + ".Json");
    EXPECT_EQ(profile["Device"][0]["KeyList"], KeyListJson(kFixed)) << id;
    EXPECT_EQ(profile["Device"][0]["LightInfo"]["Light"].asInt(), 2) << id;
  }
  // The current profile is the device's to store.
  EXPECT_EQ(ReadJsonFile(folder_ + "current.Json")["Device"][0]["KeyList"], KeyListJson(kKeys));

  EXPECT_EQ(library_.Names(), (std::vector<std::string>{"macro_1", "macro_2", "macro_4"}));
  EXPECT_FALSE(std::filesystem::exists(folder_ + "g2.mac"));
  EXPECT_EQ(ReadJsonFile(folder_ + "macro.config")["MacroInfo"].size(), 3u);
}

TEST_F(MacroDeletionTest, RefusingTheSecondQuestionChangesNothing) {
  library_.SelectMacro(2);
  std::vector<KeyAssignmentRecord> current = Records(kKeys);
  const std::string before[] = {Text("macro.config"), Text("other1.Json"), Text("other2.Json"),
                                Text("current.Json")};
  const MacroDeletionResult result =
      DeleteMacroEverywhere(library_, "current", current,
                            [](const char* id) { return std::string(id) != "message_text_2"; });
  EXPECT_FALSE(result.deleted);
  EXPECT_EQ(current, Records(kKeys));
  const std::string after[] = {Text("macro.config"), Text("other1.Json"), Text("other2.Json"),
                               Text("current.Json")};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], before[i]) << i;
  EXPECT_EQ(library_.Items().size(), 4u);
  EXPECT_TRUE(std::filesystem::exists(folder_ + "g2.mac"));
}

TEST_F(MacroDeletionTest, RefusingTheFirstQuestionChangesNothing) {
  library_.SelectMacro(0);
  std::vector<KeyAssignmentRecord> current = Records(kKeys);
  const std::string before = Text("other1.Json");
  EXPECT_FALSE(DeleteMacroEverywhere(library_, "current", current, [](const char*) {
                 return false;
               }).deleted);
  EXPECT_EQ(Text("other1.Json"), before);
  EXPECT_EQ(library_.Items().size(), 4u);
}

TEST_F(MacroDeletionTest, AnUnusedMacroAsksOnlyOnce) {
  library_.SelectMacro(0);
  std::vector<KeyAssignmentRecord> current = Records(kKeys);  // uses macros 1-4, not 0
  std::vector<std::string> asked;
  const MacroDeletionResult result =
      DeleteMacroEverywhere(library_, "current", current, [&](const char* id) {
        asked.push_back(id);
        return true;
      });
  EXPECT_EQ(asked, std::vector<std::string>{"message_text_4"});
  EXPECT_TRUE(result.deleted);
  // Every macro number above 0 moved down by one.
  EXPECT_EQ(current[1].main.code, (AssignmentCode{0x71, 2, 5}));
  EXPECT_EQ(current[2].fn.code, (AssignmentCode{0x71, 0, 9}));
}

TEST_F(MacroDeletionTest, NoSelectionDoesNothing) {
  std::vector<KeyAssignmentRecord> current = Records(kKeys);
  bool asked = false;
  EXPECT_FALSE(DeleteMacroEverywhere(library_, "current", current, [&](const char*) {
                 asked = true;
                 return true;
               }).deleted);
  EXPECT_FALSE(asked);
}

TEST_F(MacroDeletionTest, ProfilesWithoutKeysOrUsableIdsAreLeftAlone) {
  Json::Value index = ReadJsonFile(folder_ + "ProfileList.ini");
  for (const char* id : {"nosection", "../outside", "other1"}) {
    Json::Value entry(Json::objectValue);
    entry["profileUUID"] = id;
    index["profilelist"].append(entry);  // other1 listed twice
  }
  WriteJsonFile(folder_ + "ProfileList.ini", index);
  std::ofstream(folder_ + "nosection.Json") << "{\"profilename\":\"n\"}";
  Json::Value outside(Json::objectValue);
  outside["Device"][0]["KeyList"] = KeyListJson(kKeys);
  WriteJsonFile(dir_.File("outside.Json"), outside);
  const std::string outsideBefore = ReadTextFile(dir_.File("outside.Json"));

  EXPECT_EQ(RemoveMacroReferencesInProfiles(folder_, "current", 2), 2);
  EXPECT_EQ(Text("nosection.Json"), "{\"profilename\":\"n\"}");
  EXPECT_EQ(ReadTextFile(dir_.File("outside.Json")), outsideBefore);
  // Listed twice, fixed once.
  EXPECT_EQ(ReadJsonFile(folder_ + "other1.Json")["Device"][0]["KeyList"], KeyListJson(kFixed));
}

TEST(MacroReferencesTest, UsesMacroLooksAtMainAndFnSlots) {
  std::vector<KeyAssignmentRecord> keys = Records({{Code(0x20, 0, 4), Code(0x71, 3, 1), 0}});
  EXPECT_TRUE(KeyListUsesMacro(keys, 3));
  EXPECT_FALSE(KeyListUsesMacro(keys, 4));
  EXPECT_FALSE(KeyListUsesMacro(Records({{Code(0x72, 3, 0), Code(0xD0, 3, 1), 0}}), 3));
  EXPECT_TRUE(CodePlaysMacro({0x70, 0, 0}, 0));
  EXPECT_FALSE(CodePlaysMacro({0x70, 0, 0}, 256));
}

TEST(MacroReferencesTest, HostileKeyListsAreLeftAsTheyAre) {
  Json::Value list(Json::arrayValue);
  list.append(7);
  list.append("text");
  list.append(Json::Value());
  Json::Value odd(Json::objectValue);
  odd["Assignment"] = "0x700200";
  odd["FnAssignment"] = Json::Value(Json::arrayValue);
  list.append(odd);
  const Json::Value before = list;
  EXPECT_FALSE(RemoveMacroReferencesInKeyList(list, 2));
  EXPECT_EQ(list, before);
  Json::Value notArray("x");
  EXPECT_FALSE(RemoveMacroReferencesInKeyList(notArray, 0));
  EXPECT_EQ(notArray, Json::Value("x"));
}

}  // namespace
}  // namespace varkon
