#include "core/json_text.h"

#include <filesystem>
#include <limits>
#include <string>

#include <gtest/gtest.h>
#include <json/writer.h>

#include "core/json_file.h"

namespace varkon {
namespace {

std::string ReferenceStyledText(const Json::Value& value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  Json::StyledWriter writer;
  return writer.write(value);
#pragma GCC diagnostic pop
}

// Every file the program ships is written in the same text form as before, byte for byte:
// the files a user already has do not change form on their next save.
TEST(JsonText, KeepsTheStyledFormOfTheShippedFiles) {
  int compared = 0;
  const std::filesystem::path resources = std::filesystem::path(VARKON_SOURCE_DIR) / "resources";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(resources)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".json" && extension != ".Json" && extension != ".config") continue;
    Json::Value document;
    if (!ParseJsonText(ReadTextFile(entry.path().string()), document)) continue;
    EXPECT_EQ(StyledJsonText(document), ReferenceStyledText(document)) << entry.path();
    ++compared;
  }
  EXPECT_GE(compared, 5);

  // Comments, one-line and multi-line arrays, empty containers, numbers of every kind.
  Json::Value mixed;
  ASSERT_TRUE(ParseJsonText(
      "// head\n{ \"a\" : [1, 2.5, -3, true, null, \"x\"], /* after */ \"b\" : {}, \"c\" : [],\n"
      "\"d\" : [[1], {\"e\" : 1}], \"f\" : 18446744073709551615, \"g\" : \"\\u00e9\\ud83d\\ude00\","
      "\"h\" : [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26] }",
      mixed));
  EXPECT_EQ(StyledJsonText(mixed), ReferenceStyledText(mixed));
}

TEST(JsonText, NulBytesAndInvalidUtf8ReadBackExactly) {
  Json::Value document;
  const std::string nameWithNul("Events\0\0", 8);
  using namespace std::string_literals;
  const std::string invalid =
      "\xE5"
      "c\x11\xff\xc0\x80\xed\xa0\x80 ok \xe4\xb8\xad"s;
  document[nameWithNul] = invalid;
  document["Events"] = "other";  // must stay a member of its own
  document["plain"] = std::string("a\0b", 3);

  std::string text;
  ASSERT_TRUE(FaithfulStyledJsonText(document, text));
  EXPECT_NE(text.find("\"Events\\u0000\\u0000\" : "), std::string::npos);
  EXPECT_NE(text.find("\\u4e2d"), std::string::npos);  // valid UTF-8 keeps its escaped form

  Json::Value readBack;
  ASSERT_TRUE(ParseJsonText(text, readBack));
  ASSERT_EQ(readBack.size(), 3u);
  const Json::Value* value = readBack.find(nameWithNul.data(), nameWithNul.data() + 8);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->asString(), invalid);
  EXPECT_EQ(readBack["Events"].asString(), "other");
  EXPECT_EQ(readBack["plain"].asString(), std::string("a\0b", 3));
  EXPECT_TRUE(SameJsonDocument(readBack, document));
}

TEST(JsonText, DocumentsCompareByData) {
  Json::Value a;
  a["n"] = Json::Value(5u);
  a["m"] = -1;
  Json::Value b;
  b["n"] = 5;
  b["m"] = -1;
  EXPECT_TRUE(SameJsonDocument(a, b));
  b["m"] = Json::Value(static_cast<Json::UInt64>(std::numeric_limits<Json::UInt64>::max()));
  EXPECT_FALSE(SameJsonDocument(a, b));
  b["m"] = -1;
  b[std::string("n\0", 2)] = 5;
  EXPECT_FALSE(SameJsonDocument(a, b));
  EXPECT_FALSE(SameJsonDocument(Json::Value(true), Json::Value(1)));
  EXPECT_FALSE(SameJsonDocument(Json::Value("1"), Json::Value(1)));
}

TEST(JsonText, AWriteThatCannotReadBackFailsAndKeepsTheOldFile) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "varkon-json-text-nan.json").string();
  Json::Value old;
  old["keep"] = 1;
  ASSERT_TRUE(WriteJsonFileChecked(path, old));
  Json::Value bad;
  bad["x"] = std::numeric_limits<double>::quiet_NaN();
  std::string text;
  EXPECT_FALSE(FaithfulStyledJsonText(bad, text));
  EXPECT_FALSE(WriteJsonFileChecked(path, bad));
  EXPECT_EQ(ReadJsonFile(path)["keep"].asInt(), 1);
  std::filesystem::remove(path);
}

TEST(JsonText, DeepNestingIsRefusedWithoutThrowing) {
  Json::Value value;
  std::string errors;
  EXPECT_FALSE(ParseJsonText(std::string(5000, '[') + std::string(5000, ']'), value, &errors));
  EXPECT_TRUE(value.isNull());
  EXPECT_FALSE(errors.empty());
}

}  // namespace
}  // namespace varkon
