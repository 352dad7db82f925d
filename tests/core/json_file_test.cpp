#include "core/json_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

void WriteRaw(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(JsonFile, MissingEmptyCorruptAndTruncatedFilesReadAsNull) {
  test::TempDir dir;
  EXPECT_TRUE(ReadJsonFile(dir.File("absent.json")).isNull());
  EXPECT_EQ(ReadTextFile(dir.File("absent.json")), "");

  WriteRaw(dir.File("empty.json"), "");
  EXPECT_TRUE(ReadJsonFile(dir.File("empty.json")).isNull());

  WriteRaw(dir.File("corrupt.json"), "{\"a\": [1, 2,, }");
  EXPECT_TRUE(ReadJsonFile(dir.File("corrupt.json")).isNull());

  WriteRaw(dir.File("truncated.json"), "{\n   \"profilelist\" : [\n      {\n         \"profilen");
  EXPECT_TRUE(ReadJsonFile(dir.File("truncated.json")).isNull());

  WriteRaw(dir.File("binary.json"), std::string("\0\xff\xfe{", 4));
  EXPECT_TRUE(ReadJsonFile(dir.File("binary.json")).isNull());

  // A FIFO in a file's place would block an open for good; a folder is no file either.
  ASSERT_EQ(mkfifo(dir.File("fifo.json").c_str(), 0600), 0);
  EXPECT_TRUE(ReadJsonFile(dir.File("fifo.json")).isNull());
  std::filesystem::create_directory(dir.File("folder.json"));
  EXPECT_EQ(ReadTextFile(dir.File("folder.json")), "");

  // Nesting beyond the reader's limit makes it throw; that too reads as null.
  WriteRaw(dir.File("deep.json"), std::string(5000, '[') + std::string(5000, ']'));
  EXPECT_TRUE(ReadJsonFile(dir.File("deep.json")).isNull());
}

TEST(JsonFile, ReadsCommentsAndAnyTopLevelValue) {
  test::TempDir dir;
  WriteRaw(dir.File("c.json"), "// a comment\n{ \"Version\" : 64 /* inline */ }\n");
  EXPECT_EQ(ReadJsonFile(dir.File("c.json"))["Version"].asInt(), 64);
  WriteRaw(dir.File("n.json"), "42");
  EXPECT_EQ(ReadJsonFile(dir.File("n.json")).asInt(), 42);
}

TEST(JsonFile, WritesStyledTextWithExtraLineEndAndRoundTrips) {
  test::TempDir dir;
  Json::Value value;
  value["profilename"] = "Profil \xc3\xa9t\xc3\xa9";  // UTF-8 kept as it is
  value["list"].append(1);
  value["list"].append(2);
  ASSERT_TRUE(WriteJsonFileChecked(dir.File("p.json"), value));

  const std::string text = ReadTextFile(dir.File("p.json"));
  EXPECT_EQ(text.substr(0, 5), "{\n   ");  // three-space indentation
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
  EXPECT_EQ(ReadJsonFile(dir.File("p.json")), value);
}

TEST(JsonFile, ReplacesAtomicallyAndLeavesNoTemporaryFiles) {
  test::TempDir dir;
  const std::string path = dir.File("ProfileList.ini");
  Json::Value first;
  first["profileselect"] = 0;
  WriteJsonFile(path, first);
  Json::Value second;
  second["profileselect"] = 3;
  EXPECT_EQ(WriteJsonFile(path, second), 0);
  EXPECT_EQ(ReadJsonFile(path)["profileselect"].asInt(), 3);

  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(JsonFile, FailedWriteKeepsTheOldFile) {
  test::TempDir dir;
  const std::string path = dir.File("keep.json");
  Json::Value old;
  old["keep"] = true;
  ASSERT_TRUE(WriteJsonFileChecked(path, old));

  // The target's folder cannot take the temporary file: the write fails and says so.
  const std::string missingFolder = dir.File("no-such-folder/keep.json");
  EXPECT_FALSE(WriteJsonFileChecked(missingFolder, old));

  // A target that is a folder cannot be replaced: the old content stays where it was.
  std::filesystem::create_directory(dir.File("folder.json"));
  std::ofstream(dir.File("folder.json/inside"), std::ios::binary) << "x";
  EXPECT_FALSE(WriteJsonFileChecked(dir.File("folder.json"), old));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.json")));
  EXPECT_TRUE(ReadJsonFile(path)["keep"].asBool());
}

}  // namespace
}  // namespace varkon
