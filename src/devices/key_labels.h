// Readable labels of assignment codes for the on-screen keys and buttons.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/key_assignment.h"

namespace varkon {

// Turns a language key into display text (the skin's text lookup).
using Translator = std::function<std::string(const std::string& id)>;

// The label of kinds that have no function of their own ("off").
inline constexpr const char* kLabelOff = "\xE5\x85\xB3\xE9\x97\xAD";

// Display text of `id`; the id itself when there is no translator.
std::string Translate(const Translator& translate, const std::string& id);

// The label of a code, or nullopt when the code names no label (the key keeps what it shows).
// Macro codes take the untranslated name of their macro from `macroNames`.
std::optional<std::string> CodeLabel(AssignmentCode code, const Translator& translate,
                                     const std::vector<std::string>& macroNames);

// The name of a key by its default code: the text of its KeyCodeTable row, or, for a code with
// no row (the empty key, mouse buttons), its label; "" when it has neither.
std::string DefaultKeyName(AssignmentCode defaultCode, const Translator& translate);

// What a key button shows once a label is set on it.
struct KeyButtonText {
  std::string label;
  std::string tooltipTitle;  // the default name
  std::string tooltipText;   // default name + text of "Key_Set" + label
  bool changed = false;      // label differs from the default name, ignoring case

  friend bool operator==(const KeyButtonText&, const KeyButtonText&) = default;
};

// The text of a key button showing `shown` whose default code is `defaultCode`, or nullopt when
// `shown` names no label.
std::optional<KeyButtonText> LabelKeyButton(AssignmentCode shown, AssignmentCode defaultCode,
                                            const Translator& translate,
                                            const std::vector<std::string>& macroNames);

// Labels of a whole key list for the layer being edited (Fn slots when fnLayer, else main).
std::vector<std::optional<KeyButtonText>> LabelKeyList(const std::vector<KeyAssignmentRecord>& keys,
                                                       bool fnLayer, const Translator& translate,
                                                       const std::vector<std::string>& macroNames);

}  // namespace varkon
