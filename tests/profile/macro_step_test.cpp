#include "profile/macro_step.h"

#include <memory>

#include <gtest/gtest.h>

#include <json/reader.h>

namespace varkon {
namespace {

Json::Value Parse(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  reader->parse(text.data(), text.data() + text.size(), &value, &errors);
  return value;
}

using Bytes = MacroEvent;

TEST(MacroStepTest, KeyPressAndReleaseEncodeAsDocumented) {
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Action":"down","Type":10,"Button":4,"Delay":"300"})")),
            (Bytes{0x2C, 0x01, 0x8A, 0x04}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Action":"up","Type":10,"Button":4,"Delay":"300"})")),
            (Bytes{0x2C, 0x01, 0x0A, 0x04}));
}

TEST(MacroStepTest, IntegerDelaysCountByValue) {
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Action":"down","Type":1,"Button":1,"Delay":10})")),
            (Bytes{0x0A, 0x00, 0x81, 0x01}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Action":"up","Type":5,"Button":30,"Delay":80.9})")),
            (Bytes{0x50, 0x00, 0x05, 0x1E}));
}

TEST(MacroStepTest, DelaysKeepTheirLow16Bits) {
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Delay":"70000"})")), (Bytes{0x70, 0x11, 0x00, 0x00}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Delay":70000})")), (Bytes{0x70, 0x11, 0x00, 0x00}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Delay":65535})")), (Bytes{0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Delay":4294967297})")), (Bytes{0x01, 0x00, 0x00, 0x00}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Delay":"-1"})")), (Bytes{0xFF, 0xFF, 0x00, 0x00}));
}

TEST(MacroStepTest, DelaysThatAreNotNumbersEncodeZero) {
  for (const char* delay : {R"("abc")", R"("")", "null", "true", "[5]", "{}", "1e300"}) {
    const Json::Value step = Parse(std::string(R"({"Type":10,"Button":4,"Delay":)") + delay + "}");
    EXPECT_EQ(EncodeMacroStep(step), (Bytes{0x00, 0x00, 0x0A, 0x04})) << delay;
  }
}

TEST(MacroStepTest, TypeAndButtonKeepTheirLow8Bits) {
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Action":"down","Type":300,"Button":511,"Delay":"0"})")),
            (Bytes{0x00, 0x00, 0xAC, 0xFF}));
  EXPECT_EQ(EncodeMacroStep(Parse(R"({"Type":"10","Button":"4"})")),
            (Bytes{0x00, 0x00, 0x00, 0x00}));
}

TEST(MacroStepTest, OnlyTheExactWordDownIsAPress) {
  for (const char* action : {"Down", "DOWN", "down ", "", "press"}) {
    Json::Value step = Parse(R"({"Type":10,"Button":4})");
    step["Action"] = action;
    EXPECT_EQ(EncodeMacroStep(step)[2], 0x0A) << action;
  }
}

TEST(MacroStepTest, NonObjectsEncodeAsZeros) {
  for (const char* text : {"null", "[1,2,3,4]", "\"down\"", "7"}) {
    EXPECT_EQ(EncodeMacroStep(Parse(text)), (Bytes{0, 0, 0, 0})) << text;
  }
}

TEST(MacroStepTest, StructAndJsonFormsAgree) {
  const MacroStep step{true, kStepModifier, 0x02, 120};
  const Json::Value json = MacroStepJson(step);
  EXPECT_EQ(json["Action"].asString(), "down");
  EXPECT_EQ(json["Delay"].asString(), "120");  // macro files keep the delay as text
  const MacroStep back = ReadMacroStep(json);
  EXPECT_EQ(back.down, step.down);
  EXPECT_EQ(back.type, step.type);
  EXPECT_EQ(back.button, step.button);
  EXPECT_EQ(back.delay, step.delay);
  EXPECT_EQ(EncodeMacroStep(step), EncodeMacroStep(json));
  EXPECT_EQ(EncodeMacroStep(step), (Bytes{0x78, 0x00, 0x89, 0x02}));
}

TEST(MacroStepTest, LeadingDecimal) {
  EXPECT_EQ(LeadingDecimal("007"), 7);
  EXPECT_EQ(LeadingDecimal("12ab"), 12);
  EXPECT_EQ(LeadingDecimal("  -3"), -3);
  EXPECT_EQ(LeadingDecimal("+4"), 4);
  EXPECT_EQ(LeadingDecimal("abc"), 0);
  EXPECT_EQ(LeadingDecimal(""), 0);
  EXPECT_EQ(LeadingDecimal("-"), 0);
  EXPECT_EQ(LeadingDecimal("99999999999999999999999"), 2147483647);
  EXPECT_EQ(LeadingDecimal("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(LeadingDecimal64("99999999999999999999999"), INT64_MAX);
}

}  // namespace
}  // namespace varkon
