#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "devices/key_tables.h"

namespace varkon {
namespace {

using Bytes = std::tuple<int, int, int>;
Bytes BytesOf(AssignmentCode code) {
  return {code.kind, code.b1, code.b2};
}

AssignmentCode Named(const char* name) {
  const int row = FindKeyCodeRowByName(name);
  EXPECT_GE(row, 0) << name;
  return row < 0 ? AssignmentCode{0xEE, 0xEE, 0xEE} : KeyCodeTable()[row].code;
}

AssignmentCode K(uint8_t usage) {
  return {kAssignKeyboard, 0, usage};
}

TEST(KeyCodeTable, ModifierRowsAreSingleBitsInOrder) {
  const auto& table = KeyCodeTable();
  const char* names[] = {"LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin"};
  for (size_t i = 0; i < kKeyCodeModifierRows; ++i) {
    EXPECT_EQ(table[i].code, (AssignmentCode{kAssignKeyboard, static_cast<uint8_t>(1u << i), 0}));
    EXPECT_EQ(std::string(table[i].labelKey), std::string("keyboard_key_") + names[i]);
  }
}

TEST(KeyCodeTable, KeyRowsFollowTheUsagesAndSkipK42sUsage) {
  const auto& table = KeyCodeTable();
  // Rows 8-102 run through usages 0x04-0x63, except 0x32 which only row 113 (K42) carries.
  for (size_t row = 8; row <= 102; ++row) {
    const unsigned usage = 0x04 + (row - 8) + (row >= 54 ? 1 : 0);
    EXPECT_EQ(table[row].code, K(static_cast<uint8_t>(usage))) << row;
  }
  EXPECT_EQ(table[113].code, K(0x32));
  EXPECT_STREQ(table[113].labelKey, "keyboard_key_K42");
}

TEST(KeyCodeTable, NamedRowsHoldTheirCodes) {
  EXPECT_EQ(FindKeyCodeRowByName("A"), 8);
  EXPECT_EQ(Named("Enter"), K(0x28));
  EXPECT_EQ(Named("xiegang"), K(0x31));
  EXPECT_EQ(FindKeyCodeRowByName("`"), 56);  // the grave accent's label key ends in '`'
  EXPECT_EQ(Named("`"), K(0x35));
  EXPECT_EQ(Named("F12"), K(0x45));
  EXPECT_EQ(Named("Num Lock"), K(0x53));
  EXPECT_EQ(Named("Num Enter"), K(0x58));
  EXPECT_EQ(Named("Decimal"), K(0x63));
  EXPECT_EQ(Named("App"), K(0x65));
  EXPECT_EQ(Named("K151"), K(0x90));
  EXPECT_EQ(Named("Launch App2"), (AssignmentCode{kAssignMedia, 0x92, 0x01}));
  EXPECT_EQ(Named("Browaer Home"), (AssignmentCode{kAssignMedia, 0x23, 0x02}));
  EXPECT_EQ(Named("Launch Media Select"), (AssignmentCode{kAssignMedia, 0x83, 0x01}));
  EXPECT_EQ(Named("Wakeup"), (AssignmentCode{kAssignSystem, 0x04, 0}));
  EXPECT_EQ(Named("M5"), (AssignmentCode{kAssignOnboardMacro, 0xA2, 5}));
  EXPECT_EQ(Named("FN"), (AssignmentCode{kAssignSpecial, 0x01, 0}));
  EXPECT_EQ(Named("GM"), (AssignmentCode{kAssignSpecial, 0x1B, 0}));
  EXPECT_EQ(FindKeyCodeRowByName("GM"), 141);
  // Row 130 is the one whose label key is not "keyboard_key_" + name.
  EXPECT_STREQ(KeyCodeTable()[130].labelKey, "wed_stop");
  EXPECT_EQ(KeyCodeTable()[130].code, (AssignmentCode{kAssignMedia, 0x26, 0x02}));
}

TEST(KeyCodeTable, NameLookupNeedsTheWholeName) {
  EXPECT_EQ(FindKeyCodeRowByName(""), -1);
  EXPECT_EQ(FindKeyCodeRowByName("keyboard_key_A"), -1);
  EXPECT_EQ(FindKeyCodeRowByName("Num"), -1);
  EXPECT_EQ(FindKeyCodeRowByName("a"), -1);
  EXPECT_EQ(FindKeyCodeRowByName("wed_stop"), -1);
}

TEST(KeyCodeTable, CodesAreUniqueAndKeyRowsAreUniqueOnB1B2) {
  std::set<Bytes> codes;
  for (const KeyRow& row : KeyCodeTable()) {
    EXPECT_TRUE(codes.insert(BytesOf(row.code)).second) << row.labelKey;
    EXPECT_NE(std::string(row.labelKey), "");
  }
  // Labels look kind 0x00 and 0x20 codes up by b1 and b2 alone.
  std::set<std::pair<int, int>> keys;
  for (size_t i = 0; i < kKeyCodeKeyboardRows; ++i) {
    const AssignmentCode& code = KeyCodeTable()[i].code;
    EXPECT_EQ(code.kind, kAssignKeyboard);
    EXPECT_TRUE(keys.insert({code.b1, code.b2}).second) << i;
  }
  EXPECT_NE(KeyCodeTable()[kKeyCodeKeyboardRows].code.kind, kAssignKeyboard);
}

TEST(KeyCodeTable, MediaRowsAreTheMediaListsUsages) {
  std::set<Bytes> fromCodeTable;
  for (size_t i = 114; i <= 131; ++i) fromCodeTable.insert(BytesOf(KeyCodeTable()[i].code));
  std::set<Bytes> fromMediaList;
  for (const KeyRow& row : MediaTable()) fromMediaList.insert(BytesOf(row.code));
  EXPECT_EQ(fromCodeTable.size(), 18u);
  EXPECT_EQ(fromCodeTable, fromMediaList);
}

TEST(FindRow, MatchesAllBytesOrOnlyB1B2AndReturnsTheFirst) {
  const auto& table = KeyCodeTable();
  const AssignmentCode power{kAssignSystem, 0x01, 0};
  EXPECT_EQ(FindRow(table, power), 132);
  EXPECT_EQ(FindRow(table, power, CodeMatch::kB1B2), 0);  // left Ctrl shares b1, b2
  EXPECT_EQ(FindRow(table, AssignmentCode{kAssignNone, 0, 0x04}), -1);
  EXPECT_EQ(FindRow(table, AssignmentCode{kAssignNone, 0, 0x04}, CodeMatch::kB1B2), 8);
  EXPECT_EQ(FindRow(table, kEmptyKeyCode), -1);
  EXPECT_EQ(FindRow(std::span<const KeyRow>(), power), -1);
  // The picker holds the empty key twelve times; the first is row 104.
  EXPECT_EQ(FindRow(KeyPickerTable(), kEmptyKeyCode), 104);
}

TEST(KeyPickerTable, RowsAreNamedKeysInPickerOrder) {
  const auto& picker = KeyPickerTable();
  EXPECT_EQ(picker[0].code, Named("Esc"));
  EXPECT_EQ(picker[12].code, Named("F12"));
  EXPECT_EQ(picker[16].code, Named("`"));
  EXPECT_EQ(picker[26].code, Named("0"));
  EXPECT_EQ(picker[37].code, Named("Tab"));
  EXPECT_EQ(picker[57].code, Named("Caplk"));
  EXPECT_EQ(picker[73].code, Named("Num +"));
  EXPECT_EQ(picker[90].code, Named("Num Enter"));
  EXPECT_EQ(picker[96].code, Named("FN"));
  EXPECT_EQ(picker[103].code, Named("Decimal"));
  EXPECT_EQ(picker[104].code, kEmptyKeyCode);
  EXPECT_EQ(picker[105].code, Named("RWin"));
  for (int m = 0; m < 5; ++m) {
    EXPECT_EQ(picker[106 + m].code, (AssignmentCode{kAssignOnboardMacro, 0xA2, uint8_t(m + 1)}));
  }
  EXPECT_EQ(picker[111].code, Named("K56"));
  EXPECT_EQ(picker[114].code, Named("K107"));
  for (size_t i = 115; i < kKeyPickerRowCount; ++i) EXPECT_EQ(picker[i].code, kEmptyKeyCode) << i;
}

TEST(KeyPickerTable, EveryKeyIsAKeyboardOrSpecialCodeOfTheCodeTable) {
  std::set<Bytes> seen;
  int empty = 0;
  for (const KeyRow& row : KeyPickerTable()) {
    if (row.code == kEmptyKeyCode) {
      ++empty;
      continue;
    }
    EXPECT_TRUE(row.code.kind == kAssignKeyboard || row.code.kind == kAssignSpecial ||
                row.code.kind == kAssignOnboardMacro)
        << row.labelKey;
    const int named = FindRow(KeyCodeTable(), row.code);
    ASSERT_GE(named, 0) << row.labelKey;
    EXPECT_STREQ(KeyCodeTable()[named].labelKey, row.labelKey);
    EXPECT_TRUE(seen.insert(BytesOf(row.code)).second) << row.labelKey;
  }
  EXPECT_EQ(empty, 12);
}

TEST(CaptureTable, KnownScanCodes) {
  struct Expect {
    const char* name;
    uint8_t scan;
    bool extended;
  };
  const Expect expected[] = {
      {"LCtrl", 0x1D, false}, {"RCtrl", 0x1D, true},     {"A", 0x1E, false},
      {"Enter", 0x1C, false}, {"Num Enter", 0x1C, true}, {"Print Scr", 0x37, true},
      {"Pause", 0x45, false}, {"Num Lock", 0x45, true},  {"K45", 0x56, false},
      {"K56", 0x73, false},   {"K14", 0x7D, false},      {"K107", 0x7E, false},
      {"K131", 0x7B, false},  {"K132", 0x79, false},     {"K133", 0x70, false},
      {"K150", 0x71, false},  {"K151", 0x72, false},     {"Esc", 0x01, false},
      {"1", 0x02, false},     {"F11", 0x57, false},      {"Num *", 0x37, false},
      {"Num /", 0x35, true},  {"/", 0x35, false},        {"RShift", 0x36, false},
      {"Delete", 0x53, true}, {"Decimal", 0x53, false},  {"LWin", 0x5B, true},
      {"App", 0x5D, true},    {"Space", 0x39, false},    {"`", 0x29, false},
      {"Num 1", 0x4F, false}, {"Num 2", 0x50, false},    {"Num 7", 0x47, false},
      {"Num 0", 0x52, false}, {"Insert", 0x52, true},    {"Home", 0x47, true},
      {"End", 0x4F, true},    {"Q", 0x10, false},        {"M", 0x32, false},
      {"F10", 0x44, false},   {"RWin", 0x5C, true},      {"RAlt", 0x38, true},
  };
  for (const Expect& e : expected) {
    const int row = FindKeyCodeRowByName(e.name);
    ASSERT_GE(row, 0) << e.name;
    ASSERT_LT(static_cast<size_t>(row), kCaptureRowCount) << e.name;
    EXPECT_EQ(CaptureTable()[row].scanCode, e.scan) << e.name;
    EXPECT_EQ(CaptureTable()[row].extended, e.extended) << e.name;
    EXPECT_EQ(FindCaptureRow(e.scan, e.extended), row) << e.name;
  }
}

TEST(CaptureTable, EveryKeyIsFoundByItsOwnScanCode) {
  std::set<std::pair<int, bool>> seen;
  for (size_t row = 0; row < kCaptureRowCount; ++row) {
    const CaptureRow& capture = CaptureTable()[row];
    EXPECT_NE(capture.scanCode, 0) << row;
    EXPECT_TRUE(seen.insert({capture.scanCode, capture.extended}).second) << row;
    EXPECT_EQ(FindCaptureRow(capture.scanCode, capture.extended), static_cast<int>(row));
  }
  EXPECT_EQ(FindCaptureRow(0x1E, true), -1);
  EXPECT_EQ(FindCaptureRow(0x00, false), -1);
  EXPECT_EQ(FindCaptureRow(0xFF, true), -1);
}

TEST(EditorTables, RowsInListOrder) {
  const uint8_t buttons[] = {0x01, 0x04, 0x02, 0x10, 0x08};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(MouseButtonTable()[i].code, (AssignmentCode{kAssignMouseButton, buttons[i], 0}));
  }
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(DpiTable()[i].code, (AssignmentCode{kAssignDpi, uint8_t(i + 1), 0}));
    EXPECT_EQ(SystemTable()[i].code, (AssignmentCode{kAssignSystem, uint8_t(1u << i), 0}));
  }
  const uint16_t media[] = {0x0183, 0x00CD, 0x00B7, 0x00B6, 0x00B5, 0x00EA, 0x00E9, 0x00E2, 0x0223,
                            0x0227, 0x0226, 0x0224, 0x0225, 0x022A, 0x0221, 0x0194, 0x0192, 0x018A};
  for (size_t i = 0; i < 18; ++i) {
    const AssignmentCode code = MediaTable()[i].code;
    EXPECT_EQ(code.kind, kAssignMedia);
    EXPECT_EQ(code.b1 | code.b2 << 8, media[i]) << i;  // little-endian usage
  }
  EXPECT_STREQ(MediaTable()[0].labelKey, "media_text");
  EXPECT_STREQ(MediaTable()[10].labelKey, "wed_stop");
  EXPECT_STREQ(MediaTable()[17].labelKey, "media_mail");
}

TEST(EditorTables, CombinationKeysAreRightCtrlWithTheirLetters) {
  const char* letters[] = {"O", "N", "Z", "S", "C", "X", "V", "F", "A", "-", "="};
  for (size_t i = 0; i < 11; ++i) {
    const AssignmentCode code = CombinationKeyTable()[i].code;
    EXPECT_EQ(code, (AssignmentCode{kAssignKeyboard, 0x10, Named(letters[i]).b2})) << i;
    // No picker key carries a combination, so decoding one always reaches its own row.
    EXPECT_EQ(FindRow(KeyPickerTable(), code, CodeMatch::kB1B2), -1);
  }
  EXPECT_STREQ(CombinationKeyTable()[4].labelKey, "custem_copy");
  EXPECT_STREQ(CombinationKeyTable()[10].labelKey, "custem_magnify");
}

TEST(CanonicalKeyList, EntriesAtKnownPositions) {
  const auto& list = CanonicalKeyList();
  EXPECT_EQ(list[0], Named("Esc"));
  EXPECT_EQ(list[12], Named("F12"));
  EXPECT_EQ(list[15], Named("Pause"));
  EXPECT_EQ(list[16], (AssignmentCode{kAssignSpecial, 0x1B, 0}));
  EXPECT_EQ(list[17], (AssignmentCode{kAssignMedia, 0x92, 0x01}));
  EXPECT_EQ(list[18], (AssignmentCode{kAssignMedia, 0xE2, 0x00}));
  EXPECT_EQ(list[19], (AssignmentCode{kAssignMedia, 0xEA, 0x00}));
  EXPECT_EQ(list[20], (AssignmentCode{kAssignMedia, 0xE9, 0x00}));
  EXPECT_EQ(list[21], K(0x35));
  EXPECT_EQ(list[42], Named("Tab"));
  EXPECT_EQ(list[62], K(0x32));  // K42
  EXPECT_EQ(list[63], Named("Caplk"));
  EXPECT_EQ(list[79], Named("K132"));
  EXPECT_EQ(list[83], Named("K133"));
  EXPECT_EQ(list[84], Named("LShift"));
  EXPECT_EQ(list[95], Named("RShift"));
  EXPECT_EQ(list[103], Named("K107"));
  EXPECT_EQ(list[104], kEmptyKeyCode);
  EXPECT_EQ(list[105], Named("LCtrl"));
  EXPECT_EQ(list[kFnKeyListIndex], (AssignmentCode{kAssignSpecial, 0x01, 0}));
  EXPECT_EQ(list[112], Named("RCtrl"));
  EXPECT_EQ(list[118], Named("Num Enter"));
  EXPECT_EQ(list[119], Named("Num +"));
  EXPECT_EQ(list[120], (AssignmentCode{kAssignOnboardMacro, 0xA2, 1}));
  EXPECT_EQ(list[124], (AssignmentCode{kAssignOnboardMacro, 0xA2, 5}));
  EXPECT_EQ(list[125], Named("RWin"));
  for (size_t i = 126; i < kCanonicalKeyCount; ++i) EXPECT_EQ(list[i], kEmptyKeyCode) << i;
}

TEST(CanonicalKeyList, EveryKeyIsNamedOnceAndEveryKeyboardRowIsPresent) {
  const auto& list = CanonicalKeyList();
  std::set<Bytes> seen;
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    if (list[i] == kEmptyKeyCode) {
      EXPECT_TRUE(i == 104 || i >= 126) << i;
      continue;
    }
    EXPECT_GE(FindRow(KeyCodeTable(), list[i]), 0) << i;
    EXPECT_TRUE(seen.insert(BytesOf(list[i])).second) << i;
    EXPECT_EQ(FindCanonicalIndex(list[i]), static_cast<int>(i));
  }
  EXPECT_EQ(seen.size(), 125u);
  for (size_t row = 0; row < kKeyCodeKeyboardRows; ++row) {
    EXPECT_GE(FindCanonicalIndex(KeyCodeTable()[row].code), 0) << KeyCodeTable()[row].labelKey;
  }
  EXPECT_EQ(FindCanonicalIndex(kEmptyKeyCode), 104);
  EXPECT_EQ(FindCanonicalIndex(AssignmentCode{kAssignSystem, 1, 0}), -1);
}

TEST(FnLockedKeys, ResolveToTheNamedKeys) {
  const char* names[] = {"Esc",    "F1",     "F2",   "F3",        "F4",    "F5",   "F6", "F7",
                         "F8",     "F9",     "F10",  "F11",       "F12",   "A",    "S",  "Enter",
                         "RShift", "Delete", "Left", "Right",     "Up",    "Down", "Q",  "W",
                         "E",      "R",      "T",    "BackSpace", "Space", "LWin", "`",  "H"};
  const auto& locked = FnLockedKeys();
  ASSERT_EQ(locked.size(), kFnLockedKeyCount);
  std::set<uint16_t> unique(locked.begin(), locked.end());
  EXPECT_EQ(unique.size(), locked.size());
  for (size_t i = 0; i < locked.size(); ++i) {
    ASSERT_LT(locked[i], kCanonicalKeyCount);
    EXPECT_EQ(CanonicalKeyList()[locked[i]], Named(names[i])) << names[i];
    EXPECT_NE(locked[i], kFnKeyListIndex);
  }
  EXPECT_EQ(locked[0], 0);    // Esc
  EXPECT_EQ(locked[13], 64);  // A
  EXPECT_EQ(locked[30], 21);  // grave accent
}

TEST(MouseCanonicalButtons, ElevenButtonsWithTheirDefaults) {
  const auto& buttons = MouseCanonicalButtons();
  EXPECT_EQ(buttons[0].code, (AssignmentCode{kAssignMouseButton, 0x01, 0}));
  EXPECT_EQ(buttons[1].code, (AssignmentCode{kAssignMouseButton, 0x02, 0}));
  EXPECT_EQ(buttons[2].code, (AssignmentCode{kAssignMouseButton, 0x04, 0}));
  EXPECT_EQ(buttons[3].code, (AssignmentCode{kAssignMouseButton, 0x10, 0}));
  EXPECT_EQ(buttons[4].code, (AssignmentCode{kAssignMouseButton, 0x08, 0}));
  EXPECT_EQ(buttons[7].code, (AssignmentCode{kAssignDpi, 3, 0}));
  EXPECT_EQ(buttons[8].code, (AssignmentCode{kAssignSpecial, 0x1B, 0}));
  EXPECT_EQ(buttons[9].code, (AssignmentCode{kAssignDpiShift, 0x90, 0x01}));
  EXPECT_EQ(buttons[10].code, (AssignmentCode{kAssignFire, 0x78, 0x02}));
  EXPECT_STREQ(buttons[8].nameKey, "keyboard_key_GM");
  EXPECT_STREQ(buttons[9].nameKey, "mouse_key_M8_key");
  std::set<Bytes> codes;
  for (const MouseButton& b : buttons) EXPECT_TRUE(codes.insert(BytesOf(b.code)).second);
}

TEST(AssignmentCode, ProfileValuePacksKindB1B2) {
  const AssignmentCode code{kAssignMacroRepeat, 0x03, 0xFE};
  EXPECT_EQ(code.ToProfileValue(), 0x7103FEu);
  EXPECT_EQ(AssignmentCode::FromProfileValue(0x7103FE), code);
  // Bits above the three bytes are dropped.
  EXPECT_EQ(AssignmentCode::FromProfileValue(0xAB2F2004u), (AssignmentCode{0x2F, 0x20, 0x04}));
  for (const AssignmentCode& c : CanonicalKeyList()) {
    EXPECT_EQ(AssignmentCode::FromProfileValue(c.ToProfileValue()), c);
  }
}

}  // namespace
}  // namespace varkon
