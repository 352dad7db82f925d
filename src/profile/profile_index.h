// The profile index of one device: "ProfileList.ini" in the device's data folder (a JSON
// document despite its name) and one profile file per entry. This is the model behind the
// profile panel; the panel's drop-down list shows Names() in this order and its name field
// shows NameEditText(). "ProfileList.ini" on disk is the truth: every operation reads it,
// changes it and writes it back at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

namespace varkon {

class ProfileIndex {
 public:
  static constexpr int kMaxAddedProfiles = 50;  // Add refuses from here on; Copy and Import do not

  // Device type numbers: keyboard 1, mouse 2, mouse pad 3, headset 7.
  void SetDeviceTypeNumber(int number) { deviceTypeNumber_ = number; }
  int DeviceTypeNumber() const { return deviceTypeNumber_; }

  // `dataFolder` ends with a separator (one is added when missing); `defaultDataFile` is the
  // device's default-data file.
  void SetFolders(const std::string& dataFolder, const std::string& defaultDataFile);
  const std::string& DataFolder() const { return dataFolder_; }
  std::string IndexFilePath() const { return dataFolder_ + "ProfileList.ini"; }

  // Reads the index (creating "Profile1" when it is missing or empty), fills the list and
  // selects the stored selection. Entries that are not objects, whose "profileUUID" cannot
  // name a file inside the data folder, or that repeat an earlier entry's identifier are
  // dropped from the index. A "profileselect" outside the list selects entry 0.
  void InitProfileList();

  // Selects list entry `index`, shows its name in the name field, stores the selection in the
  // index and remembers the entry's identifier. False (and nothing changed) outside the list.
  bool SelectProfile(int index);
  // The selected list index, -1 when none.
  int GetSelectedIndex() const { return selected_; }
  // The identifier of the selected profile; empty before the first selection or when the
  // index entry has no usable identifier.
  const std::string& GetCurrentProfileId() const { return currentId_; }
  // The current profile's file, empty when there is no usable identifier.
  std::string CurrentProfileFilePath() const;

  const std::vector<std::string>& Names() const { return names_; }
  const std::string& GetNameEditText() const { return nameEdit_; }
  void SetNameEditText(const std::string& text) { nameEdit_ = text; }

  // Reads the index and returns its number of entries.
  int GetProfileCount();
  // dataFolder + identifier of entry i + ".Json", from the index read by GetProfileCount;
  // empty when there is no such entry or its identifier is unusable.
  std::string GetProfileFilePath(int i) const;

  // Appends "profileN" with a profile file made from the default-data file and stores it as
  // the index's selection (the list's selection stays). False when 50 entries exist.
  bool AddProfile();
  // Appends "<selected> copy" with a copy of the selected profile file. False without a
  // selection.
  bool CopyProfile();
  // Removes the selected entry and its file. Returns the index the caller switches to next
  // (as for a selection in the list; it is also the list's new selection and the index's
  // stored selection), or -1 when refused (no selection, or fewer than two entries).
  int DeleteProfile();
  // Renames the selected profile: 1 done, 0 another entry has the name (ignoring case),
  // 2 the name is blank, -1 nothing selected. See RenameResultMessage.
  int RenameProfile(const std::string& name);
  // Rewrites the selected profile file from the default-data file, keeping name and
  // identifier (and, for the headset, the custom equalisers). False when nothing was written.
  bool ResetProfile();
  // Whether `path` holds a profile that may be imported: an object with non-null
  // "profilename" and "profileUUID".
  static bool IsImportableProfile(const std::string& path);
  // Appends a profile named after the file (de-duplicated with "(1)", "(2)"…) holding the
  // imported document. False when the file is not importable (see Import).
  bool ImportProfile(const std::string& path);
  // Files larger than this are not read: a profile is some tens of kilobytes.
  static constexpr uintmax_t kMaxImportBytes = 4u << 20;
  enum class ImportResult {
    kImported,
    kUnreadable,   // missing, unreadable, or not a JSON document
    kTooLarge,     // over kMaxImportBytes
    kNotAProfile,  // not an object with "profilename" and "profileUUID"
    kNotWritten,   // the data folder did not take the new profile file
  };
  // ImportProfile with the reason of a refusal. Nothing changes unless it says kImported.
  ImportResult Import(const std::string& path);
  // Writes the selected profile file (re-serialised) to `path`. False without a selection or when
  // `path` could not be written.
  bool ExportProfile(const std::string& path);

  // Operation tab n = 1 … 8 becomes the selected one; any other n selects none (0).
  void SelectOperationTab(int n);
  int SelectedOperationTab() const { return selectedTab_; }

 private:
  Json::Value ReadIndex() const;
  void WriteIndex(const Json::Value& index) const;
  std::string ProfilePathOf(const std::string& id) const;
  std::string AppendEntry(const std::string& name, bool storeSelection, std::string id = {});

  int deviceTypeNumber_ = 0;
  std::string dataFolder_;
  std::string defaultDataFile_;
  std::vector<std::string> names_;
  int selected_ = -1;
  std::string currentId_;
  std::string nameEdit_;
  int selectedTab_ = 0;
  Json::Value loadedIndex_;  // as read by GetProfileCount
};

}  // namespace varkon
