#include "editors/light_editor_actions.h"

#include <gtest/gtest.h>

namespace varkon {
namespace {

// A state with every byte set, so that a change of the wrong byte shows.
const LightWords kFull = {0x01030405u, 0xC0B0A001u, 0x11223344u, 0x55667702u, 0x00000009u};

TEST(LightEditorActions, EachActionChangesOnlyItsByte) {
  struct Case {
    const char* what;
    LightWords after;
    size_t word;
    uint32_t mask;  // the bits the action may change
  };
  const Case cases[] = {
      {"mode", SetLightMode(kFull, 17), 0, 0x000000FFu},
      {"brightness", SetLightBrightness(kFull, 2), 0, 0x0000FF00u},
      {"speed", SetLightSpeed(kFull, 0), 0, 0x00FF0000u},
      {"direction", SetLightDirection(kFull, false), 0, 0xFF000000u},
      {"multicolour", SetLightMulticolour(kFull, false), 1, 0x000000FFu},
      {"custom table", SetLightCustomTable(kFull, 5), 3, 0x000000FFu},
      {"ZZCC", SetLightZzccMode(kFull, 3), 2, 0xFF000000u},
  };
  for (const Case& c : cases) {
    for (size_t w = 0; w < kFull.size(); ++w) {
      const uint32_t mask = w == c.word ? c.mask : 0;
      EXPECT_EQ(c.after[w] & ~mask, kFull[w] & ~mask) << c.what << " word " << w;
    }
    EXPECT_NE(c.after[c.word] & c.mask, kFull[c.word] & c.mask) << c.what;
  }
  EXPECT_EQ(LightMode(SetLightMode(kFull, 17)), 17);
  EXPECT_EQ(LightZzccMode(SetLightZzccMode(kFull, 3)), 3);
  EXPECT_EQ(LightCustomTable(SetLightCustomTable(kFull, 5)), 5);
  // FXL is direction 1, FXR 0.
  EXPECT_TRUE(LightForward(SetLightDirection(SetLightDirection(kFull, false), true)));
  EXPECT_EQ(SetLightDirection(kFull, true)[0] >> 24, 1u);
}

TEST(LightEditorActions, ColourActionsSwitchMulticolourOff) {
  ASSERT_TRUE(LightMulticolour(kFull));
  const LightWords green = SetLightColourComponent(kFull, ColourComponent::kGreen, 7);
  EXPECT_FALSE(LightMulticolour(green));
  EXPECT_EQ(LightColourComponent(green, ColourComponent::kRed), 0xA0);
  EXPECT_EQ(LightColourComponent(green, ColourComponent::kGreen), 7);
  EXPECT_EQ(LightColourComponent(green, ColourComponent::kBlue), 0xC0);
  EXPECT_EQ(green[0], kFull[0]);

  // A palette or preset colour, with or without its alpha.
  for (uint32_t colour : {0xFF123456u, 0x00123456u}) {
    const LightWords picked = SetLightColour(kFull, colour);
    EXPECT_FALSE(LightMulticolour(picked));
    EXPECT_EQ(LightFixedColour(picked), 0xFF123456u);
    EXPECT_EQ(picked[1], 0x56341200u);
    EXPECT_EQ(picked[2], kFull[2]);
  }
}

TEST(LightEditorActions, ColourEditTextsAreRepaired) {
  struct Case {
    const char* text;
    uint8_t value;
    const char* shown;
  };
  const Case cases[] = {
      {"300", 255, "255"}, {"255", 255, "255"}, {"256", 255, "255"},
      {"", 0, "0"},        {"0", 0, "0"},       {"007", 7, "7"},
      {"12abc", 12, "12"}, {"abc", 0, "0"},     {" 42", 42, "42"},
      {"-5", 0, "0"},      {"+9", 9, "9"},      {"99999999999999999999", 255, "255"},
      {"1 2", 1, "1"},
  };
  for (const Case& c : cases) {
    const ColourEditValue read = ReadColourEdit(c.text);
    EXPECT_EQ(read.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(read.shown, c.shown) << '"' << c.text << '"';
  }
}

// Typing 300 into the green edit and leaving it shows 255 and sends green 255, multicolour off.
TEST(LightEditorActions, TypingTooLargeAGreenSendsFullGreen) {
  const ColourEditResult result = ApplyColourEdit(kFull, ColourComponent::kGreen, "300");
  EXPECT_EQ(result.edit.shown, "255");
  EXPECT_EQ(LightColourComponent(result.words, ColourComponent::kGreen), 255);
  EXPECT_FALSE(LightMulticolour(result.words));
  EXPECT_EQ(LightColourComponent(result.words, ColourComponent::kRed), 0xA0);
}

TEST(AudioLight, WordsRoundTrip) {
  const AudioLight light = AudioLight::FromWords(0x30201002u, 0x01605040u, true);
  EXPECT_EQ(light.mode, 2);
  EXPECT_EQ(light.background, (std::array<uint8_t, 3>{0x10, 0x20, 0x30}));
  EXPECT_EQ(light.foreground, (std::array<uint8_t, 3>{0x40, 0x50, 0x60}));
  EXPECT_TRUE(light.multicolour);
  EXPECT_TRUE(light.editingForeground);
  EXPECT_EQ(light.ModeWord(), 0x30201002u);
  EXPECT_EQ(light.ForegroundWord(), 0x01605040u);
  // Any non-zero multicolour byte reads as on and goes back as 1.
  EXPECT_EQ(AudioLight::FromWords(0, 0x7F000000u, false).ForegroundWord(), 0x01000000u);
}

}  // namespace
}  // namespace varkon
