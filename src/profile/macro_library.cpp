#include "profile/macro_library.h"

#include <filesystem>

#include "core/json_file.h"
#include "core/names.h"
#include "profile/json_access.h"
#include "profile/macro_file_copy.h"
#include "profile/macro_names.h"
#include "profile/profile_index_names.h"

namespace varkon {

namespace {

Json::Value ReadObject(const std::string& path) {
  Json::Value value = ReadJsonFileNoThrow(path);
  if (!value.isObject()) value = Json::Value(Json::objectValue);
  return value;
}

}  // namespace

const char* MacroRenameMessage(MacroRenameResult result) {
  return result == MacroRenameResult::kNameTaken ? "message_text_5" : nullptr;
}

void MacroLibrary::SetMacroFolder(const std::string& folder) {
  folder_ = folder;
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

void MacroLibrary::LoadMacroNames() {
  items_.clear();
  selected_ = -1;
  if (folder_.empty()) return;
  items_ = ReadMacroList(ListFilePath());
}

std::vector<std::string> MacroLibrary::Names() const {
  std::vector<std::string> names;
  names.reserve(items_.size());
  for (const MacroListEntry& item : items_) names.push_back(item.name);
  return names;
}

bool MacroLibrary::HasSelection() const {
  return selected_ >= 0 && selected_ < static_cast<int>(items_.size());
}

int MacroLibrary::GetSelectedMacroIndex() const {
  return HasSelection() ? selected_ : -1;
}

std::string MacroLibrary::SelectedMacroFilePath() const {
  if (!HasSelection()) return {};
  return MacroFilePath(folder_, items_[selected_].guid);
}

std::string MacroLibrary::AppendMacro(const std::string& name) {
  Json::Value document = ReadObject(ListFilePath());
  std::vector<std::string> taken;
  for (const Json::Value& entry : ArrayMember(document, "MacroInfo")) {
    taken.push_back(StringMember(entry, "Guid"));
  }
  for (const MacroListEntry& item : items_) taken.push_back(item.guid);
  const std::string guid = FreshStampId(taken, folder_, kMacroFileExtension);

  items_.push_back({name, guid});
  const auto position = static_cast<Json::ArrayIndex>(items_.size() - 1);
  Json::Value entry(Json::objectValue);
  entry["MacroName"] = name;
  entry["Guid"] = guid;
  MakeArrayMember(document, "MacroInfo")[position] = entry;
  WriteJsonFile(ListFilePath(), document);

  selected_ = static_cast<int>(position);
  SelectMacro();
  return guid;
}

std::string MacroLibrary::AddMacro() {
  if (static_cast<int>(items_.size()) >= kMaxMacros) return {};
  rows_.clear();
  return AppendMacro(NewMacroName(Names()));
}

std::string MacroLibrary::AddImportedMacro(const std::string& source) {
  if (static_cast<int>(items_.size()) >= kMaxMacros) return {};
  rows_.clear();
  return AppendMacro(ImportedMacroName(Names(), FileNameOf(source)));
}

bool MacroLibrary::ImportMacro(const std::string& source) {
  if (source.empty()) return false;
  const std::string guid = AddImportedMacro(source);
  if (guid.empty()) return false;
  // An unreadable source leaves the new macro without a file, that is without steps.
  CopyFileReplacing(source, MacroFilePath(folder_, guid));
  SelectMacro();
  return true;
}

bool MacroLibrary::ExportMacro(const std::string& destination) const {
  if (destination.empty()) return false;
  const std::string source = SelectedMacroFilePath();
  if (source.empty()) return false;
  return CopyFileReplacing(source, destination);
}

MacroRenameResult MacroLibrary::RenameMacro(const std::string& name) {
  if (!HasSelection()) return MacroRenameResult::kNoSelection;
  if (IsBlankName(name)) return MacroRenameResult::kBlank;
  if (ListHasName(Names(), name)) return MacroRenameResult::kNameTaken;

  items_[selected_].name = name;
  nameEdit_ = name;
  Json::Value document = ReadObject(ListFilePath());
  MakeObjectElement(MakeArrayMember(document, "MacroInfo"), selected_)["MacroName"] = name;
  WriteJsonFile(ListFilePath(), document);
  return MacroRenameResult::kRenamed;
}

bool MacroLibrary::DeleteMacro() {
  if (!HasSelection()) return false;
  const int removed = selected_;
  const std::string guid = items_[removed].guid;
  items_.erase(items_.begin() + removed);
  selected_ = -1;
  rows_.clear();

  // A file another entry still names stays.
  bool shared = false;
  for (const MacroListEntry& item : items_) shared = shared || item.guid == guid;
  const std::string path = MacroFilePath(folder_, guid);
  if (!path.empty() && !shared) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }

  Json::Value document = ReadObject(ListFilePath());
  Json::Value& entries = MakeArrayMember(document, "MacroInfo");
  if (removed < static_cast<int>(entries.size())) {
    Json::Value gone;
    entries.removeIndex(static_cast<Json::ArrayIndex>(removed), &gone);
  }
  WriteJsonFile(ListFilePath(), document);

  if (items_.empty()) {
    nameEdit_.clear();
    editorEnabled_ = false;
  } else {
    nameEdit_ = items_.front().name;
  }
  return true;
}

bool MacroLibrary::SelectMacro(int index) {
  selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  return SelectMacro();
}

bool MacroLibrary::SelectMacro() {
  if (!HasSelection() || items_[selected_].guid.empty()) {
    editorEnabled_ = false;
    return false;
  }
  editorEnabled_ = true;
  LoadMacroEvents(MacroFilePath(folder_, items_[selected_].guid));
  const Json::Value document = ReadJsonFileNoThrow(ListFilePath());
  const Json::Value& entry = ElementAt(Member(document, "MacroInfo"), selected_);
  nameEdit_ = entry.isObject() ? StringMember(entry, "MacroName") : items_[selected_].name;
  return true;
}

void MacroLibrary::LoadMacroEvents(const std::string& path) {
  rows_ = LoadMacroRows(path);
}

bool MacroLibrary::SaveMacro() {
  return SaveMacro(SelectedMacroFilePath());
}

bool MacroLibrary::SaveMacro(const std::string& path) {
  if (!HasSelection() || items_[selected_].guid.empty() || path.empty()) return false;
  return SaveMacroFile(path, items_[selected_].name, items_[selected_].guid, rows_);
}

}  // namespace varkon
