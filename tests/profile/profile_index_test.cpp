#include "profile/profile_index.h"

#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Json::Value Entry(const std::string& name, const std::string& id) {
  Json::Value entry(Json::objectValue);
  entry["profilename"] = name;
  entry["profileUUID"] = id;
  entry["profileislink"] = 0;
  entry["profilelinkmame"] = "";
  return entry;
}

class ProfileIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    folder_ = dir_.path() + "/";
    defaults_ = dir_.File("Device.Json");
    Json::Value defaults(Json::objectValue);
    defaults["Device"][0]["LightInfo"]["Light"] = 3;
    defaults["Device"][0]["CustomEQNameInfo"][0]["Name"] = "factory";
    WriteJsonFile(defaults_, defaults);
    index_.SetFolders(folder_, defaults_);
    index_.SetDeviceTypeNumber(1);
  }

  // Writes an index with the given entries, each with a profile file holding `Marker`.
  void WriteProfiles(const std::vector<std::pair<std::string, std::string>>& entries,
                     int select = 0) {
    Json::Value document(Json::objectValue);
    for (const auto& [name, id] : entries) {
      document["profilelist"].append(Entry(name, id));
      Json::Value profile(Json::objectValue);
      profile["profilename"] = name;
      profile["profileUUID"] = id;
      profile["Marker"] = id;
      WriteJsonFile(folder_ + id + ".Json", profile);
    }
    document["profileselect"] = select;
    WriteJsonFile(IndexPath(), document);
  }

  std::string IndexPath() const { return folder_ + "ProfileList.ini"; }
  Json::Value Index() const { return ReadJsonFile(IndexPath()); }
  Json::Value Profile(const std::string& id) const { return ReadJsonFile(folder_ + id + ".Json"); }
  std::string IdAt(int i) const { return Index()["profilelist"][i]["profileUUID"].asString(); }

  test::TempDir dir_;
  std::string folder_;
  std::string defaults_;
  ProfileIndex index_;
};

TEST_F(ProfileIndexTest, FirstStartCreatesProfile1) {
  index_.InitProfileList();
  const Json::Value document = Index();
  ASSERT_EQ(document["profilelist"].size(), 1u);
  const Json::Value& entry = document["profilelist"][0];
  EXPECT_EQ(entry["profilename"].asString(), "Profile1");
  EXPECT_EQ(entry["profileislink"].asInt(), 0);
  EXPECT_EQ(entry["profilelinkmame"].asString(), "");
  EXPECT_EQ(document["profileselect"].asInt(), 0);

  const std::string id = entry["profileUUID"].asString();
  EXPECT_EQ(index_.GetCurrentProfileId(), id);
  const Json::Value profile = Profile(id);
  EXPECT_EQ(profile.getMemberNames(), (std::vector<std::string>{"profileUUID", "profilename"}));
  EXPECT_EQ(profile["profilename"].asString(), "Profile1");
  EXPECT_EQ(profile["profileUUID"].asString(), id);

  EXPECT_EQ(index_.Names(), std::vector<std::string>{"Profile1"});
  EXPECT_EQ(index_.GetSelectedIndex(), 0);
  EXPECT_EQ(index_.GetNameEditText(), "Profile1");
  EXPECT_EQ(index_.CurrentProfileFilePath(), folder_ + id + ".Json");
}

TEST_F(ProfileIndexTest, InitSelectsTheStoredSelection) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}, {"c", "id_c"}}, 2);
  index_.InitProfileList();
  EXPECT_EQ(index_.Names(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(index_.GetSelectedIndex(), 2);
  EXPECT_EQ(index_.GetCurrentProfileId(), "id_c");
  EXPECT_EQ(index_.GetNameEditText(), "c");
}

TEST_F(ProfileIndexTest, SelectionOutsideTheListReadsAsZero) {
  for (const char* select : {"7", "-1", "\"1\"", "1.5e300", "true"}) {
    WriteText(IndexPath(),
              std::string(R"({"profilelist":[{"profilename":"a","profileUUID":"id_a"},)") +
                  R"({"profilename":"b","profileUUID":"id_b"}],"profileselect":)" + select + "}");
    index_.InitProfileList();
    EXPECT_EQ(index_.GetSelectedIndex(), 0) << select;
    EXPECT_EQ(Index()["profileselect"].asInt(), 0) << select;
  }
}

TEST_F(ProfileIndexTest, SelectProfileStoresTheSelection) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}});
  index_.InitProfileList();
  ASSERT_TRUE(index_.SelectProfile(1));
  EXPECT_EQ(Index()["profileselect"].asInt(), 1);
  EXPECT_EQ(index_.GetCurrentProfileId(), "id_b");
  EXPECT_EQ(index_.GetNameEditText(), "b");
  EXPECT_FALSE(index_.SelectProfile(2));
  EXPECT_FALSE(index_.SelectProfile(-1));
  EXPECT_EQ(index_.GetSelectedIndex(), 1);
  EXPECT_EQ(Index()["profileselect"].asInt(), 1);
}

TEST_F(ProfileIndexTest, UnusableEntriesAreDropped) {
  // A stray file outside the data folder that a hostile identifier would reach.
  const std::string outside = dir_.File("outside.Json");
  std::filesystem::create_directory(dir_.File("data"));
  index_.SetFolders(dir_.File("data"), defaults_);
  WriteText(dir_.File("data/ProfileList.ini"),
            R"({"profilelist":[{"profilename":"up","profileUUID":"../outside"},
                 {"profilename":"abs","profileUUID":"/tmp/x"},
                 {"profilename":"back","profileUUID":"a\\b"},
                 {"profilename":"empty","profileUUID":""},
                 {"profilename":"number","profileUUID":5},
                 7, "text", null,
                 {"profilename":"good","profileUUID":"id_good"},
                 {"profilename":"again","profileUUID":"id_good"}],"profileselect":0})");
  WriteText(outside, "{\"keep\":1}");
  index_.InitProfileList();
  EXPECT_EQ(index_.Names(), std::vector<std::string>{"good"});
  const Json::Value document = ReadJsonFile(dir_.File("data/ProfileList.ini"));
  ASSERT_EQ(document["profilelist"].size(), 1u);
  EXPECT_EQ(document["profilelist"][0]["profileUUID"].asString(), "id_good");
  EXPECT_EQ(ReadTextFile(outside), "{\"keep\":1}");
}

// A dropped entry before the selected one must not move the selection to another profile.
TEST_F(ProfileIndexTest, DroppingEntriesKeepsTheSelectedProfileSelected) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}, {"c", "id_c"}}, 2);
  Json::Value document = Index();
  document["profilelist"][0]["profileUUID"] = "../escape";
  WriteJsonFile(IndexPath(), document);
  index_.InitProfileList();
  EXPECT_EQ(index_.Names(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(index_.GetSelectedIndex(), 1);
  EXPECT_EQ(index_.GetCurrentProfileId(), "id_c");
  EXPECT_EQ(Index()["profileselect"].asInt(), 1);

  // The selected entry itself dropped: the first one is selected.
  document = Index();
  document["profilelist"][1]["profileUUID"] = "a/b";
  WriteJsonFile(IndexPath(), document);
  index_.InitProfileList();
  EXPECT_EQ(index_.GetCurrentProfileId(), "id_b");
  EXPECT_EQ(Index()["profileselect"].asInt(), 0);
}

// Refused imports say why and change nothing: no entry, no file in the data folder.
TEST_F(ProfileIndexTest, RefusedImportsSayWhyAndChangeNothing) {
  WriteProfiles({{"a", "id_a"}});
  index_.InitProfileList();
  const auto filesNow = [&] {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      files.insert(entry.path().filename().string());
    }
    return files;
  };
  const std::set<std::string> before = filesNow();
  const std::string indexBefore = ReadTextFile(IndexPath());
  using Result = ProfileIndex::ImportResult;
  test::TempDir sources;
  const std::string missing = sources.File("missing.json");
  EXPECT_EQ(index_.Import(missing), Result::kUnreadable);
  const std::string text = sources.File("text.json");
  WriteText(text, "not json at all");
  EXPECT_EQ(index_.Import(text), Result::kUnreadable);
  const std::string array = sources.File("array.json");
  WriteText(array, "[1, 2, 3]");
  EXPECT_EQ(index_.Import(array), Result::kNotAProfile);
  const std::string large = sources.File("large.json");
  WriteText(large, "{\"profilename\":\"x\",\"profileUUID\":\"y\",\"pad\":\"" +
                       std::string(ProfileIndex::kMaxImportBytes, 'x') + "\"}");
  EXPECT_EQ(index_.Import(large), Result::kTooLarge);
  EXPECT_EQ(filesNow(), before);
  EXPECT_EQ(ReadTextFile(IndexPath()), indexBefore);
  EXPECT_EQ(index_.Names(), std::vector<std::string>{"a"});
}

TEST_F(ProfileIndexTest, AddNamesTheNextFreeNumberIgnoringCase) {
  WriteProfiles({{"profile1", "id_1"}, {"Profile2", "id_2"}});
  index_.InitProfileList();
  ASSERT_TRUE(index_.AddProfile());
  EXPECT_EQ(index_.Names().back(), "profile3");

  const Json::Value document = Index();
  ASSERT_EQ(document["profilelist"].size(), 3u);
  EXPECT_EQ(document["profilelist"][2]["profilename"].asString(), "profile3");
  EXPECT_EQ(document["profileselect"].asInt(), 2);
  // The list's own selection and the device's profile stay.
  EXPECT_EQ(index_.GetSelectedIndex(), 0);
  EXPECT_EQ(index_.GetCurrentProfileId(), "id_1");

  const std::string id = IdAt(2);
  const Json::Value profile = Profile(id);
  EXPECT_EQ(profile["profilename"].asString(), "profile3");
  EXPECT_EQ(profile["profileUUID"].asString(), id);
  EXPECT_EQ(profile["Device"][0]["LightInfo"]["Light"].asInt(), 3);  // from the default file
}

TEST_F(ProfileIndexTest, ProfilesMadeWithinOneMillisecondGetTheirOwnFiles) {
  index_.InitProfileList();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(index_.AddProfile());
  const Json::Value document = Index();
  std::set<std::string> ids;
  for (const Json::Value& entry : document["profilelist"]) {
    ids.insert(entry["profileUUID"].asString());
  }
  EXPECT_EQ(ids.size(), 6u);
  for (const std::string& id : ids) EXPECT_TRUE(std::filesystem::exists(folder_ + id + ".Json"));
}

TEST_F(ProfileIndexTest, AddStopsAtFiftyButCopyAndImportGoOn) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 50; ++i)
    entries.push_back({"p" + std::to_string(i), "id" + std::to_string(i)});
  WriteProfiles(entries);
  index_.InitProfileList();
  const std::string before = ReadTextFile(IndexPath());
  EXPECT_FALSE(index_.AddProfile());
  EXPECT_EQ(ReadTextFile(IndexPath()), before);
  EXPECT_EQ(index_.Names().size(), 50u);

  EXPECT_TRUE(index_.CopyProfile());
  const std::string source = dir_.File("Game.json");
  WriteText(source, R"({"profilename":"x","profileUUID":"y"})");
  EXPECT_TRUE(index_.ImportProfile(source));
  EXPECT_EQ(index_.Names().size(), 52u);
  EXPECT_EQ(Index()["profilelist"].size(), 52u);
}

TEST_F(ProfileIndexTest, CopyAppendsCopyAgainOnEachCollision) {
  WriteProfiles({{"A", "id_a"}});
  index_.InitProfileList();
  ASSERT_TRUE(index_.CopyProfile());
  ASSERT_TRUE(index_.CopyProfile());
  EXPECT_EQ(index_.Names(), (std::vector<std::string>{"A", "A copy", "A copy copy"}));
  EXPECT_EQ(Index()["profileselect"].asInt(), 0);

  const std::string id = IdAt(2);
  const Json::Value copy = Profile(id);
  EXPECT_EQ(copy["profilename"].asString(), "A copy copy");
  EXPECT_EQ(copy["profileUUID"].asString(), id);
  EXPECT_EQ(copy["Marker"].asString(), "id_a");  // the rest is the source's
}

TEST_F(ProfileIndexTest, CopyOfAMissingFileHoldsOnlyTheNames) {
  WriteProfiles({{"A", "id_a"}});
  std::filesystem::remove(folder_ + "id_a.Json");
  index_.InitProfileList();
  ASSERT_TRUE(index_.CopyProfile());
  EXPECT_EQ(Profile(IdAt(1)).getMemberNames(),
            (std::vector<std::string>{"profileUUID", "profilename"}));
}

TEST_F(ProfileIndexTest, ImportSuffixesAccumulate) {
  WriteProfiles({{"First", "id_first"}});
  index_.InitProfileList();
  const std::string source = dir_.File("Game.json");
  WriteText(source, R"({"profilename":"inner","profileUUID":"inner_id","Device":[{"x":1}]})");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(index_.ImportProfile(source));
  EXPECT_EQ(index_.Names(), (std::vector<std::string>{"First", "Game", "Game(1)", "Game(1)(2)"}));
  EXPECT_EQ(Index()["profileselect"].asInt(), 0);

  const std::string id = IdAt(3);
  const Json::Value imported = Profile(id);
  EXPECT_EQ(imported["profilename"].asString(), "Game(1)(2)");
  EXPECT_EQ(imported["profileUUID"].asString(), id);
  EXPECT_EQ(imported["Device"][0]["x"].asInt(), 1);
}

TEST_F(ProfileIndexTest, ImportRefusesFilesWithoutNameOrId) {
  WriteProfiles({{"First", "id_first"}});
  index_.InitProfileList();
  const std::string before = ReadTextFile(IndexPath());
  for (const char* text : {R"({"profilename":"x"})", R"({"profileUUID":"x"})",
                           R"({"profilename":null,"profileUUID":"x"})", "[1]", "not json", ""}) {
    const std::string source = dir_.File("bad.json");
    WriteText(source, text);
    EXPECT_FALSE(ProfileIndex::IsImportableProfile(source)) << text;
    EXPECT_FALSE(index_.ImportProfile(source)) << text;
  }
  EXPECT_FALSE(index_.ImportProfile(dir_.File("missing.json")));
  EXPECT_EQ(ReadTextFile(IndexPath()), before);
  EXPECT_EQ(index_.Names().size(), 1u);
}

TEST_F(ProfileIndexTest, DeletingTheFirstOfThreeSelectsZero) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}, {"c", "id_c"}}, 0);
  index_.InitProfileList();
  EXPECT_EQ(index_.DeleteProfile(), 0);
  EXPECT_EQ(index_.Names(), (std::vector<std::string>{"b", "c"}));
  const Json::Value document = Index();
  EXPECT_EQ(document["profileselect"].asInt(), 0);
  ASSERT_EQ(document["profilelist"].size(), 2u);
  EXPECT_EQ(document["profilelist"][0]["profileUUID"].asString(), "id_b");
  EXPECT_FALSE(std::filesystem::exists(folder_ + "id_a.Json"));
  EXPECT_TRUE(std::filesystem::exists(folder_ + "id_b.Json"));
}

TEST_F(ProfileIndexTest, DeletingALaterProfileSelectsTheOneBefore) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}, {"c", "id_c"}}, 2);
  index_.InitProfileList();
  EXPECT_EQ(index_.DeleteProfile(), 1);
  EXPECT_EQ(Index()["profileselect"].asInt(), 1);
  EXPECT_EQ(index_.GetSelectedIndex(), 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "id_c.Json"));
}

TEST_F(ProfileIndexTest, TheLastProfileCannotBeDeleted) {
  WriteProfiles({{"a", "id_a"}});
  index_.InitProfileList();
  const std::string before = ReadTextFile(IndexPath());
  EXPECT_EQ(index_.DeleteProfile(), -1);
  EXPECT_EQ(ReadTextFile(IndexPath()), before);
  EXPECT_TRUE(std::filesystem::exists(folder_ + "id_a.Json"));
}

TEST_F(ProfileIndexTest, RenameRules) {
  WriteProfiles({{"profile1", "id_1"}, {"other", "id_2"}});
  index_.InitProfileList();

  EXPECT_EQ(index_.RenameProfile("PROFILE1"), 1);
  EXPECT_EQ(index_.Names()[0], "PROFILE1");
  EXPECT_EQ(index_.GetNameEditText(), "PROFILE1");
  EXPECT_EQ(Index()["profilelist"][0]["profilename"].asString(), "PROFILE1");
  EXPECT_EQ(Profile("id_1")["profilename"].asString(), "PROFILE1");
  EXPECT_EQ(Profile("id_1")["Marker"].asString(), "id_1");

  const std::string before = ReadTextFile(IndexPath());
  EXPECT_EQ(index_.RenameProfile("OTHER"), 0);
  EXPECT_EQ(index_.RenameProfile("   "), 2);
  EXPECT_EQ(index_.RenameProfile("\t \n"), 2);
  EXPECT_EQ(ReadTextFile(IndexPath()), before);
  EXPECT_EQ(index_.Names()[0], "PROFILE1");
}

TEST_F(ProfileIndexTest, RenameComparesNonAsciiLettersIgnoringCase) {
  WriteProfiles({{"Ärger", "id_1"}, {"Σοφία", "id_2"}, {"Привет", "id_3"}});
  index_.InitProfileList();
  EXPECT_EQ(index_.RenameProfile("äRGER"), 1);  // its own name
  EXPECT_EQ(index_.RenameProfile("ΣΟΦΊΑ"), 0);
  EXPECT_EQ(index_.RenameProfile("привет"), 0);
  EXPECT_EQ(index_.RenameProfile("Приветы"), 1);
}

TEST_F(ProfileIndexTest, ResetRestoresTheDefaultsKeepingNameAndId) {
  WriteProfiles({{"mine", "id_1"}});
  index_.InitProfileList();
  ASSERT_TRUE(index_.ResetProfile());
  const Json::Value profile = Profile("id_1");
  EXPECT_EQ(profile["profilename"].asString(), "mine");
  EXPECT_EQ(profile["profileUUID"].asString(), "id_1");
  EXPECT_FALSE(profile.isMember("Marker"));
  EXPECT_EQ(profile["Device"][0]["LightInfo"]["Light"].asInt(), 3);
  EXPECT_EQ(profile["Device"][0]["CustomEQNameInfo"][0]["Name"].asString(), "factory");
}

TEST_F(ProfileIndexTest, HeadsetResetKeepsTheCustomEqualisers) {
  index_.SetDeviceTypeNumber(7);
  WriteProfiles({{"mine", "id_1"}});
  Json::Value old = Profile("id_1");
  old["Device"][0]["CustomEQNameInfo"][0]["Name"] = "bass";
  old["Device"][0]["CustomEQHzValueInfo"][0][0]["value"] = 6;
  old["Device"][0]["LightInfo"]["Light"] = 1;
  WriteJsonFile(folder_ + "id_1.Json", old);
  index_.InitProfileList();

  ASSERT_TRUE(index_.ResetProfile());
  const Json::Value section = Profile("id_1")["Device"][0];
  EXPECT_EQ(section["CustomEQNameInfo"][0]["Name"].asString(), "bass");
  EXPECT_EQ(section["CustomEQHzValueInfo"][0][0]["value"].asInt(), 6);
  EXPECT_EQ(section["LightInfo"]["Light"].asInt(), 3);
}

TEST_F(ProfileIndexTest, ExportWritesTheSelectedProfile) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}}, 1);
  index_.InitProfileList();
  const std::string target = dir_.File("out.json");
  ASSERT_TRUE(index_.ExportProfile(target));
  EXPECT_EQ(ReadJsonFile(target), Profile("id_b"));

  std::filesystem::remove(folder_ + "id_b.Json");
  ASSERT_TRUE(index_.ExportProfile(target));
  EXPECT_EQ(ReadTextFile(target), "null\n\n");
}

TEST_F(ProfileIndexTest, CountAndFilePathsComeFromTheIndexFile) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}});
  index_.InitProfileList();
  EXPECT_EQ(index_.GetProfileCount(), 2);
  EXPECT_EQ(index_.GetProfileFilePath(1), folder_ + "id_b.Json");
  EXPECT_EQ(index_.GetProfileFilePath(2), "");
  EXPECT_EQ(index_.GetProfileFilePath(-1), "");
}

TEST_F(ProfileIndexTest, OperationsWithoutAnIndexFileWriteOnlyWhatTheySet) {
  WriteProfiles({{"a", "id_a"}, {"b", "id_b"}});
  index_.InitProfileList();
  std::filesystem::remove(IndexPath());
  ASSERT_TRUE(index_.AddProfile());
  const Json::Value document = Index();
  ASSERT_EQ(document["profilelist"].size(), 3u);
  EXPECT_TRUE(document["profilelist"][0].isNull());
  EXPECT_EQ(document["profilelist"][2]["profilename"].asString(), "profile1");
}

TEST_F(ProfileIndexTest, SelectOperationTabKeepsOneSelected) {
  index_.SelectOperationTab(3);
  EXPECT_EQ(index_.SelectedOperationTab(), 3);
  index_.SelectOperationTab(9);
  EXPECT_EQ(index_.SelectedOperationTab(), 0);
  index_.SelectOperationTab(8);
  EXPECT_EQ(index_.SelectedOperationTab(), 8);
}

}  // namespace
}  // namespace varkon
