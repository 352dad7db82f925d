// The macro panel of the keyboard and the mouse: the device's macro library ("macro_name_list",
// the name field and its buttons) and the steps of the selected macro ("macro_action_list"),
// which the user records from the keyboard and mouse, inserts by command, reorders, deletes and
// gives delays. The model is plain C++ (MacroLibrary, MacroStepEditor); this panel shows it and
// writes the macro file after every change to the steps. The main window routes the panel's
// buttons and the capture's events here; delays typed into a row are handled by the panel.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "editors/macro_step_editor.h"
#include "profile/macro_library.h"

class QListWidget;
class QListWidgetItem;

namespace varkon {

inline constexpr const char* kMacroControlClass = "MacroControl";
inline constexpr const char* kMacroControlTag = "MacroControlUI";
inline constexpr const char* kMacroControlSkin = "XML\\CustomControlXML\\MacroControl.xml";
// The same panel laid out for a tall, narrower page (beside the mouse picture).
inline constexpr const char* kMacroControlTallTag = "MacroControlTallUI";
inline constexpr const char* kMacroControlTallSkin = "XML\\CustomControlXML\\MacroControlTall.xml";
inline constexpr const char* kMacroActionMenu = "XML\\Menus\\macro_action_menu.xml";
// A newly recorded row is scrolled into view this long after it came (the one-shot timer 4101
// of the panel).
inline constexpr int kMacroScrollDelayMs = 50;
// Steps a macro file may hold to be imported; more can never fit a device's memory. A file
// larger than the bytes such a macro takes (with room for generous formatting) is not read.
inline constexpr size_t kMaxMacroFileSteps = kMaxRecordedRows;
inline constexpr uintmax_t kMaxMacroFileBytes = 4u << 20;

class CMacroControlUI : public QWidget {
  Q_OBJECT

 public:
  explicit CMacroControlUI(QWidget* parent = nullptr);

  // Reads the library of `macroFolder` (the device's data folder), shows it and selects the
  // first macro.
  void Attach(const std::string& macroFolder);
  MacroLibrary& Library() { return library_; }
  MacroStepEditor& Editor() { return editor_; }

  // ---- the library (each shows the library's new state)
  bool AddMacro();
  MacroRenameResult RenameMacro();
  // False when nothing was imported: an empty path, a full library, or a file that is not a
  // macro of at most kMaxMacroFileSteps steps (`refused` is then true).
  bool ImportMacro(const std::string& path, bool* refused = nullptr);
  bool ExportMacro(const std::string& path);
  void SelectMacro(int index);
  // The library changed behind the panel (a deletion): the lists are shown again.
  void ShowLibrary();

  // ---- recording
  void SetRecordState(RecordState state);
  void EndRecording();
  bool Recording() const { return recording_; }
  void SetEditorEnabled(bool on);
  // A captured key (keyboard message 256/257/260/261) or mouse-button event.
  void RecordKey(StepPlacement placement, uint32_t message, uint8_t scanCode, bool extended);
  void RecordMouse(StepPlacement placement, uint32_t message, int extraButton);

  // ---- editing commands: the mouse-step commands, the "macro_inset_*" buttons, moving and
  // deleting, save and cancel. False for a name that is none of them.
  bool RunCommand(const std::string& name);
  void SelectStep(int row);
  bool SaveMacro();

  // ---- what the panel shows
  QListWidget* StepList() const;
  int ShownStepCount() const;
  QString ShownDelay(int row) const;
  QString ShownLabel(int row) const;
  QString ShownAction(int row) const;
  // The language changed: the rows' labels again.
  void Retranslate();

 signals:
  // The panel went out of sight (its page, its device or the window hid): a recording ends.
  void Hidden();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* Control(const char* name) const;
  void SyncSteps();
  // The fixed-delay field read into the editor (and rewritten when it showed another number).
  void ReadFixedField();
  // The mouse steps of a command name ("left_click", "macro_inset_moveupkey_btn", …), inserted;
  // false for a name that is none.
  bool InsertMouseSteps(const std::string& name);
  void FillItem(QListWidgetItem* item, const MacroRow& row);
  QString ShownText(int row, int role) const;
  void ShowSelection();
  void ShowLibraryState();
  // A delay typed into row `row`: kept (0-65535) and saved.
  void OnDelayEdited(int row, const QString& text);
  uint64_t Now() const;

  MacroLibrary library_;
  MacroStepEditor editor_{library_.Rows()};
  // The rows as the list shows them, to change only what changed.
  std::vector<MacroRow> shown_;
  QElapsedTimer clock_;
  QTimer scrollTimer_;
  bool recording_ = false;
  mutable std::map<std::string, QPointer<QWidget>> controls_;
};

// The macro panel under `root` (or `root` itself), or null.
CMacroControlUI* FindMacroControl(QWidget* root);

}  // namespace varkon
