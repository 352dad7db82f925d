// The evdev-to-set-1 table against the capture table: each kernel key lands on the capture row
// of the same key, every capture row can be typed, and no two kernel keys share a scan code.
#include "devices/evdev_scan_codes.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "devices/key_tables.h"

namespace varkon {
namespace {

// Kernel key name -> the name of the same key in the key code table ("keyboard_key_" + name).
// Every row of the capture table has exactly one entry here.
const std::vector<std::pair<uint32_t, std::string>>& KernelKeysByName() {
  static const std::vector<std::pair<uint32_t, std::string>> keys = {
      {KEY_LEFTCTRL, "LCtrl"},
      {KEY_LEFTSHIFT, "LShift"},
      {KEY_LEFTALT, "LAlt"},
      {KEY_LEFTMETA, "LWin"},
      {KEY_RIGHTCTRL, "RCtrl"},
      {KEY_RIGHTSHIFT, "RShift"},
      {KEY_RIGHTALT, "RAlt"},
      {KEY_RIGHTMETA, "RWin"},
      {KEY_A, "A"},
      {KEY_B, "B"},
      {KEY_C, "C"},
      {KEY_D, "D"},
      {KEY_E, "E"},
      {KEY_F, "F"},
      {KEY_G, "G"},
      {KEY_H, "H"},
      {KEY_I, "I"},
      {KEY_J, "J"},
      {KEY_K, "K"},
      {KEY_L, "L"},
      {KEY_M, "M"},
      {KEY_N, "N"},
      {KEY_O, "O"},
      {KEY_P, "P"},
      {KEY_Q, "Q"},
      {KEY_R, "R"},
      {KEY_S, "S"},
      {KEY_T, "T"},
      {KEY_U, "U"},
      {KEY_V, "V"},
      {KEY_W, "W"},
      {KEY_X, "X"},
      {KEY_Y, "Y"},
      {KEY_Z, "Z"},
      {KEY_1, "1"},
      {KEY_2, "2"},
      {KEY_3, "3"},
      {KEY_4, "4"},
      {KEY_5, "5"},
      {KEY_6, "6"},
      {KEY_7, "7"},
      {KEY_8, "8"},
      {KEY_9, "9"},
      {KEY_0, "0"},
      {KEY_ENTER, "Enter"},
      {KEY_ESC, "Esc"},
      {KEY_BACKSPACE, "BackSpace"},
      {KEY_TAB, "Tab"},
      {KEY_SPACE, "Space"},
      {KEY_MINUS, "-"},
      {KEY_EQUAL, "="},
      {KEY_LEFTBRACE, "["},
      {KEY_RIGHTBRACE, "]"},
      {KEY_BACKSLASH, "xiegang"},
      {KEY_SEMICOLON, ";"},
      {KEY_APOSTROPHE, "'"},
      {KEY_GRAVE, "`"},
      {KEY_COMMA, "<"},
      {KEY_DOT, "."},
      {KEY_SLASH, "/"},
      {KEY_CAPSLOCK, "Caplk"},
      {KEY_F1, "F1"},
      {KEY_F2, "F2"},
      {KEY_F3, "F3"},
      {KEY_F4, "F4"},
      {KEY_F5, "F5"},
      {KEY_F6, "F6"},
      {KEY_F7, "F7"},
      {KEY_F8, "F8"},
      {KEY_F9, "F9"},
      {KEY_F10, "F10"},
      {KEY_F11, "F11"},
      {KEY_F12, "F12"},
      {KEY_SYSRQ, "Print Scr"},
      {KEY_SCROLLLOCK, "Scroll Lock"},
      {KEY_PAUSE, "Pause"},
      {KEY_INSERT, "Insert"},
      {KEY_HOME, "Home"},
      {KEY_PAGEUP, "Page Up"},
      {KEY_DELETE, "Delete"},
      {KEY_END, "End"},
      {KEY_PAGEDOWN, "Page Down"},
      {KEY_RIGHT, "Right"},
      {KEY_LEFT, "Left"},
      {KEY_DOWN, "Down"},
      {KEY_UP, "Up"},
      {KEY_NUMLOCK, "Num Lock"},
      {KEY_KPSLASH, "Num /"},
      {KEY_KPASTERISK, "Num *"},
      {KEY_KPMINUS, "Num -"},
      {KEY_KPPLUS, "Num +"},
      {KEY_KPENTER, "Num Enter"},
      {KEY_KP1, "Num 1"},
      {KEY_KP2, "Num 2"},
      {KEY_KP3, "Num 3"},
      {KEY_KP4, "Num 4"},
      {KEY_KP5, "Num 5"},
      {KEY_KP6, "Num 6"},
      {KEY_KP7, "Num 7"},
      {KEY_KP8, "Num 8"},
      {KEY_KP9, "Num 9"},
      {KEY_KP0, "Num 0"},
      {KEY_KPDOT, "Decimal"},
      {KEY_COMPOSE, "App"},
      {KEY_102ND, "K45"},      // the extra key of ISO keyboards
      {KEY_RO, "K56"},         // Japanese Ro
      {KEY_YEN, "K14"},        // Japanese Yen
      {KEY_KPCOMMA, "K107"},   // the keypad comma of Brazilian keyboards
      {KEY_MUHENKAN, "K131"},  // Japanese non-conversion
      {KEY_HENKAN, "K132"},    // Japanese conversion
      {KEY_KATAKANAHIRAGANA, "K133"},
      {KEY_HANJA, "K150"},    // Korean Hanja
      {KEY_HANGEUL, "K151"},  // Korean Hangul/English
  };
  return keys;
}

int RowNamed(const std::string& name) {
  return FindKeyCodeRowByName(name);
}

TEST(EvdevScanCodes, EachKernelKeyLandsOnTheCaptureRowOfTheSameKey) {
  for (const auto& [evdev, name] : KernelKeysByName()) {
    SCOPED_TRACE(name);
    const int expectedRow = RowNamed(name);
    ASSERT_GE(expectedRow, 0);
    ASSERT_LT(static_cast<size_t>(expectedRow), kCaptureRowCount);
    const std::optional<Set1Key> key = Set1FromEvdev(evdev);
    ASSERT_TRUE(key.has_value()) << "evdev " << evdev;
    EXPECT_EQ(FindCaptureRow(key->scanCode, key->extended), expectedRow)
        << "evdev " << evdev << " gives " << std::hex << int(key->scanCode)
        << (key->extended ? " extended" : "");
  }
}

TEST(EvdevScanCodes, EveryCaptureRowCanBeTyped) {
  // Row 113 (K42) is outside the capture table: it has no scan code and no kernel key.
  std::set<int> named;
  for (const auto& [evdev, name] : KernelKeysByName()) named.insert(RowNamed(name));
  EXPECT_EQ(named.size(), kCaptureRowCount);

  for (size_t row = 0; row < kCaptureRowCount; ++row) {
    const CaptureRow& capture = CaptureTable()[row];
    bool reached = false;
    for (const EvdevSet1Row& entry : EvdevSet1Table()) {
      if (entry.key.scanCode == capture.scanCode && entry.key.extended == capture.extended) {
        reached = true;
      }
    }
    EXPECT_TRUE(reached) << "capture row " << row << " (" << KeyCodeTable()[row].labelKey
                         << ") has no kernel key";
  }
}

TEST(EvdevScanCodes, NoTwoKernelKeysShareAScanCode) {
  std::map<std::pair<uint8_t, bool>, uint32_t> seen;
  for (const EvdevSet1Row& entry : EvdevSet1Table()) {
    const auto [it, inserted] =
        seen.emplace(std::make_pair(entry.key.scanCode, entry.key.extended), entry.evdevCode);
    EXPECT_TRUE(inserted) << "evdev " << entry.evdevCode << " and " << it->second << " both give "
                          << std::hex << int(entry.key.scanCode);
    EXPECT_NE(entry.key.scanCode, 0) << "evdev " << entry.evdevCode;
  }
}

TEST(EvdevScanCodes, FindsEveryListedCodeAndNothingElse) {
  std::set<uint32_t> listed;
  for (const EvdevSet1Row& entry : EvdevSet1Table()) {
    listed.insert(entry.evdevCode);
    const std::optional<Set1Key> key = Set1FromEvdev(entry.evdevCode);
    ASSERT_TRUE(key.has_value()) << entry.evdevCode;
    EXPECT_EQ(*key, entry.key);
  }
  for (uint32_t code = 0; code < 0x300; ++code) {
    if (listed.contains(code)) continue;
    EXPECT_FALSE(Set1FromEvdev(code).has_value()) << code;
  }
  // Mouse buttons and codes past the table have none.
  EXPECT_FALSE(Set1FromEvdev(BTN_LEFT).has_value());
  EXPECT_FALSE(Set1FromEvdev(0xFFFFFFFFu).has_value());
}

TEST(EvdevScanCodes, FunctionKeysBeyondTwelveHaveTheirScanCodes) {
  // F13-F24 are outside the capture table but the recorder can take them.
  std::set<std::pair<uint8_t, bool>> keys;
  for (uint32_t code = KEY_F13; code <= KEY_F24; ++code) {
    const std::optional<Set1Key> key = Set1FromEvdev(code);
    ASSERT_TRUE(key.has_value()) << code;
    EXPECT_FALSE(key->extended);
    EXPECT_EQ(FindCaptureRow(key->scanCode, key->extended), -1) << code;
    keys.insert({key->scanCode, key->extended});
  }
  EXPECT_EQ(keys.size(), 12u);
}

}  // namespace
}  // namespace varkon
