#include "profile/macro_library.h"

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

int CountMacroFiles(const std::string& folder) {
  int count = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    count += item.path().extension() == ".mac";
  }
  return count;
}

class MacroLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.File("data") + "/";
    std::filesystem::create_directory(folder_);
    library_.SetMacroFolder(folder_);
  }

  void WriteList(const std::vector<std::pair<std::string, std::string>>& macros) {
    Json::Value list(Json::objectValue);
    list["MacroInfo"] = Json::Value(Json::arrayValue);
    for (const auto& [name, guid] : macros) {
      Json::Value entry(Json::objectValue);
      entry["MacroName"] = name;
      entry["Guid"] = guid;
      list["MacroInfo"].append(entry);
    }
    WriteJsonFile(ListPath(), list);
  }

  std::string ListPath() const { return folder_ + "macro.config"; }
  Json::Value List() const { return ReadJsonFile(ListPath()); }

  test::TempDir dir_;
  std::string folder_;
  MacroLibrary library_;
};

TEST_F(MacroLibraryTest, LoadReadsEveryEntryInOrder) {
  WriteText(ListPath(), R"({"MacroInfo":[{"MacroName":"a","Guid":"g_a"}, 5,
      {"MacroName":"up","Guid":"../x"}, {"MacroName":"b","Guid":"g_b"}]})");
  library_.LoadMacroNames();
  ASSERT_EQ(library_.Items().size(), 4u);  // positions are macro numbers: nothing is skipped
  EXPECT_EQ(library_.Names(), (std::vector<std::string>{"a", "", "up", "b"}));
  EXPECT_EQ(library_.Items()[2].guid, "");  // a Guid that leaves the folder is not used
  EXPECT_EQ(library_.Items()[3].guid, "g_b");
  EXPECT_EQ(library_.GetSelectedMacroIndex(), -1);
}

TEST_F(MacroLibraryTest, NothingLoadsWithoutAFolder) {
  WriteList({{"a", "g_a"}});
  MacroLibrary library;
  library.LoadMacroNames();
  EXPECT_TRUE(library.Items().empty());
}

TEST_F(MacroLibraryTest, AddNamesTheNextFreeNumber) {
  WriteList({{"macro_1", "g1"}, {"MACRO_2", "g2"}});
  library_.LoadMacroNames();
  const std::string guid = library_.AddMacro();
  ASSERT_FALSE(guid.empty());
  EXPECT_EQ(library_.Names().back(), "macro_3");
  EXPECT_EQ(library_.GetSelectedMacroIndex(), 2);
  EXPECT_EQ(library_.NameEditText(), "macro_3");
  EXPECT_TRUE(library_.EditorEnabled());
  EXPECT_TRUE(library_.Rows().empty());

  const Json::Value list = List();
  ASSERT_EQ(list["MacroInfo"].size(), 3u);
  EXPECT_EQ(list["MacroInfo"][2]["MacroName"].asString(), "macro_3");
  EXPECT_EQ(list["MacroInfo"][2]["Guid"].asString(), guid);
  EXPECT_EQ(CountMacroFiles(folder_), 0);  // no file until the first save
}

TEST_F(MacroLibraryTest, QuickAddsGetDistinctGuids) {
  library_.LoadMacroNames();
  std::set<std::string> guids;
  for (int i = 0; i < 6; ++i) guids.insert(library_.AddMacro());
  EXPECT_EQ(guids.size(), 6u);
  EXPECT_EQ(guids.count(""), 0u);
}

TEST_F(MacroLibraryTest, FiftyMacrosRefuseAddAndImport) {
  std::vector<std::pair<std::string, std::string>> macros;
  for (int i = 0; i < 50; ++i) macros.push_back({"m" + std::to_string(i), "g" + std::to_string(i)});
  WriteList(macros);
  library_.LoadMacroNames();
  const std::string before = ReadTextFile(ListPath());
  const std::string source = dir_.File("jump.mac");
  WriteText(source, R"({"Events":[]})");

  EXPECT_EQ(library_.AddMacro(), "");
  EXPECT_EQ(library_.AddImportedMacro(source), "");
  EXPECT_FALSE(library_.ImportMacro(source));
  EXPECT_EQ(ReadTextFile(ListPath()), before);
  EXPECT_EQ(CountMacroFiles(folder_), 0);
  EXPECT_EQ(library_.Items().size(), 50u);
}

TEST_F(MacroLibraryTest, ImportCopiesTheFileUnchangedUnderAFreeName) {
  WriteList({{"jump", "g1"}});
  library_.LoadMacroNames();
  const std::string source = dir_.File("jump.mac");
  const std::string text =
      "{\"MacroName\":\"inner\",\"Guid\":\"old\",\"Events\":[{\"Action\":\"down\","
      "\"Type\":10,\"Button\":4,\"Delay\":\"5\"}]}";
  WriteText(source, text);

  ASSERT_TRUE(library_.ImportMacro(source));
  ASSERT_TRUE(library_.ImportMacro(source));
  EXPECT_EQ(library_.Names(), (std::vector<std::string>{"jump", "jump_1", "jump_1_2"}));
  const std::string guid = library_.Items()[2].guid;
  EXPECT_EQ(ReadTextFile(folder_ + guid + ".mac"), text);
  // The new macro is selected and its steps are loaded.
  EXPECT_EQ(library_.GetSelectedMacroIndex(), 2);
  ASSERT_EQ(library_.Rows().size(), 1u);
  EXPECT_EQ(library_.Rows()[0].delayText, "5");
  EXPECT_EQ(List()["MacroInfo"][2]["Guid"].asString(), guid);
}

TEST_F(MacroLibraryTest, ImportOfNothingDoesNothing) {
  library_.LoadMacroNames();
  EXPECT_FALSE(library_.ImportMacro(""));
  EXPECT_TRUE(library_.Items().empty());
  EXPECT_FALSE(std::filesystem::exists(ListPath()));
}

TEST_F(MacroLibraryTest, ExportCopiesTheSelectedFile) {
  WriteList({{"a", "g_a"}});
  WriteText(folder_ + "g_a.mac", "exact bytes\n");
  library_.LoadMacroNames();
  const std::string target = dir_.File("out.mac");
  EXPECT_FALSE(library_.ExportMacro(target));  // nothing selected
  library_.SelectMacro(0);
  EXPECT_FALSE(library_.ExportMacro(""));
  ASSERT_TRUE(library_.ExportMacro(target));
  EXPECT_EQ(ReadTextFile(target), "exact bytes\n");
}

TEST_F(MacroLibraryTest, RenameRules) {
  WriteList({{"macro_1", "g1"}, {"other", "g2"}});
  WriteText(folder_ + "g1.mac", R"({"MacroName":"macro_1","Guid":"g1","Events":[]})");
  library_.LoadMacroNames();
  EXPECT_EQ(library_.RenameMacro("x"), MacroRenameResult::kNoSelection);
  library_.SelectMacro(0);
  const std::string before = ReadTextFile(ListPath());

  const MacroRenameResult taken = library_.RenameMacro("MACRO_1");  // its own name counts
  EXPECT_EQ(taken, MacroRenameResult::kNameTaken);
  EXPECT_STREQ(MacroRenameMessage(taken), "message_text_5");
  EXPECT_EQ(library_.RenameMacro("OTHER"), MacroRenameResult::kNameTaken);
  const MacroRenameResult blank = library_.RenameMacro("  \t");
  EXPECT_EQ(blank, MacroRenameResult::kBlank);
  EXPECT_EQ(MacroRenameMessage(blank), nullptr);
  EXPECT_EQ(ReadTextFile(ListPath()), before);
  EXPECT_EQ(library_.Names()[0], "macro_1");

  EXPECT_EQ(library_.RenameMacro("fire"), MacroRenameResult::kRenamed);
  EXPECT_EQ(library_.Names()[0], "fire");
  EXPECT_EQ(List()["MacroInfo"][0]["MacroName"].asString(), "fire");
  EXPECT_EQ(List()["MacroInfo"][0]["Guid"].asString(), "g1");
  // The macro file keeps its inner name until the next save.
  EXPECT_EQ(ReadJsonFile(folder_ + "g1.mac")["MacroName"].asString(), "macro_1");
}

TEST_F(MacroLibraryTest, DeleteRemovesFileAndEntry) {
  WriteList({{"a", "g_a"}, {"b", "g_b"}});
  WriteText(folder_ + "g_a.mac", R"({"Events":[{}]})");
  WriteText(folder_ + "g_b.mac", R"({"Events":[]})");
  library_.LoadMacroNames();
  EXPECT_FALSE(library_.DeleteMacro());
  library_.SelectMacro(0);
  ASSERT_EQ(library_.Rows().size(), 1u);

  ASSERT_TRUE(library_.DeleteMacro());
  EXPECT_FALSE(std::filesystem::exists(folder_ + "g_a.mac"));
  EXPECT_TRUE(std::filesystem::exists(folder_ + "g_b.mac"));
  EXPECT_EQ(library_.Names(), std::vector<std::string>{"b"});
  EXPECT_EQ(List()["MacroInfo"].size(), 1u);
  EXPECT_EQ(List()["MacroInfo"][0]["Guid"].asString(), "g_b");
  EXPECT_TRUE(library_.Rows().empty());
  EXPECT_EQ(library_.NameEditText(), "b");
  EXPECT_EQ(library_.GetSelectedMacroIndex(), -1);
  EXPECT_TRUE(library_.EditorEnabled());

  library_.SelectMacro(0);
  ASSERT_TRUE(library_.DeleteMacro());
  EXPECT_TRUE(library_.Items().empty());
  EXPECT_EQ(library_.NameEditText(), "");
  EXPECT_FALSE(library_.EditorEnabled());
  EXPECT_EQ(List()["MacroInfo"].size(), 0u);
}

TEST_F(MacroLibraryTest, DeleteNeverReachesOutsideTheFolder) {
  WriteText(ListPath(), R"({"MacroInfo":[{"MacroName":"evil","Guid":"../victim"}]})");
  WriteText(dir_.File("victim.mac"), "keep");
  library_.LoadMacroNames();
  library_.SelectMacro(0);
  EXPECT_FALSE(library_.EditorEnabled());
  ASSERT_TRUE(library_.DeleteMacro());
  EXPECT_EQ(ReadTextFile(dir_.File("victim.mac")), "keep");
  EXPECT_EQ(List()["MacroInfo"].size(), 0u);
}

TEST_F(MacroLibraryTest, SaveNormalisesDelaysAndRefreshesRows) {
  WriteList({{"a", "g_a"}});
  library_.LoadMacroNames();
  EXPECT_FALSE(library_.SaveMacro());  // nothing selected
  library_.SelectMacro(0);
  library_.Rows() = {
      {R"({"Action":"down","Type":10,"Button":4,"Delay":"1"})", ""},
      {R"({"Action":"up","Type":10,"Button":4})", "007"},
      {"not json", "50"},
      {"[1,2]", "x"},
  };
  ASSERT_TRUE(library_.SaveMacro());

  const Json::Value file = ReadJsonFile(folder_ + "g_a.mac");
  EXPECT_EQ(file["MacroName"].asString(), "a");
  EXPECT_EQ(file["Guid"].asString(), "g_a");
  EXPECT_EQ(file["Version"].asInt(), 64);
  ASSERT_EQ(file["Events"].size(), 4u);
  EXPECT_EQ(file["Events"][0]["Delay"].asString(), "0");
  EXPECT_EQ(file["Events"][0]["Button"].asInt(), 4);
  EXPECT_EQ(file["Events"][1]["Delay"].asString(), "7");
  EXPECT_EQ(file["Events"][2].getMemberNames(), std::vector<std::string>{"Delay"});
  EXPECT_EQ(file["Events"][2]["Delay"].asString(), "50");
  EXPECT_EQ(file["Events"][3]["Delay"].asString(), "0");

  EXPECT_EQ(library_.Rows()[0].delayText, "0");    // an empty delay becomes 0 in the row too
  EXPECT_EQ(library_.Rows()[1].delayText, "007");  // the row keeps what was typed
  EXPECT_NE(library_.Rows()[1].eventText.find("\"Delay\" : \"7\""), std::string::npos);

  // Loading gives the same steps back.
  library_.LoadMacroEvents(folder_ + "g_a.mac");
  ASSERT_EQ(library_.Rows().size(), 4u);
  EXPECT_EQ(library_.Rows()[1].delayText, "7");
  EXPECT_EQ(ParseMacroRow(library_.Rows()[0]), file["Events"][0]);
}

TEST_F(MacroLibraryTest, SelectWithoutGuidDisablesTheEditor) {
  WriteText(ListPath(), R"({"MacroInfo":[{"MacroName":"noguid"},{"MacroName":"b","Guid":"g"}]})");
  library_.LoadMacroNames();
  EXPECT_TRUE(library_.SelectMacro(1));
  EXPECT_TRUE(library_.EditorEnabled());
  EXPECT_FALSE(library_.SelectMacro(0));
  EXPECT_FALSE(library_.EditorEnabled());
  EXPECT_FALSE(library_.SaveMacro(folder_ + "x.mac"));
  EXPECT_FALSE(std::filesystem::exists(folder_ + "x.mac"));
  EXPECT_FALSE(library_.SelectMacro(5));
  EXPECT_EQ(library_.GetSelectedMacroIndex(), -1);
}

TEST_F(MacroLibraryTest, ListFileNamePerDeviceType) {
  EXPECT_STREQ(MacroListFileName(1), "macro.config");
  EXPECT_STREQ(MacroListFileName(2), "macro.config");
  EXPECT_STREQ(MacroListFileName(3), "zelta_macro.config");
  EXPECT_STREQ(MacroListFileName(7), "zelta_macro.config");
}

}  // namespace
}  // namespace varkon
