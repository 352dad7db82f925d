#include "editors/light_control_states.h"

#include <gtest/gtest.h>

#include <optional>

namespace varkon {
namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;
constexpr int kPad = 3;
constexpr int kHeadset = 7;

constexpr std::optional<bool> kUnset = std::nullopt;

struct GroupCase {
  const char* what;
  int kind;
  int mode;
  bool multiDevice;
  LightGroup group;
  std::optional<bool> enabled;
  std::optional<bool> visible;
};

// The edge cases of the tables, one group each.
const GroupCase kGroupCases[] = {
    {"keyboard 17 keeps speed usable but hides it", kKeyboard, 17, false, LightGroup::kSpeed, true,
     false},
    {"keyboard 17 shows the ZZCC combo", kKeyboard, 17, false, LightGroup::kZzcc, kUnset, true},
    {"keyboard 17 disables the colour block", kKeyboard, 17, false, LightGroup::kColourBlock, false,
     kUnset},
    {"keyboard 5 shows speed again", kKeyboard, 5, false, LightGroup::kSpeed, true, true},
    {"keyboard 5 hides the ZZCC combo again", kKeyboard, 5, false, LightGroup::kZzcc, kUnset,
     false},
    {"keyboard 5 alone offers no apply-to-all", kKeyboard, 5, false, LightGroup::kSameMode, kUnset,
     false},
    {"keyboard 5 with two devices offers it", kKeyboard, 5, true, LightGroup::kSameMode, kUnset,
     true},
    {"keyboard 1 never offers it", kKeyboard, 1, true, LightGroup::kSameMode, kUnset, false},
    {"keyboard 21 (off) offers it", kKeyboard, 21, true, LightGroup::kSameMode, kUnset, true},
    {"keyboard 21 has no brightness", kKeyboard, 21, true, LightGroup::kBrightness, false, kUnset},
    {"keyboard 20 shows the custom colours", kKeyboard, 20, false, LightGroup::kCustom, kUnset,
     true},
    {"keyboard 20 keeps a fixed colour", kKeyboard, 20, false, LightGroup::kColour, true, kUnset},
    {"keyboard 20 has no multicolour", kKeyboard, 20, false, LightGroup::kMulticolour, false,
     kUnset},
    {"keyboard 20 hides speed", kKeyboard, 20, false, LightGroup::kSpeed, false, false},
    {"keyboard 29 is a music mode", kKeyboard, 29, false, LightGroup::kMusic, kUnset, true},
    {"keyboard 12 has a direction", kKeyboard, 12, false, LightGroup::kDirection, true, kUnset},
    {"keyboard 16 has no speed", kKeyboard, 16, false, LightGroup::kSpeed, false, true},
    {"keyboard 14 lies in the range 13-15", kKeyboard, 14, false, LightGroup::kPalette, true,
     kUnset},
    {"keyboard 24 is no listed mode", kKeyboard, 24, false, LightGroup::kBrightness, false, kUnset},
    {"mouse 11 shows the music combo", kMouse, 11, false, LightGroup::kMusic, kUnset, true},
    {"mouse 11 hides speed", kMouse, 11, false, LightGroup::kSpeed, false, false},
    {"mouse 3 has a colour but no multicolour", kMouse, 3, false, LightGroup::kMulticolour, false,
     kUnset},
    {"mouse leaves the keyboard's blocks alone", kMouse, 1, false, LightGroup::kColourBlock, kUnset,
     kUnset},
    {"mouse never offers apply-to-all", kMouse, 2, true, LightGroup::kSameMode, kUnset, false},
    {"pad 2 with two devices offers it", kPad, 2, true, LightGroup::kSameMode, kUnset, true},
    {"pad 0 does not", kPad, 0, true, LightGroup::kSameMode, kUnset, false},
    {"headset 8 (off) has no brightness", kHeadset, 8, false, LightGroup::kBrightness, false,
     kUnset},
    {"kind 5 mode 1 has no multicolour", 5, 1, false, LightGroup::kMulticolour, false, kUnset},
    {"kind 5 mode 4 has speed", 5, 4, false, LightGroup::kSpeed, true, kUnset},
    {"kind 5 leaves the direction alone", 5, 0, false, LightGroup::kDirection, kUnset, kUnset},
    {"kind 5 leaves the apply-to-all button alone", 5, 0, true, LightGroup::kSameMode, kUnset,
     kUnset},
};

TEST(LightControlStates, EdgeCasesOfTheTables) {
  for (const GroupCase& c : kGroupCases) {
    const LightGroupState state = LightControlStatesFor(c.kind, c.mode, c.multiDevice)[c.group];
    EXPECT_EQ(state.enabled, c.enabled) << c.what;
    EXPECT_EQ(state.visible, c.visible) << c.what;
  }
}

TEST(LightControlStates, MusicModesSwitchTheColourPage) {
  EXPECT_EQ(LightControlStatesFor(kMouse, 11, false).colourPage, kMusicColourPage);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 29, false).colourPage, kMusicColourPage);
  EXPECT_EQ(LightControlStatesFor(kMouse, 10, false).colourPage, kFixedColourPage);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 30, false).colourPage, kFixedColourPage);
  EXPECT_EQ(LightControlStatesFor(5, 0, false).colourPage, std::nullopt);
}

TEST(LightControlStates, DirectionTextsFollowTheMode) {
  const DirectionTextIds horizontal{"light_set_right_to_left_text", "light_set_left_to_right_text"};
  const DirectionTextIds downUp{"light_set_down_to_up_text", "light_set_up_to_down_text"};
  const DirectionTextIds upDown{"light_set_up_to_down_text", "light_set_down_to_up_text"};
  const DirectionTextIds round{"light_set_clockwise_text", "light_set_anticlockwise_text"};
  const DirectionTextIds inward{"light_set_outside_to_inside_text",
                                "light_set_inside_to_outside_text"};
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 1, false).directionTexts, horizontal);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 40, false).directionTexts, horizontal);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 3, false).directionTexts, round);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 19, false).directionTexts, round);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 12, false).directionTexts, downUp);
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 22, false).directionTexts, inward);
  // Mode 32 runs the other way round than mode 12.
  EXPECT_EQ(LightControlStatesFor(kKeyboard, 32, false).directionTexts, upDown);
  EXPECT_EQ(LightControlStatesFor(kMouse, 0, false).directionTexts, downUp);
  EXPECT_EQ(LightControlStatesFor(kMouse, 11, false).directionTexts, downUp);
  EXPECT_EQ(LightControlStatesFor(kPad, 0, false).directionTexts, std::nullopt);
}

TEST(LightControlStates, ReceiverKindsAreTheirDevicesAndUnknownKindsChangeNothing) {
  for (int mode = -1; mode <= 40; ++mode) {
    for (bool multi : {false, true}) {
      const LightControlStates keyboard = LightControlStatesFor(kKeyboard, mode, multi);
      const LightControlStates viaReceiver = LightControlStatesFor(9, mode, multi);
      EXPECT_EQ(keyboard.groups, viaReceiver.groups) << mode;
      EXPECT_EQ(LightControlStatesFor(kMouse, mode, multi).groups,
                LightControlStatesFor(6, mode, multi).groups)
          << mode;
      // The headset and the mouse pad share one table.
      EXPECT_EQ(LightControlStatesFor(kPad, mode, multi).groups,
                LightControlStatesFor(kHeadset, mode, multi).groups)
          << mode;
      EXPECT_EQ(LightControlStatesFor(kPad, mode, multi).groups,
                LightControlStatesFor(4, mode, multi).groups)
          << mode;
      const LightControlStates unknown = LightControlStatesFor(8, mode, multi);
      for (const LightGroupState& group : unknown.groups) EXPECT_EQ(group, LightGroupState{});
      EXPECT_EQ(unknown.colourPage, std::nullopt);
    }
  }
}

// Modes no table lists, negative ones and ones past any table included.
TEST(LightControlStates, UnlistedModesLeaveOnlyTheEffect) {
  for (int kind : {kKeyboard, kMouse, kPad, 5}) {
    for (int mode : {-1, 9999, 64, 255, 63}) {
      const LightControlStates states = LightControlStatesFor(kind, mode, true);
      EXPECT_EQ(states[LightGroup::kEffect].enabled, true) << kind << " " << mode;
      for (LightGroup group : {LightGroup::kMulticolour, LightGroup::kColour, LightGroup::kPalette,
                               LightGroup::kBrightness, LightGroup::kSpeed}) {
        EXPECT_EQ(states[group].enabled, false) << kind << " " << mode;
      }
      if (kind != 5) {
        EXPECT_EQ(states[LightGroup::kDirection].enabled, false) << kind << " " << mode;
        EXPECT_EQ(states[LightGroup::kSameMode].visible, false) << kind << " " << mode;
      }
    }
  }
}

// What holds for every mode of every table.
TEST(LightControlStates, Invariants) {
  for (int kind : {kKeyboard, kMouse, kPad, kHeadset}) {
    for (int mode = 0; mode < 64; ++mode) {
      const LightControlStates alone = LightControlStatesFor(kind, mode, false);
      const LightControlStates several = LightControlStatesFor(kind, mode, true);
      // The effect list is always usable; every column is decided.
      EXPECT_EQ(alone[LightGroup::kEffect].enabled, true);
      for (LightGroup group :
           {LightGroup::kMulticolour, LightGroup::kColour, LightGroup::kPalette,
            LightGroup::kBrightness, LightGroup::kSpeed, LightGroup::kDirection}) {
        EXPECT_TRUE(alone[group].enabled.has_value()) << kind << " " << mode;
      }
      // With one device the apply-to-all button never shows, and multi-device mode changes
      // nothing else.
      EXPECT_EQ(alone[LightGroup::kSameMode].visible, false) << kind << " " << mode;
      for (size_t g = 0; g < kLightGroupCount; ++g) {
        if (static_cast<LightGroup>(g) == LightGroup::kSameMode) continue;
        EXPECT_EQ(alone.groups[g], several.groups[g]) << kind << " " << mode << " group " << g;
      }
      // The music combo shows exactly when the music colour page does; a hidden speed group is
      // never hidden and usable at once, except in keyboard mode 17, where the ZZCC combo
      // takes its place.
      EXPECT_EQ(alone[LightGroup::kMusic].visible == true, alone.colourPage == kMusicColourPage);
      if (alone[LightGroup::kSpeed].visible == false && alone[LightGroup::kSpeed].enabled == true) {
        EXPECT_EQ(kind, kKeyboard);
        EXPECT_EQ(mode, 17);
        EXPECT_EQ(alone[LightGroup::kZzcc].visible, true);
      }
    }
  }
}

}  // namespace
}  // namespace varkon
