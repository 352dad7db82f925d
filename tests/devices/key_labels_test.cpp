#include <gtest/gtest.h>

#include <map>

#include "devices/key_labels.h"
#include "devices/key_tables.h"

namespace varkon {
namespace {

// Brackets every id so a test sees which language keys were looked up.
std::string Bracket(const std::string& id) {
  return "<" + id + ">";
}
const Translator kBracket = Bracket;

std::optional<std::string> Label(AssignmentCode code, const std::vector<std::string>& macros = {}) {
  return CodeLabel(code, kBracket, macros);
}

TEST(CodeLabel, KeyboardKeysByTheirRow) {
  for (size_t row = 0; row < kKeyCodeKeyboardRows; ++row) {
    const KeyRow& key = KeyCodeTable()[row];
    EXPECT_EQ(Label(key.code), Bracket(key.labelKey)) << row;
    // Kind 0x00 is shown like a keyboard key.
    EXPECT_EQ(Label({kAssignNone, key.code.b1, key.code.b2}), Bracket(key.labelKey)) << row;
  }
}

TEST(CodeLabel, EmptyKeyIsOff) {
  EXPECT_EQ(Label(kEmptyKeyCode), "<close_text>");
  EXPECT_EQ(Label({kAssignNone, 0, 0}), "<close_text>");
}

TEST(CodeLabel, CombinationsWithoutARowJoinTheSharedRows) {
  EXPECT_EQ(Label({kAssignKeyboard, 0x10, 0x06}), "<keyboard_key_RCtrl>+<keyboard_key_C>");
  EXPECT_EQ(Label({kAssignKeyboard, 0x01, 0x2C}), "<keyboard_key_LCtrl>+<keyboard_key_Space>");
  // Two modifiers match no single modifier row: only the key is named.
  EXPECT_EQ(Label({kAssignKeyboard, 0x03, 0x06}), "<keyboard_key_C>");
}

TEST(CodeLabel, AZeroByteNamesNothing) {
  // Without this an unknown usage would list every key whose modifier byte is 0.
  EXPECT_EQ(Label({kAssignKeyboard, 0x00, 0x99}), std::nullopt);
  EXPECT_EQ(Label({kAssignKeyboard, 0x05, 0x00}), std::nullopt);
  EXPECT_EQ(Label({kAssignKeyboard, 0x40, 0x99}), "<keyboard_key_RAlt>");
}

TEST(CodeLabel, MouseFunctions) {
  for (const KeyRow& row : MouseButtonTable()) {
    EXPECT_EQ(Label({kAssignMouseButton, row.code.b1, 0x55}), Bracket(row.labelKey));
  }
  EXPECT_EQ(Label({kAssignMouseButton, 0x20, 0}), std::nullopt);
  EXPECT_EQ(Label({kAssignSwing, 0x33, 0x05}), "<mouse_key_left_Swing>");
  EXPECT_EQ(Label({kAssignSwing, 0x33, 0x85}), "<mouse_key_right_Swing>");
  EXPECT_EQ(Label({kAssignWheel, 0, 0x7F}), "<mouse_key_up_Swing>");
  EXPECT_EQ(Label({kAssignWheel, 0, 0xFF}), "<mouse_key_down_Swing>");
  EXPECT_EQ(Label({kAssignDpi, 1, 0}), "<mouse_key_DPI_add>");
  EXPECT_EQ(Label({kAssignDpi, 2, 0}), "<mouse_key_DPI_sub>");
  EXPECT_EQ(Label({kAssignDpi, 3, 0}), "<mouse_key_DPI_loop>");
  EXPECT_EQ(Label({kAssignDpi, 4, 0}), std::nullopt);
  EXPECT_EQ(Label({kAssignFire, 0x78, 2}), "<mouse_key_fire_key>");
  EXPECT_EQ(Label({kAssignDpiShift, 0x90, 0x01}), "<mouse_key_DPI_shift>");
}

TEST(CodeLabel, MediaSystemAndShortcuts) {
  for (const KeyRow& row : MediaTable()) EXPECT_EQ(Label(row.code), Bracket(row.labelKey));
  EXPECT_EQ(Label({kAssignMedia, 0x99, 0x09}), std::nullopt);
  EXPECT_EQ(Label({kAssignSystem, 0x02, 0}), "<system_sleep>");
  EXPECT_EQ(Label({kAssignSystem, 0x03, 0}), std::nullopt);
  EXPECT_EQ(Label({kAssignEditShortcut, 0, 0}), "<custem_open>");
  EXPECT_EQ(Label({kAssignEditShortcut, 0, 8}), "<custem_select_all>");
  EXPECT_EQ(Label({kAssignEditShortcut, 0, 9}), std::nullopt);
  EXPECT_EQ(Label({kAssignShowWindow, 0, 0}), "<show_window>");
  EXPECT_EQ(Label({kAssignShowWindow, 1, 0}), std::nullopt);
}

TEST(CodeLabel, SpecialCodes) {
  EXPECT_EQ(Label({kAssignSpecial, 0x00, 0}), "<com_key_nothing>");
  EXPECT_EQ(Label({kAssignSpecial, 0x02, 7}), "<mouse_key_smart_key>");
  EXPECT_EQ(Label({kAssignSpecial, 0x01, 0}), std::nullopt);  // Fn
  EXPECT_EQ(Label({kAssignSpecial, 0x1B, 0}), std::nullopt);  // game mode
  EXPECT_EQ(Label({kAssignOnboardMacro, 0xA2, 1}), std::nullopt);
  EXPECT_EQ(Label({kAssignOnboardMacro, 0x00, 0}), std::nullopt);
}

TEST(CodeLabel, MacrosUseTheUntranslatedName) {
  const std::vector<std::string> macros = {"first", "second"};
  EXPECT_EQ(Label({kAssignMacro, 1, 0}, macros), "second");
  EXPECT_EQ(Label({kAssignMacroRepeat, 0, 9}, macros), "first");
  EXPECT_EQ(Label({kAssignMacro, 2, 0}, macros), std::nullopt);
  EXPECT_EQ(Label({kAssignMacroRepeat, 255, 0}, macros), std::nullopt);
  EXPECT_EQ(Label({kAssignMacro, 0, 0}), std::nullopt);
}

TEST(CodeLabel, KindsThatKeepTheirLabelAndKindsThatAreOff) {
  for (int kind : {0x15, 0x21, 0x50, 0x60, 0xB0, 0xC0}) {
    EXPECT_EQ(Label({static_cast<uint8_t>(kind), 0, 0}), std::nullopt) << kind;
  }
  for (int kind : {0x01, 0x17, 0x72, 0x80, 0xFF}) {
    EXPECT_EQ(Label({static_cast<uint8_t>(kind), 1, 2}), kLabelOff) << kind;
  }
  EXPECT_EQ(std::string(kLabelOff), "\u5173\u95ed");
}

TEST(CodeLabel, WithoutATranslatorTheIdsAreShown) {
  EXPECT_EQ(CodeLabel({kAssignKeyboard, 0, 0x04}, Translator(), {}), "keyboard_key_A");
  EXPECT_EQ(Translate(Translator(), "x"), "x");
}

TEST(DefaultKeyName, FromTheCodeTableOrTheLabel) {
  EXPECT_EQ(DefaultKeyName(CanonicalKeyList()[0], kBracket), "<keyboard_key_Esc>");
  EXPECT_EQ(DefaultKeyName(CanonicalKeyList()[kFnKeyListIndex], kBracket), "<keyboard_key_FN>");
  EXPECT_EQ(DefaultKeyName(CanonicalKeyList()[17], kBracket), "<keyboard_key_Launch App2>");
  EXPECT_EQ(DefaultKeyName(kEmptyKeyCode, kBracket), "<close_text>");
  EXPECT_EQ(DefaultKeyName(MouseCanonicalButtons()[0].code, kBracket), "<mouse_key_left>");
  EXPECT_EQ(DefaultKeyName({kAssignOnboardMacro, 0, 0}, kBracket), "");
}

TEST(LabelKeyButton, UnchangedWhenTheLabelIsTheDefaultName) {
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    const AssignmentCode code = CanonicalKeyList()[i];
    if (code.kind != kAssignKeyboard) continue;  // media keys are labelled from the media list
    const auto text = LabelKeyButton(code, code, kBracket, {});
    ASSERT_TRUE(text.has_value()) << i;
    EXPECT_FALSE(text->changed) << i;
    EXPECT_EQ(text->tooltipTitle, text->label) << i;
  }
}

TEST(LabelKeyButton, ChangedLabelAndTooltip) {
  const std::map<std::string, std::string> texts = {
      {"keyboard_key_A", "A"}, {"media_play", "Play"}, {"Key_Set", " -> "}};
  const Translator translate = [&texts](const std::string& id) {
    auto it = texts.find(id);
    return it == texts.end() ? id : it->second;
  };
  const auto text =
      LabelKeyButton({kAssignMedia, 0xCD, 0}, {kAssignKeyboard, 0, 0x04}, translate, {});
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->label, "Play");
  EXPECT_EQ(text->tooltipTitle, "A");
  EXPECT_EQ(text->tooltipText, "A -> Play");
  EXPECT_TRUE(text->changed);
  EXPECT_EQ(LabelKeyButton({kAssignCombination, 0, 0}, {kAssignKeyboard, 0, 0x04}, translate, {}),
            std::nullopt);
}

TEST(LabelKeyButton, ComparesIgnoringCaseBeyondAscii) {
  // A macro called like the key's name, in other capitals, leaves the key unchanged.
  const Translator translate = [](const std::string& id) {
    return id == "keyboard_key_A" ? std::string("\xd0\x96\xc3\x84 Key") : id;  // "ЖÄ Key"
  };
  const std::vector<std::string> macros = {"\xd0\xb6\xc3\xa4 kEY", "\xd0\xb6\xc3\xa4 kEX"};
  const auto same =
      LabelKeyButton({kAssignMacro, 0, 0}, {kAssignKeyboard, 0, 0x04}, translate, macros);
  ASSERT_TRUE(same.has_value());
  EXPECT_FALSE(same->changed);
  const auto other =
      LabelKeyButton({kAssignMacro, 1, 0}, {kAssignKeyboard, 0, 0x04}, translate, macros);
  ASSERT_TRUE(other.has_value());
  EXPECT_TRUE(other->changed);
}

TEST(LabelKeyList, FollowsTheEditedLayer) {
  KeyAssignmentRecord key;
  key.defaultSlot = {0, CanonicalKeyList()[0]};
  key.main = key.defaultSlot;
  key.fn = {0, {kAssignSystem, 0x01, 0}};
  KeyAssignmentRecord silent = key;
  silent.main = {1, {kAssignCombination, 0, 0}};
  const std::vector<KeyAssignmentRecord> keys = {key, silent};

  const auto main = LabelKeyList(keys, false, kBracket, {});
  ASSERT_EQ(main.size(), 2u);
  ASSERT_TRUE(main[0].has_value());
  EXPECT_EQ(main[0]->label, "<keyboard_key_Esc>");
  EXPECT_FALSE(main[0]->changed);
  EXPECT_FALSE(main[1].has_value());

  const auto fn = LabelKeyList(keys, true, kBracket, {});
  ASSERT_TRUE(fn[0].has_value());
  EXPECT_EQ(fn[0]->label, "<system_power>");
  EXPECT_TRUE(fn[0]->changed);
  EXPECT_TRUE(fn[1].has_value());
  EXPECT_TRUE(LabelKeyList({}, true, kBracket, {}).empty());
}

}  // namespace
}  // namespace varkon
