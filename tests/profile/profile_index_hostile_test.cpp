// Hand-edited, truncated and hostile index and profile files: every operation keeps working,
// never throws, and leaves a parseable index behind.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/profile_index.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> HostileTexts() {
  std::vector<std::string> texts = {
      "",
      "{",
      "nul",
      "null",
      "42",
      "\"text\"",
      "[]",
      "[{\"profilelist\":[]}]",
      "{}",
      R"({"profilelist":{}})",
      R"({"profilelist":"x","profileselect":{}})",
      R"({"profilelist":[1,2,"a",null,[]],"profileselect":3})",
      R"({"profilelist":[{"profilename":5,"profileUUID":7}]})",
      R"({"profilelist":[{"profilename":["x"],"profileUUID":"ok_id"}],"profileselect":"0"})",
      R"({"profilelist":[{"profilename":"\u0000nul","profileUUID":"ok_id"}]})",
      "{\"profilelist\":[{\"profilename\":\"\xff\xfe\xc3\",\"profileUUID\":\"bad_utf8\"}]}",
      R"({"profilelist":[{"profilename":"a","profileUUID":".."}]})",
      R"({"profilelist":[{"profilename":"a","profileUUID":"ok_id"}],"profileselect":99999999999})",
      R"({"profilelist":[{"profilename":"a","profileUUID":"ok_id"}],"profileselect":-2147483648})",
      "// comment\n{\"profilelist\":[{\"profilename\":\"a\",\"profileUUID\":\"ok_id\"}]}",
  };
  texts.push_back(std::string(5000, '[') + std::string(5000, ']'));
  texts.push_back("{\"profilelist\":" + std::string(3000, '[') + std::string(3000, ']') + "}");
  std::string many = "{\"profilelist\":[";
  for (int i = 0; i < 2000; ++i) {
    many += (i ? "," : "") + std::string("{\"profilename\":\"p\",\"profileUUID\":\"id") +
            std::to_string(i) + "\"}";
  }
  texts.push_back(many + "]}");
  return texts;
}

TEST(ProfileIndexHostileTest, EveryOperationSurvivesEveryFile) {
  for (const std::string& text : HostileTexts()) {
    SCOPED_TRACE(text.substr(0, 80));
    test::TempDir dir;
    const std::string folder = dir.path() + "/data/";
    std::filesystem::create_directory(folder);
    const std::string index = folder + "ProfileList.ini";
    const std::string defaults = folder + "defaults.Json";
    WriteText(defaults, text);
    WriteText(index, text);
    WriteText(folder + "ok_id.Json", text);
    WriteText(folder + "import.json", text);

    ProfileIndex profiles;
    profiles.SetFolders(folder, defaults);
    profiles.SetDeviceTypeNumber(7);
    profiles.InitProfileList();
    ASSERT_GE(profiles.Names().size(), 1u);
    EXPECT_GE(profiles.GetSelectedIndex(), 0);
    EXPECT_TRUE(ReadJsonFileNoThrow(index).isObject());

    // The operations re-read the index; give them the hostile text again each time.
    auto again = [&] { WriteText(index, text); };
    again();
    profiles.GetProfileCount();
    profiles.GetProfileFilePath(0);
    again();
    profiles.AddProfile();
    again();
    profiles.CopyProfile();
    again();
    profiles.RenameProfile("renamed");
    again();
    profiles.ResetProfile();
    again();
    profiles.ImportProfile(folder + "import.json");
    again();
    profiles.ExportProfile(folder + "export.json");
    again();
    profiles.SelectProfile(0);
    again();
    profiles.DeleteProfile();
    EXPECT_TRUE(ReadJsonFileNoThrow(index).isObject());

    // Nothing was written outside the data folder.
    int outside = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) {
      outside += item.path().filename() != "data";
    }
    EXPECT_EQ(outside, 0);
  }
}

}  // namespace
}  // namespace varkon
