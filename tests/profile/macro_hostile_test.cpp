// Hostile macro list and macro files fed to every macro reader and operation.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_deletion.h"
#include "profile/macro_file.h"
#include "profile/macro_library.h"
#include "profile/macro_library_image.h"
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
      "null",
      "0",
      "\"Events\"",
      "[]",
      "{}",
      R"({"MacroInfo":{},"Events":{}})",
      R"({"MacroInfo":"x","Events":"x"})",
      R"({"MacroInfo":[1,null,"s",[],{}],"Events":[1,null,"s",[],{}]})",
      R"({"MacroInfo":[{"MacroName":7,"Guid":["g"]}],"Events":[{"Action":5,"Type":"x"}]})",
      R"({"MacroInfo":[{"MacroName":"a","Guid":"/etc/passwd"}]})",
      R"({"MacroInfo":[{"MacroName":"a","Guid":"g"}],"Events":[{"Delay":{"a":1}}]})",
      R"({"Events":[{"Action":"down","Type":1e300,"Button":-1e300,"Delay":-1e300}]})",
      R"({"Events":[{"Type":18446744073709551615,"Button":-9223372036854775808}]})",
  };
  texts.push_back(std::string(4000, '{') + std::string(4000, '}'));
  texts.push_back("{\"Events\":" + std::string(4000, '[') + std::string(4000, ']') + "}");
  std::string many = "{\"MacroInfo\":[";
  for (int i = 0; i < 500; ++i) many += (i ? "," : "") + std::string("{\"MacroName\":\"m\"}");
  many += "],\"Events\":[0";
  for (int i = 0; i < 60000; ++i) many += ",{}";
  texts.push_back(many + "]}");
  return texts;
}

TEST(MacroHostileTest, EveryReaderAndOperationSurvives) {
  for (const std::string& text : HostileTexts()) {
    SCOPED_TRACE(text.substr(0, 80));
    test::TempDir dir;
    const std::string folder = dir.File("data") + "/";
    std::filesystem::create_directory(folder);
    WriteText(folder + "macro.config", text);
    WriteText(folder + "g.mac", text);
    WriteText(dir.File("source.mac"), text);

    LoadMacroRows(folder + "g.mac");
    CountMacroEvents(folder + "g.mac");
    std::vector<uint8_t> image;
    BuildLibraryMacroImage(folder, {0, 1, 2}, 255, image);
    EXPECT_LE(image.size(), 255u * 128);

    MacroLibrary library;
    library.SetMacroFolder(folder);
    library.LoadMacroNames();
    library.SelectMacro(0);
    library.SaveMacro();
    library.RenameMacro("renamed");
    library.ExportMacro(dir.File("export.mac"));
    library.AddMacro();
    library.ImportMacro(dir.File("source.mac"));
    library.SelectMacro(0);
    library.Rows().push_back({text, text});
    library.SaveMacro();
    std::vector<KeyAssignmentRecord> keys(3);
    DeleteMacroEverywhere(library, "", keys, [](const char*) { return true; });
    library.SelectMacro(0);
    library.DeleteMacro();

    const Json::Value list = ReadJsonFileNoThrow(folder + "macro.config");
    EXPECT_TRUE(list.isObject());
    int outside = 0;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = item.path().filename().string();
      outside += name != "data" && name != "source.mac" && name != "export.mac";
    }
    EXPECT_EQ(outside, 0);
  }
}

}  // namespace
}  // namespace varkon
