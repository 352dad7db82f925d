// The key assignment editor panel: one in every keyboard and mouse panel. It holds the record of
// the key being edited, shows one of its slots in its named controls and turns the controls back
// into a code (the conversions are in devices/key_editor_state.h; this panel only moves values
// between the controls and a KeyEditorState). It is passive: the main window receives the
// notifications of its controls and calls it and the device.
//
// Sub-controls are found by name under the panel on first use and kept; a missing one is
// skipped. Setting a control from here raises no notification.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "devices/key_assignment.h"
#include "devices/key_editor_state.h"

namespace varkon {

// The skin tag of the panel class, the tag that stands for the panel's whole skin, and that skin.
inline constexpr const char* kKeySetControlClass = "KeySetControl";
inline constexpr const char* kKeySetControlTag = "KeySetControlUI";
inline constexpr const char* kKeySetControlSkin = "XML\\CustomControlXML\\KeySetControl.xml";
// The same panel laid out for a tall, narrower page (beside the mouse picture).
inline constexpr const char* kKeySetControlTallTag = "KeySetControlTallUI";
inline constexpr const char* kKeySetControlTallSkin =
    "XML\\CustomControlXML\\KeySetControlTall.xml";

// Number of on-screen picker keys and of modifier options.
inline constexpr int kPickerKeyCount = 126;
inline constexpr int kModifierOptionCount = 5;

class CKeySetControlUI : public QWidget {
  Q_OBJECT

 public:
  explicit CKeySetControlUI(QWidget* parent = nullptr);

  // Looks the controls up and fills the lists; a keyboard (kind 1) has no DPI or recoil function.
  void Attach(int deviceKind, QWidget* window);
  int DeviceKind() const { return deviceKind_; }
  // The list texts again, in the current language (selections are kept).
  void Retranslate();

  // "keyset_macro_combo": one item per name, nothing selected.
  void SetMacroNames(const std::vector<std::string>& names);
  size_t MacroCount() const { return macroCount_; }

  // Stores the record and shows its Fn slot (fnLayer) or its main slot.
  void ShowRecord(const KeyAssignmentRecord& record, bool fnLayer);
  void ShowDefault();
  void ShowCurrent();
  const KeyAssignmentRecord& Record() const { return record_; }

  // The controls encoded into the Fn or main slot; the whole record is returned and kept.
  KeyAssignmentRecord Encode(bool fnLayer);
  KeyAssignmentRecord EncodeMain() { return Encode(false); }
  // A code straight into the Fn or main slot.
  void SetSlot(AssignmentCode code, bool fnLayer);

  void ResetControls();
  // n outside 0-125 selects nothing; PickerIndex is 0 when nothing is selected.
  void SelectPicker(int n);
  int PickerIndex() const;
  // Deselects all five options first; n = -1 leaves none. ModifierIndex is -1 for none.
  void SelectModifier(int n);
  int ModifierIndex() const;
  // "key_butt_keysave", "key_butt_keycancel" and "key_butt_prosave" together.
  void EnableButtons(bool on);
  bool ButtonsEnabled() const;

  // Item of "keyset_function_combo" whose user data is `function`, or -1; the user data of an
  // item, or -1 for none.
  int FunctionItemFor(int function) const;
  int FunctionOfItem(int index) const;
  // The function chosen in the list (-1 when nothing is chosen).
  int SelectedFunction() const;
  // Chooses `function` in the list and shows its page (nothing without an item for it).
  void SelectFunction(int function);
  // Shows page `function` of "function_switch_tablayout" (the function list's choice).
  void ShowFunctionPage(int function);
  // "keyset_macro_cycle_layout" follows the play mode (shown only for mode 4).
  void FollowPlayMode();

  // The typed key's text in "keyset_keyboard_text_edit" ("" clears it).
  void SetCapturedText(const QString& text);
  QString CapturedText() const;

  // What the controls show, and showing a state in them.
  KeyEditorState ReadControls() const;
  void ShowState(const KeyEditorState& state);

 private:
  QWidget* Control(const QString& name) const;
  QWidget* Control(const char* name) const { return Control(QString::fromLatin1(name)); }
  QWidget* Picker(int n) const;
  QWidget* Modifier(int n) const;
  void ShowSlot(const AssignmentSlot& slot);
  void FillLists();

  int deviceKind_ = 0;
  QPointer<QWidget> window_;
  KeyAssignmentRecord record_;
  size_t macroCount_ = 0;
  mutable std::map<QString, QPointer<QWidget>> controls_;
};

// The key editor panel of a device panel: `root` itself or the first one under it.
CKeySetControlUI* FindKeySetControl(QWidget* root);

}  // namespace varkon
