// The macro library of a keyboard or mouse: the model behind the macro panel's name list
// ("macro_name_list" shows Items() in this order), its name field and its step list. The list
// file is read before and written after every change, at the same position as the list.
#pragma once

#include <string>
#include <vector>

#include "profile/macro_file.h"
#include "profile/macro_list.h"

namespace varkon {

enum class MacroRenameResult {
  kRenamed,
  kBlank,      // white space only; the panel's marker "IsEmpty", no message
  kNameTaken,  // equal (ignoring case) to a listed name, the selected one included
  kNoSelection,
};

// The message shown for a rename result: "message_text_5" for kNameTaken, else nullptr.
const char* MacroRenameMessage(MacroRenameResult result);

class MacroLibrary {
 public:
  static constexpr int kMaxMacros = 50;

  // The device's data folder; a separator is added when missing.
  void SetMacroFolder(const std::string& folder);
  const std::string& MacroFolder() const { return folder_; }
  // "macro.config" unless set.
  void SetListFileName(const std::string& name) { listFileName_ = name; }
  std::string ListFilePath() const { return folder_ + listFileName_; }

  // Replaces the list with the entries of the list file (nothing when no folder is set).
  void LoadMacroNames();
  const std::vector<MacroListEntry>& Items() const { return items_; }
  std::vector<std::string> Names() const;

  // The selected index, -1 when nothing is selected or the list is empty.
  int GetSelectedMacroIndex() const;
  // The selected macro's file; empty without a selection or a usable Guid.
  std::string SelectedMacroFilePath() const;

  // Appends "macro_N" (no file yet), selects it and returns its Guid; empty when 50 macros
  // exist.
  std::string AddMacro();
  // The same, named after the source file's base name (de-duplicated with "_1", "_2"…).
  std::string AddImportedMacro(const std::string& source);
  // AddImportedMacro, then the source copied unchanged as the new macro's file, then
  // SelectMacro. False for an empty path or when the list is full (nothing written then).
  bool ImportMacro(const std::string& source);
  // Copies the selected macro's file to `destination`. False when nothing was copied.
  bool ExportMacro(const std::string& destination) const;
  // Renames the selected macro in the list and the list file (its file keeps the old inner
  // name until the next save).
  MacroRenameResult RenameMacro(const std::string& name);
  // Deletes the selected macro's file and entry; clears the step list and the selection. The
  // name field then shows the first remaining name; with none left it is emptied and the
  // editor disabled.
  bool DeleteMacro();

  // Makes `index` the selection (-1 or out of range selects nothing) and runs SelectMacro().
  bool SelectMacro(int index);
  // Without a selection or Guid the editor is disabled (false); otherwise it is enabled, the
  // steps are loaded from the macro file and the name field shows the listed name.
  bool SelectMacro();
  // Replaces the step list with the steps of the file at `path`.
  void LoadMacroEvents(const std::string& path);
  // Writes the step list as the selected macro's file (or to `path`). False without a
  // selection or Guid, or when the write failed.
  bool SaveMacro();
  bool SaveMacro(const std::string& path);

  std::vector<MacroRow>& Rows() { return rows_; }
  const std::vector<MacroRow>& Rows() const { return rows_; }
  const std::string& NameEditText() const { return nameEdit_; }
  void SetNameEditText(const std::string& text) { nameEdit_ = text; }
  bool EditorEnabled() const { return editorEnabled_; }

 private:
  bool HasSelection() const;
  std::string AppendMacro(const std::string& name);

  std::string folder_;
  std::string listFileName_ = kMacroListFile;
  std::vector<MacroListEntry> items_;
  int selected_ = -1;
  std::vector<MacroRow> rows_;
  std::string nameEdit_;
  bool editorEnabled_ = false;
};

}  // namespace varkon
