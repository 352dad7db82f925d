#include "devices/key_labels.h"

#include "devices/key_case_fold.h"
#include "devices/key_tables.h"

namespace varkon {
namespace {

template <size_t N>
std::optional<std::string> RowLabel(const std::array<KeyRow, N>& table, AssignmentCode code,
                                    CodeMatch match, const Translator& translate) {
  const int row = FindRow(table, code, match);
  if (row < 0) return std::nullopt;
  return Translate(translate, table[static_cast<size_t>(row)].labelKey);
}

// Keyboard keys (kinds 0x00 and 0x20).
std::optional<std::string> KeyboardLabel(AssignmentCode code, const Translator& translate) {
  const auto& table = KeyCodeTable();
  if (auto exact = RowLabel(table, code, CodeMatch::kB1B2, translate)) return exact;
  if (code.b1 == 0 && code.b2 == 0) return Translate(translate, "close_text");
  // A combination with no row of its own is named by the rows sharing its modifier byte or its
  // usage. A zero byte is shared by nearly every row, so it names nothing.
  std::string joined;
  bool any = false;
  for (size_t i = 0; i < kKeyCodeKeyboardRows; ++i) {
    const AssignmentCode& row = table[i].code;
    const bool sameB1 = code.b1 != 0 && row.b1 == code.b1;
    const bool sameB2 = code.b2 != 0 && row.b2 == code.b2;
    if (!sameB1 && !sameB2) continue;
    if (any) joined += "+";
    joined += Translate(translate, table[i].labelKey);
    any = true;
  }
  if (!any) return std::nullopt;
  return joined;
}

// Special functions matched on kind and b1.
std::optional<std::string> SpecialLabel(AssignmentCode code, const Translator& translate) {
  for (const KeyRow& row : SpecialFunctionTable()) {
    if (row.code.kind == code.kind && row.code.b1 == code.b1) {
      return Translate(translate, row.labelKey);
    }
  }
  return std::nullopt;
}

std::optional<std::string> MouseButtonLabel(AssignmentCode code, const Translator& translate) {
  for (const KeyRow& row : MouseButtonTable()) {
    if (row.code.b1 == code.b1) return Translate(translate, row.labelKey);
  }
  return std::nullopt;
}

std::optional<std::string> DpiLabel(AssignmentCode code, const Translator& translate) {
  for (const KeyRow& row : DpiTable()) {
    if (row.code.b1 == code.b1) return Translate(translate, row.labelKey);
  }
  return std::nullopt;
}

}  // namespace

std::string Translate(const Translator& translate, const std::string& id) {
  return translate ? translate(id) : id;
}

std::optional<std::string> CodeLabel(AssignmentCode code, const Translator& translate,
                                     const std::vector<std::string>& macroNames) {
  const bool bit7 = (code.b2 & 0x80) != 0;
  switch (code.kind) {
    case kAssignNone:
    case kAssignKeyboard:
      return KeyboardLabel(code, translate);
    case kAssignMouseButton:
      return MouseButtonLabel(code, translate);
    case kAssignSwing:
      return Translate(translate, bit7 ? kLabelSwingRight : kLabelSwingLeft);
    case kAssignWheel:
      return Translate(translate, bit7 ? kLabelWheelDown : kLabelWheelUp);
    case kAssignDpi:
      return DpiLabel(code, translate);
    case kAssignFire:
      return Translate(translate, kLabelFire);
    case kAssignDpiShift:
      for (const KeyRow& row : SpecialFunctionTable()) {
        if (row.code.kind == code.kind) return Translate(translate, row.labelKey);
      }
      return std::nullopt;
    case kAssignShowWindow:
      return RowLabel(SpecialFunctionTable(), code, CodeMatch::kAllBytes, translate);
    case kAssignEditShortcut:
      if (code.b2 >= EditShortcutLabels().size()) return std::nullopt;
      return Translate(translate, EditShortcutLabels()[code.b2]);
    case kAssignMedia:
      return RowLabel(MediaTable(), code, CodeMatch::kB1B2, translate);
    case kAssignSystem:
      return RowLabel(SystemTable(), code, CodeMatch::kB1B2, translate);
    case kAssignMacro:
    case kAssignMacroRepeat:
      if (code.b1 >= macroNames.size()) return std::nullopt;
      return macroNames[code.b1];
    case kAssignSpecial:
    case kAssignOnboardMacro:
      return SpecialLabel(code, translate);
    case 0x15:
    case 0x21:
    case 0x50:
    case 0x60:
    case kAssignCombination:
    case 0xC0:
      return std::nullopt;
    default:
      return std::string(kLabelOff);
  }
}

std::string DefaultKeyName(AssignmentCode defaultCode, const Translator& translate) {
  const auto& table = KeyCodeTable();
  const int row = FindRow(table, defaultCode);
  if (row >= 0) return Translate(translate, table[static_cast<size_t>(row)].labelKey);
  return CodeLabel(defaultCode, translate, {}).value_or(std::string());
}

std::optional<KeyButtonText> LabelKeyButton(AssignmentCode shown, AssignmentCode defaultCode,
                                            const Translator& translate,
                                            const std::vector<std::string>& macroNames) {
  std::optional<std::string> label = CodeLabel(shown, translate, macroNames);
  if (!label) return std::nullopt;
  KeyButtonText text;
  text.tooltipTitle = DefaultKeyName(defaultCode, translate);
  text.changed = !EqualsIgnoringCase(*label, text.tooltipTitle);
  text.tooltipText = text.tooltipTitle + Translate(translate, "Key_Set") + *label;
  text.label = std::move(*label);
  return text;
}

std::vector<std::optional<KeyButtonText>> LabelKeyList(const std::vector<KeyAssignmentRecord>& keys,
                                                       bool fnLayer, const Translator& translate,
                                                       const std::vector<std::string>& macroNames) {
  std::vector<std::optional<KeyButtonText>> labels;
  labels.reserve(keys.size());
  for (const KeyAssignmentRecord& key : keys) {
    const AssignmentCode shown = fnLayer ? key.fn.code : key.main.code;
    labels.push_back(LabelKeyButton(shown, key.defaultSlot.code, translate, macroNames));
  }
  return labels;
}

}  // namespace varkon
