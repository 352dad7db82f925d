#include "devices/key_editor_state.h"

#include <array>
#include <cctype>
#include <climits>

#include "devices/key_tables.h"

namespace varkon {
namespace {

uint8_t Low8(int value) {
  return static_cast<uint8_t>(static_cast<unsigned>(value) & 0xFFu);
}

// Delay and speed share one byte, four bits each.
uint8_t DelaySpeed(int delay, int speed) {
  return static_cast<uint8_t>((static_cast<unsigned>(delay) & 15u) << 4 |
                              (static_cast<unsigned>(speed) & 15u));
}

EncodedChoice Code(AssignmentCode code) {
  return {EncodeOutcome::kCode, code};
}
EncodedChoice Unchanged() {
  return {EncodeOutcome::kUnchanged, {}};
}

template <size_t N>
EncodedChoice FromRow(const std::array<KeyRow, N>& table, int row) {
  if (row < 0 || static_cast<size_t>(row) >= N) return Unchanged();
  return Code(table[static_cast<size_t>(row)].code);
}

bool IsDirection(int direction) {
  return direction == 0 || direction == 1;
}

bool IsMacroItem(int item, size_t macroCount) {
  return item >= 0 && static_cast<size_t>(item) < macroCount;
}

}  // namespace

KeyEditorState ResetEditorControls() {
  return KeyEditorState{};
}

bool HasFunctionPage(int function) {
  return function >= 0 && function < kFunctionCount;
}

int EditNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

EncodedChoice EncodeEditorChoice(const KeyEditorState& s, size_t macroCount) {
  switch (s.function) {
    case kFunctionMouseButton:
      return FromRow(MouseButtonTable(), s.mouseButtonRow);
    case kFunctionSwing: {
      if (!IsDirection(s.swingDirection)) return Unchanged();
      // Bit 7 is the direction, so the count keeps only bits 0-6.
      const uint8_t b2 = static_cast<uint8_t>((static_cast<unsigned>(s.swingCount) & 0x7Fu) |
                                              static_cast<unsigned>(s.swingDirection) << 7);
      return Code({kAssignSwing, DelaySpeed(s.swingDelay, s.swingSpeed), b2});
    }
    case kFunctionWheel: {
      if (!IsDirection(s.wheelDirection)) return Unchanged();
      // Downwards the count is stored as a negative 8-bit number.
      const unsigned count = static_cast<unsigned>(s.wheelCount);
      const uint8_t b2 = s.wheelDirection == 0
                             ? static_cast<uint8_t>(count & 0x7Fu)
                             : static_cast<uint8_t>(((128u - count) | 0x80u) & 0xFFu);
      return Code({kAssignWheel, DelaySpeed(s.wheelDelay, s.wheelSpeed), b2});
    }
    case kFunctionDpi:
      return FromRow(DpiTable(), s.dpiRow);
    case kFunctionFire:
      return Code({kAssignFire, Low8(s.fireInterval), Low8(s.fireCount)});
    case kFunctionKeyboardKey: {
      const auto& picker = KeyPickerTable();
      const bool selected = s.pickerKey >= 0 && static_cast<size_t>(s.pickerKey) < picker.size();
      return Code(picker[selected ? static_cast<size_t>(s.pickerKey) : 0].code);
    }
    case kFunctionMedia:
      return FromRow(MediaTable(), s.mediaRow);
    case kFunctionSystem:
      return FromRow(SystemTable(), s.systemRow);
    case kFunctionMacro:
      if (!IsMacroItem(s.macroItem, macroCount)) return Unchanged();
      if (s.playMode == kPlayModeRepeat) {
        return Code({kAssignMacroRepeat, Low8(s.macroItem), Low8(s.repeatCount)});
      }
      if (s.playMode < 0 || s.playMode > 3) return Unchanged();
      return Code({kAssignMacro, Low8(s.macroItem), Low8(s.playMode)});
    case kFunctionRecoil:
      if (s.recoilItem < 0) return Unchanged();
      return Code({kAssignRecoil, Low8(s.recoilItem), 0});
    case kFunctionCombination:
      return FromRow(CombinationKeyTable(), s.comboRow);
    default:
      return {EncodeOutcome::kDefault, {}};
  }
}

AssignmentSlot ApplyEditorChoice(const KeyEditorState& state, size_t macroCount,
                                 const AssignmentSlot& edited, const AssignmentSlot& defaultSlot) {
  const EncodedChoice choice = EncodeEditorChoice(state, macroCount);
  switch (choice.outcome) {
    case EncodeOutcome::kCode:
      return {edited.listIndex, choice.code};
    case EncodeOutcome::kDefault:
      return defaultSlot;
    case EncodeOutcome::kUnchanged:
      break;
  }
  return edited;
}

KeyAssignmentRecord EncodeIntoRecord(const KeyEditorState& state, size_t macroCount,
                                     KeyAssignmentRecord record, bool fnLayer) {
  AssignmentSlot& slot = fnLayer ? record.fn : record.main;
  slot = ApplyEditorChoice(state, macroCount, slot, record.defaultSlot);
  return record;
}

KeyEditorState DecodeAssignment(AssignmentCode code, size_t macroCount,
                                const KeyEditorState& controls) {
  KeyEditorState s = controls;
  const bool macroListed = code.b1 < macroCount;
  switch (code.kind) {
    case kAssignNone:
      s.function = kFunctionDefault;
      break;
    case kAssignMouseButton:
      s.function = kFunctionMouseButton;
      s.mouseButtonRow = FindRow(MouseButtonTable(), code, CodeMatch::kB1B2);
      break;
    case kAssignSwing:
      s.function = kFunctionSwing;
      s.swingDelay = code.b1 >> 4;
      s.swingSpeed = code.b1 & 15;
      s.swingDirection = (code.b2 & 0x80) != 0 ? 1 : 0;
      s.swingCount = code.b2 & 0x7F;
      break;
    case kAssignWheel:
      s.function = kFunctionWheel;
      s.wheelDelay = code.b1 >> 4;
      s.wheelSpeed = code.b1 & 15;
      if ((code.b2 & 0x80) != 0) {
        s.wheelDirection = 1;
        s.wheelCount = 128 - (code.b2 & 0x7F);
      } else {
        s.wheelDirection = 0;
        s.wheelCount = code.b2;
      }
      break;
    case kAssignDpi:
      s.function = kFunctionDpi;
      s.dpiRow = FindRow(DpiTable(), code, CodeMatch::kB1B2);
      break;
    case kAssignFire:
      s.function = kFunctionFire;
      s.fireInterval = code.b1;
      s.fireCount = code.b2;
      break;
    case kAssignKeyboard: {
      s.function = kFunctionKeyboardKey;
      s.pickerKey = FindRow(KeyPickerTable(), code, CodeMatch::kB1B2);
      const int combo = FindRow(CombinationKeyTable(), code, CodeMatch::kB1B2);
      if (combo >= 0) {
        s.comboRow = combo;
        s.function = kFunctionCombination;
      }
      break;
    }
    case kAssignMedia:
      s.function = kFunctionMedia;
      s.mediaRow = FindRow(MediaTable(), code, CodeMatch::kB1B2);
      break;
    case kAssignSystem:
      s.function = kFunctionSystem;
      s.systemRow = FindRow(SystemTable(), code, CodeMatch::kB1B2);
      break;
    case kAssignMacro:
      s.function = kFunctionMacro;
      s.macroItem = macroListed ? code.b1 : -1;
      // Only modes 0-3 belong to this kind; anything else selects no mode.
      s.playMode = macroListed && code.b2 < kPlayModeRepeat ? code.b2 : -1;
      s.repeatLineShown = false;
      break;
    case kAssignMacroRepeat:
      s.function = kFunctionMacro;
      s.macroItem = macroListed ? code.b1 : -1;
      s.repeatCount = code.b2;
      s.playMode = kPlayModeRepeat;
      s.repeatLineShown = macroListed;
      break;
    case kAssignRecoil:
      s.function = kFunctionRecoil;
      s.recoilItem = code.b1;
      break;
    case kAssignCombination:
      s.function = kFunctionCombination;
      break;
    default:
      s.function = kFunctionNone;
      break;
  }
  return s;
}

std::optional<CapturedKey> LookupCapturedKey(uint8_t scanCode, bool extended) {
  const int row = FindCaptureRow(scanCode, extended);
  if (row < 0) return std::nullopt;
  const KeyRow& named = KeyCodeTable()[static_cast<size_t>(row)];
  if (named.code.kind != kAssignKeyboard) return std::nullopt;
  CapturedKey key;
  key.keyCodeRow = row;
  key.code = named.code;
  key.labelKey = named.labelKey;
  // Rows 0-7 are left Ctrl, Shift, Alt, Windows, then the right ones: options 1-4 for both sides.
  if (static_cast<size_t>(row) < kKeyCodeModifierRows)
    key.modifierOption = (row + 1) % 5 + (row + 1) / 5;
  return key;
}

AssignmentCode CapturedKeyCode(const CapturedKey& key, bool modifierSelected, uint8_t currentB1) {
  if (key.modifierOption > 0) return key.code;
  return {kAssignKeyboard, modifierSelected ? currentB1 : uint8_t{0}, key.code.b2};
}

}  // namespace varkon
