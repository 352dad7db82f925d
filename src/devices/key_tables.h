// The fixed tables behind key assignments: named codes, the on-screen key picker, the editor's
// lists, the scan codes of typed keys, the keyboard's key list and the mouse's button list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "device/device_catalogue.h"
#include "devices/key_assignment.h"

namespace varkon {

// One table row: a code and the language key of its name ("" when it has none).
struct KeyRow {
  AssignmentCode code;
  const char* labelKey;
};

enum class CodeMatch {
  kAllBytes,  // kind, b1 and b2
  kB1B2,      // b1 and b2 only
};

// Index of the first row whose code matches, or -1.
int FindRow(std::span<const KeyRow> table, AssignmentCode code,
            CodeMatch match = CodeMatch::kAllBytes);

// The empty keyboard key (0x20, 0, 0).
constexpr AssignmentCode kEmptyKeyCode{kAssignKeyboard, 0, 0};

// Master list of named codes; label keys are "keyboard_key_" + name, except row 130.
constexpr size_t kKeyCodeRowCount = 142;
constexpr size_t kKeyCodeKeyboardRows = 114;  // rows 0-113 are of kind 0x20
constexpr size_t kKeyCodeModifierRows = 8;    // rows 0-7: the eight modifier bits
const std::array<KeyRow, kKeyCodeRowCount>& KeyCodeTable();
// Row of the KeyCodeTable whose label key is "keyboard_key_" + name, or -1.
int FindKeyCodeRowByName(std::string_view name);

// The on-screen picker keys "keyboard_key_" + n of the key assignment editor.
constexpr size_t kKeyPickerRowCount = 126;
const std::array<KeyRow, kKeyPickerRowCount>& KeyPickerTable();

// Scan code (set 1) and extended flag of KeyCodeTable rows 0-112; row 113 (K42) has none.
struct CaptureRow {
  uint8_t scanCode;
  bool extended;
};
constexpr size_t kCaptureRowCount = 113;
const std::array<CaptureRow, kCaptureRowCount>& CaptureTable();
// The KeyCodeTable row of a key typed on the real keyboard, or -1.
int FindCaptureRow(uint8_t scanCode, bool extended);

// Rows of the editor's lists, in list order.
const std::array<KeyRow, 5>& MouseButtonTable();      // "keyset_mousekey_combo"
const std::array<KeyRow, 3>& DpiTable();              // "keyset_mousedpi_combo"
const std::array<KeyRow, 3>& SystemTable();           // "keyset_system_combo"
const std::array<KeyRow, 18>& MediaTable();           // "keyset_media_combo"
const std::array<KeyRow, 11>& CombinationKeyTable();  // "keyset_combokey_combo"

// Names used only for labels.
const std::array<KeyRow, 4>& SpecialFunctionTable();
const std::array<const char*, 9>& EditShortcutLabels();  // kind 0x22 by b2
inline constexpr const char* kLabelSwingLeft = "mouse_key_left_Swing";
inline constexpr const char* kLabelSwingRight = "mouse_key_right_Swing";
inline constexpr const char* kLabelWheelUp = "mouse_key_up_Swing";
inline constexpr const char* kLabelWheelDown = "mouse_key_down_Swing";
inline constexpr const char* kLabelFire = "mouse_key_fire_key";

// The keyboard's fixed key list: list index -> default code.
constexpr size_t kCanonicalKeyCount = 170;
const std::array<AssignmentCode, kCanonicalKeyCount>& CanonicalKeyList();
constexpr size_t kFnKeyListIndex = 110;
// First CanonicalKeyList index whose code equals `code`, or -1.
int FindCanonicalIndex(AssignmentCode code);

// Keys that cannot be given a Fn-layer function, as list indices (first entry with the same code).
constexpr size_t kFnLockedKeyCount = 32;
const std::vector<uint16_t>& FnLockedKeys();

// The mouse's fixed button list (kMouseButtonCount entries): list index -> default code and
// name key.
struct MouseButton {
  AssignmentCode code;
  const char* nameKey;
};
const std::array<MouseButton, kMouseButtonCount>& MouseCanonicalButtons();

}  // namespace varkon
