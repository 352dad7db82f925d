#include "profile/profile_index.h"

#include <algorithm>
#include <filesystem>

#include "core/json_file.h"
#include "core/names.h"
#include "profile/json_access.h"
#include "profile/profile_index_names.h"
#include "profile/profile_index_ui.h"

namespace varkon {

namespace {

constexpr const char* kEntries = "profilelist";
constexpr const char* kSelection = "profileselect";
constexpr const char* kName = "profilename";
constexpr const char* kId = "profileUUID";
constexpr const char* kProfileExtension = ".Json";

// An entry's identifier when it can name a file inside the data folder, else empty.
std::string UsableId(const Json::Value& entry) {
  std::string id = StringMember(entry, kId);
  return IsSafeFileStem(id) ? id : std::string();
}

Json::Value MakeEntry(const std::string& name, const std::string& id) {
  Json::Value entry(Json::objectValue);
  entry[kName] = name;
  entry[kId] = id;
  entry["profileislink"] = 0;
  entry["profilelinkmame"] = "";
  return entry;
}

std::vector<std::string> IdsOf(const Json::Value& index) {
  std::vector<std::string> ids;
  for (const Json::Value& entry : ArrayMember(index, kEntries)) {
    ids.push_back(StringMember(entry, kId));
  }
  return ids;
}

// A document read for changing: an object, whatever the file held.
Json::Value ReadObject(const std::string& path) {
  Json::Value value = ReadJsonFileNoThrow(path);
  if (!value.isObject()) value = Json::Value(Json::objectValue);
  return value;
}

void NameDocument(Json::Value& document, const std::string& name, const std::string& id) {
  document[kName] = name;
  document[kId] = id;
}

}  // namespace

void ProfileIndex::SetFolders(const std::string& dataFolder, const std::string& defaultDataFile) {
  dataFolder_ = dataFolder;
  if (!dataFolder_.empty() && dataFolder_.back() != '/') dataFolder_ += '/';
  defaultDataFile_ = defaultDataFile;
}

Json::Value ProfileIndex::ReadIndex() const {
  return ReadObject(IndexFilePath());
}

void ProfileIndex::WriteIndex(const Json::Value& index) const {
  WriteJsonFile(IndexFilePath(), index);
}

std::string ProfileIndex::ProfilePathOf(const std::string& id) const {
  if (id.empty()) return {};
  return dataFolder_ + id + kProfileExtension;
}

std::string ProfileIndex::CurrentProfileFilePath() const {
  return ProfilePathOf(currentId_);
}

void ProfileIndex::InitProfileList() {
  names_.clear();
  selected_ = -1;
  currentId_.clear();

  Json::Value index = ReadJsonFileNoThrow(IndexFilePath());
  if (!index.isObject()) index = Json::Value(Json::objectValue);

  // Keep only entries whose file can be found and is theirs alone. The stored selection names an
  // entry by position, so it moves with its entry; a dropped selected entry selects the first.
  const int storedSelection = IntMember(index, kSelection, 0);
  int selection = 0;
  Json::Value kept(Json::arrayValue);
  std::vector<std::string> seen;
  bool dropped = false;
  int position = 0;
  for (const Json::Value& entry : ArrayMember(index, kEntries)) {
    const int original = position++;
    const std::string id = UsableId(entry);
    if (!entry.isObject() || id.empty() || std::find(seen.begin(), seen.end(), id) != seen.end()) {
      dropped = true;
      continue;
    }
    if (original == storedSelection) selection = static_cast<int>(kept.size());
    seen.push_back(id);
    kept.append(entry);
  }

  if (kept.empty()) {
    const std::string id = FreshStampId({}, dataFolder_, kProfileExtension);
    kept.append(MakeEntry("Profile1", id));
    index[kEntries] = kept;
    index[kSelection] = 0;
    WriteIndex(index);
    Json::Value profile = ReadObject(ProfilePathOf(id));
    NameDocument(profile, "Profile1", id);
    WriteJsonFile(ProfilePathOf(id), profile);
  } else if (dropped) {
    index[kEntries] = kept;
    index[kSelection] = selection;
    WriteIndex(index);
  }

  for (const Json::Value& entry : kept) names_.push_back(StringMember(entry, kName));

  if (selection < 0 || selection >= static_cast<int>(names_.size())) selection = 0;
  SelectProfile(selection);
}

bool ProfileIndex::SelectProfile(int index) {
  if (index < 0 || index >= static_cast<int>(names_.size())) return false;
  selected_ = index;
  nameEdit_ = names_[index];
  Json::Value document = ReadIndex();
  document[kSelection] = index;
  currentId_ = UsableId(ElementAt(ArrayMember(document, kEntries), index));
  WriteIndex(document);
  return true;
}

int ProfileIndex::GetProfileCount() {
  loadedIndex_ = ReadIndex();
  return static_cast<int>(ArraySize(Member(loadedIndex_, kEntries)));
}

std::string ProfileIndex::GetProfileFilePath(int i) const {
  if (i < 0) return {};
  return ProfilePathOf(UsableId(ElementAt(Member(loadedIndex_, kEntries), i)));
}

// Appends the list item and its index entry; returns the new identifier.
std::string ProfileIndex::AppendEntry(const std::string& name, bool storeSelection,
                                      std::string id) {
  Json::Value index = ReadIndex();
  if (id.empty()) id = FreshStampId(IdsOf(index), dataFolder_, kProfileExtension);
  names_.push_back(name);
  const int position = static_cast<int>(names_.size()) - 1;
  Json::Value& entries = MakeArrayMember(index, kEntries);
  entries[static_cast<Json::ArrayIndex>(position)] = MakeEntry(name, id);
  if (storeSelection) index[kSelection] = position;
  WriteIndex(index);
  return id;
}

bool ProfileIndex::AddProfile() {
  if (static_cast<int>(names_.size()) >= kMaxAddedProfiles) return false;
  const std::string name = NewProfileName(names_);
  const std::string id = AppendEntry(name, true);
  Json::Value profile = ReadObject(defaultDataFile_);
  NameDocument(profile, name, id);
  WriteJsonFile(ProfilePathOf(id), profile);
  return true;
}

bool ProfileIndex::CopyProfile() {
  if (selected_ < 0 || selected_ >= static_cast<int>(names_.size())) return false;
  const std::string sourceId = UsableId(ElementAt(ArrayMember(ReadIndex(), kEntries), selected_));
  const std::string name = CopiedProfileName(names_, names_[selected_]);
  const std::string id = AppendEntry(name, false);
  Json::Value profile =
      sourceId.empty() ? Json::Value(Json::objectValue) : ReadObject(ProfilePathOf(sourceId));
  NameDocument(profile, name, id);
  WriteJsonFile(ProfilePathOf(id), profile);
  return true;
}

int ProfileIndex::DeleteProfile() {
  if (selected_ < 0 || selected_ >= static_cast<int>(names_.size()) || names_.size() < 2) {
    return -1;
  }
  const int removed = selected_;
  const int next = removed == 0 ? 0 : removed - 1;

  Json::Value index = ReadIndex();
  Json::Value& entries = MakeArrayMember(index, kEntries);
  if (removed < static_cast<int>(entries.size())) {
    const std::string id = UsableId(entries[removed]);
    Json::Value gone;
    entries.removeIndex(static_cast<Json::ArrayIndex>(removed), &gone);
    // A file another entry still names stays.
    const std::vector<std::string> remaining = IdsOf(index);
    if (!id.empty() && std::find(remaining.begin(), remaining.end(), id) == remaining.end()) {
      std::error_code ignored;
      std::filesystem::remove(ProfilePathOf(id), ignored);
    }
  }
  index[kSelection] = next;
  WriteIndex(index);

  names_.erase(names_.begin() + removed);
  selected_ = next;
  return next;
}

int ProfileIndex::RenameProfile(const std::string& name) {
  if (selected_ < 0 || selected_ >= static_cast<int>(names_.size())) return -1;
  if (IsBlankName(name)) return 2;
  if (ListHasName(names_, name, selected_)) return 0;

  names_[selected_] = name;
  nameEdit_ = name;
  Json::Value index = ReadIndex();
  Json::Value& entry = MakeObjectElement(MakeArrayMember(index, kEntries), selected_);
  entry[kName] = name;
  const std::string id = UsableId(entry);
  WriteIndex(index);

  if (!id.empty()) {
    Json::Value profile = ReadJsonFileNoThrow(ProfilePathOf(id));
    if (!profile.isObject()) {
      profile = Json::Value(Json::objectValue);
      profile[kId] = id;
    }
    profile[kName] = name;
    WriteJsonFile(ProfilePathOf(id), profile);
  }
  return 1;
}

bool ProfileIndex::ResetProfile() {
  if (selected_ < 0) return false;
  const Json::Value index = ReadIndex();
  const Json::Value& entry = ElementAt(ArrayMember(index, kEntries), selected_);
  const std::string id = UsableId(entry);
  if (id.empty()) return false;
  const std::string path = ProfilePathOf(id);

  Json::Value profile = ReadObject(defaultDataFile_);
  NameDocument(profile, StringMember(entry, kName), id);

  if (deviceTypeNumber_ == 7) {
    // The user's own equalisers survive a reset.
    const Json::Value old = ReadJsonFileNoThrow(path);
    const Json::Value& oldSection = ElementAt(Member(old, "Device"), 0);
    for (const char* member : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
      const Json::Value& kept = Member(oldSection, member);
      if (kept.isNull()) continue;
      MakeObjectElement(MakeArrayMember(profile, "Device"), 0)[member] = kept;
    }
  }
  WriteJsonFile(path, profile);
  return true;
}

bool ProfileIndex::IsImportableProfile(const std::string& path) {
  const Json::Value document = ReadJsonFileNoThrow(path);
  return document.isObject() && !Member(document, kName).isNull() &&
         !Member(document, kId).isNull();
}

bool ProfileIndex::ImportProfile(const std::string& path) {
  return Import(path) == ImportResult::kImported;
}

ProfileIndex::ImportResult ProfileIndex::Import(const std::string& path) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return ImportResult::kUnreadable;
  if (size > kMaxImportBytes) return ImportResult::kTooLarge;
  Json::Value document = ReadJsonFileNoThrow(path);
  if (document.isNull()) return ImportResult::kUnreadable;
  if (!document.isObject() || Member(document, kName).isNull() || Member(document, kId).isNull()) {
    return ImportResult::kNotAProfile;
  }
  // The file's own identifier is never used: the profile gets a fresh one in the data folder.
  const std::string name = ImportedProfileName(names_, FileNameOf(path));
  const std::string id = FreshStampId(IdsOf(ReadIndex()), dataFolder_, kProfileExtension);
  NameDocument(document, name, id);
  // The file first: an index entry never names a profile that could not be written.
  if (!WriteJsonFileChecked(ProfilePathOf(id), document)) return ImportResult::kNotWritten;
  AppendEntry(name, false, id);
  return ImportResult::kImported;
}

bool ProfileIndex::ExportProfile(const std::string& path) {
  if (selected_ < 0 || path.empty()) return false;
  const std::string id = UsableId(ElementAt(ArrayMember(ReadIndex(), kEntries), selected_));
  if (id.empty()) return false;
  return WriteJsonFileChecked(path, ReadJsonFileNoThrow(ProfilePathOf(id)));
}

void ProfileIndex::SelectOperationTab(int n) {
  selectedTab_ = OperationTabName(n) != nullptr ? n : 0;
}

}  // namespace varkon
