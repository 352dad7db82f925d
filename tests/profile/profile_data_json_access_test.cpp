#include "profile/json_access.h"

#include <climits>

#include <gtest/gtest.h>
#include <json/reader.h>

namespace varkon {
namespace {

Json::Value Parse(const std::string& text) {
  Json::Value value;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << text;
  return value;
}

TEST(JsonAccess, IntMemberReadsNumbersOfEveryKind) {
  const Json::Value object = Parse(R"({"i": -7, "u": 4000000000, "r": 3.9, "neg": -3.9,
                                       "big": 1e300, "fits": 2147483647})");
  EXPECT_EQ(IntMember(object, "i"), -7);
  EXPECT_EQ(IntMember(object, "r"), 3);
  EXPECT_EQ(IntMember(object, "neg"), -3);
  EXPECT_EQ(IntMember(object, "fits"), INT_MAX);
  // Out of int range: the fallback, not JsonCpp's exception.
  EXPECT_EQ(IntMember(object, "u", 11), 11);
  EXPECT_EQ(IntMember(object, "big", 12), 12);
}

TEST(JsonAccess, WrongTypesReadAsTheFallback) {
  const Json::Value object = Parse(R"({"s": "12", "b": true, "a": [1], "o": {"x": 1}, "n": null})");
  for (const char* name : {"s", "b", "a", "o", "n", "missing"}) {
    EXPECT_EQ(IntMember(object, name, 5), 5) << name;
  }
  for (const char* name : {"b", "a", "o", "n", "missing"}) {
    EXPECT_EQ(StringMember(object, name, "fb"), "fb") << name;
  }
  EXPECT_EQ(StringMember(object, "s"), "12");
  EXPECT_FALSE(BoolMember(object, "s"));
  EXPECT_TRUE(BoolMember(object, "a", true));
}

TEST(JsonAccess, ContainersThatAreNotObjectsGiveFallbacks) {
  // JsonCpp's const operator[] with a name throws on arrays and strings.
  for (const char* text : {"[1, 2, 3]", "\"text\"", "42", "true", "null"}) {
    const Json::Value value = Parse(text);
    EXPECT_EQ(IntMember(value, "x", -1), -1) << text;
    EXPECT_TRUE(Member(value, "x").isNull()) << text;
    EXPECT_TRUE(ArrayMember(value, "x").isArray()) << text;
    EXPECT_EQ(ArrayMember(value, "x").size(), 0u) << text;
    EXPECT_TRUE(ObjectMember(value, "x").isObject()) << text;
    EXPECT_EQ(ElementAt(value, 0), value.isArray() ? Json::Value(1) : Json::Value()) << text;
    EXPECT_EQ(ArraySize(value), value.isArray() ? 3u : 0u) << text;
  }
  EXPECT_TRUE(ElementAt(Parse("[1]"), 1).isNull());
  EXPECT_TRUE(ElementAt(Parse("{\"0\": 1}"), 0).isNull());
}

TEST(JsonAccess, BoolMemberAcceptsBooleansAndNumbers) {
  const Json::Value object = Parse(R"({"t": true, "f": false, "one": 1, "zero": 0, "half": 0.5})");
  EXPECT_TRUE(BoolMember(object, "t"));
  EXPECT_FALSE(BoolMember(object, "f", true));
  EXPECT_TRUE(BoolMember(object, "one"));
  EXPECT_FALSE(BoolMember(object, "zero", true));
  EXPECT_TRUE(BoolMember(object, "half"));
  EXPECT_TRUE(BoolMember(object, "missing", true));
}

TEST(JsonAccess, ByteMemberKeepsTheLowEightBits) {
  const Json::Value object =
      Parse(R"({"a": 300, "b": -1, "c": 4294967295, "d": 255, "e": "7", "f": 300.5})");
  EXPECT_EQ(ByteMember(object, "a"), 44);
  EXPECT_EQ(ByteMember(object, "b"), 255);
  EXPECT_EQ(ByteMember(object, "c"), 255);
  EXPECT_EQ(ByteMember(object, "d"), 255);
  EXPECT_EQ(ByteMember(object, "e"), 0);
  EXPECT_EQ(ByteMember(object, "f"), 44);
}

TEST(JsonAccess, MakeHelpersReplaceWrongShapesForWriting) {
  Json::Value value = Parse(R"({"keep": 1, "o": 5, "a": {"x": 1}})");
  MakeObjectMember(value, "o")["y"] = 2;
  EXPECT_EQ(value["o"]["y"].asInt(), 2);
  MakeArrayMember(value, "a").append(3);
  EXPECT_EQ(value["a"].size(), 1u);
  EXPECT_EQ(value["keep"].asInt(), 1);

  Json::Value scalar = "text";
  MakeObjectElement(scalar, 2)["z"] = 1;
  ASSERT_TRUE(scalar.isArray());
  EXPECT_EQ(scalar.size(), 3u);
  EXPECT_EQ(scalar[2u]["z"].asInt(), 1);

  Json::Value existing = Parse(R"({"o": {"x": 1}})");
  MakeObjectMember(existing, "o")["y"] = 2;
  EXPECT_EQ(existing["o"]["x"].asInt(), 1);  // an existing object keeps its members
}

TEST(JsonAccess, SafeFileStems) {
  EXPECT_TRUE(IsSafeFileStem("2024_03_05_14_07_09_042"));
  EXPECT_TRUE(IsSafeFileStem("Mein Effekt ä"));
  EXPECT_TRUE(IsSafeFileStem(".hidden"));
  EXPECT_FALSE(IsSafeFileStem(""));
  EXPECT_FALSE(IsSafeFileStem("/etc/passwd"));
  EXPECT_FALSE(IsSafeFileStem("a/b"));
  EXPECT_FALSE(IsSafeFileStem("a\\b"));
  EXPECT_FALSE(IsSafeFileStem(".."));
  EXPECT_FALSE(IsSafeFileStem("x..y"));
  EXPECT_FALSE(IsSafeFileStem(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace varkon
