// The key assignment editor's controls as plain data, and the conversions between them and an
// AssignmentCode: encoding what the user chose, decoding a stored code back into the controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "devices/key_assignment.h"

namespace varkon {

// Function numbers: the user data of the items of "keyset_function_combo" and the page numbers
// of "function_switch_tablayout".
enum KeyFunction : int {
  kFunctionNone = -1,  // nothing selected; the editing area is hidden
  kFunctionDefault = 0,
  kFunctionMouseButton = 1,
  kFunctionSwing = 2,
  kFunctionWheel = 3,
  kFunctionDpi = 4,
  kFunctionFire = 5,
  kFunctionKeyboardKey = 6,
  kFunctionMedia = 7,
  kFunctionSystem = 8,
  kFunctionMacro = 9,
  kFunctionRecoil = 10,
  kFunctionCombination = 11,
};
constexpr int kFunctionCount = 12;

// Play mode 4 of "keyset_macro_over_combo" repeats the macro a given number of times.
constexpr int kPlayModeRepeat = 4;

// What the editor's controls show. Rows and items are -1 when nothing is selected; the numbers
// are what the edits hold (see EditNumber).
struct KeyEditorState {
  int function = kFunctionNone;  // "keyset_function_combo"
  int mouseButtonRow = 0;        // "keyset_mousekey_combo"
  int swingDirection = 0;        // "keyset_mouseswing_combo": 0 left, 1 right
  int swingCount = 0;
  int swingDelay = 0;
  int swingSpeed = 0;
  int wheelDirection = 0;  // "keyset_mousewheel_combo": 0 up, 1 down
  int wheelCount = 0;
  int wheelDelay = 0;
  int wheelSpeed = 0;
  int dpiRow = 0;  // "keyset_mousedpi_combo"
  int fireInterval = 50;
  int fireCount = 2;
  int pickerKey = -1;            // "keyboard_key_" + n
  int mediaRow = 0;              // "keyset_media_combo"
  int systemRow = 0;             // "keyset_system_combo"
  int macroItem = 0;             // "keyset_macro_combo"
  int playMode = 0;              // "keyset_macro_over_combo", 0-4
  int repeatCount = 1;           // "keyset_macro_cycle_edit"
  bool repeatLineShown = false;  // "keyset_macro_cycle_layout"
  int recoilItem = 0;            // "keyset_gunkey_combo"
  int comboRow = 0;              // "keyset_combokey_combo"

  friend bool operator==(const KeyEditorState&, const KeyEditorState&) = default;
};

// The controls after ResetControls (the member defaults; no function, no picker key selected).
KeyEditorState ResetEditorControls();

// Whether the function number has a page (0-11); otherwise "keyset_layout" is hidden.
bool HasFunctionPage(int function);

// Plain decimal conversion of an edit's text: optional blanks and sign, then digits up to the
// first other character; text without digits gives 0, values beyond int saturate.
int EditNumber(std::string_view text);

enum class EncodeOutcome {
  kCode,       // the edited slot takes `code`
  kDefault,    // the edited slot becomes a copy of the default slot
  kUnchanged,  // nothing valid is chosen; the edited slot stays as it was
};
struct EncodedChoice {
  EncodeOutcome outcome = EncodeOutcome::kUnchanged;
  AssignmentCode code;
};

// Encodes the editor's choice; `macroCount` is the number of macros listed in
// "keyset_macro_combo". A row, item or direction outside its list leaves the slot unchanged.
EncodedChoice EncodeEditorChoice(const KeyEditorState& state, size_t macroCount);

// The slot the edited layer ends with: a whole copy of `defaultSlot`, `edited` with the new code,
// or `edited` as it was.
AssignmentSlot ApplyEditorChoice(const KeyEditorState& state, size_t macroCount,
                                 const AssignmentSlot& edited, const AssignmentSlot& defaultSlot);

// Encodes into the Fn slot (fnLayer) or the main slot of `record` and returns the whole record.
KeyAssignmentRecord EncodeIntoRecord(const KeyEditorState& state, size_t macroCount,
                                     KeyAssignmentRecord record, bool fnLayer);

// Decodes a code into the controls: the function number and the controls of that function;
// every other control keeps its value from `controls`.
KeyEditorState DecodeAssignment(AssignmentCode code, size_t macroCount,
                                const KeyEditorState& controls = ResetEditorControls());

// A key typed on the real keyboard while capture is on.
struct CapturedKey {
  int keyCodeRow = -1;  // row of the KeyCodeTable (and of the capture table)
  AssignmentCode code;
  const char* labelKey = "";
  int modifierOption = -1;  // 1 Ctrl, 2 Shift, 3 Alt, 4 Windows for a modifier key, else -1
};

// The typed key with this scan code and extended flag; nullopt for a key with no kind-0x20 row.
std::optional<CapturedKey> LookupCapturedKey(uint8_t scanCode, bool extended);

// The code a typed key gives: a modifier key its own code; any other key (0x20, b1, usage), with
// b1 taken from the current encoded slot when a modifier option is selected, else 0.
AssignmentCode CapturedKeyCode(const CapturedKey& key, bool modifierSelected, uint8_t currentB1);

}  // namespace varkon
