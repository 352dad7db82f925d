#include "profile/macro_deletion.h"

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_library.h"

namespace varkon {

namespace {

bool IsMacroKind(uint8_t kind) {
  return kind == kAssignMacro || kind == kAssignMacroRepeat;
}

// The fix-up of one slot; true when it changed.
bool FixSlot(AssignmentSlot& slot, const AssignmentSlot& defaultSlot, int macro) {
  if (!IsMacroKind(slot.code.kind)) return false;
  if (slot.code.b1 == macro) {
    if (slot == defaultSlot) return false;
    slot = defaultSlot;
    return true;
  }
  if (slot.code.b1 > macro) {
    --slot.code.b1;
    return true;
  }
  return false;
}

AssignmentCode CodeMember(const Json::Value& entry, const char* name) {
  return AssignmentCode::FromProfileValue(static_cast<uint32_t>(IntMember(entry, name)));
}

}  // namespace

bool CodePlaysMacro(const AssignmentCode& code, int macro) {
  return IsMacroKind(code.kind) && code.b1 == macro;
}

bool KeyListUsesMacro(const std::vector<KeyAssignmentRecord>& keys, int macro) {
  for (const KeyAssignmentRecord& key : keys) {
    if (CodePlaysMacro(key.main.code, macro) || CodePlaysMacro(key.fn.code, macro)) return true;
  }
  return false;
}

bool RemoveMacroReferences(std::vector<KeyAssignmentRecord>& keys, int macro) {
  bool changed = false;
  for (KeyAssignmentRecord& key : keys) {
    changed |= FixSlot(key.main, key.defaultSlot, macro);
    changed |= FixSlot(key.fn, key.defaultSlot, macro);
  }
  return changed;
}

bool RemoveMacroReferencesInKeyList(Json::Value& keyList, int macro) {
  if (!keyList.isArray()) return false;
  bool changed = false;
  for (Json::Value& entry : keyList) {
    if (!entry.isObject()) continue;
    const AssignmentSlot defaultSlot{0, CodeMember(entry, "DefaultAssignment")};
    for (const char* member : {"Assignment", "FnAssignment"}) {
      AssignmentSlot slot{0, CodeMember(entry, member)};
      if (!FixSlot(slot, defaultSlot, macro)) continue;
      entry[member] = static_cast<int>(slot.code.ToProfileValue());
      changed = true;
    }
  }
  return changed;
}

int RemoveMacroReferencesInProfiles(const std::string& dataFolder,
                                    const std::string& currentProfileId, int macro) {
  std::string folder = dataFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const Json::Value index = ReadJsonFileNoThrow(folder + "ProfileList.ini");
  int written = 0;
  std::vector<std::string> done;
  for (const Json::Value& entry : ArrayMember(index, "profilelist")) {
    const std::string id = StringMember(entry, "profileUUID");
    if (!IsSafeFileStem(id) || id == currentProfileId) continue;
    // A file listed twice is fixed once; twice would move its references down twice.
    bool seen = false;
    for (const std::string& other : done) seen = seen || other == id;
    if (seen) continue;
    done.push_back(id);

    const std::string path = folder + id + ".Json";
    Json::Value profile = ReadJsonFileNoThrow(path);
    // A profile without a device section takes the defaults when first loaded; nothing to fix.
    if (!ElementAt(Member(profile, "Device"), 0).isObject()) continue;
    Json::Value& keyList = profile["Device"][0]["KeyList"];
    if (!RemoveMacroReferencesInKeyList(keyList, macro)) continue;
    WriteJsonFile(path, profile);
    ++written;
  }
  return written;
}

MacroDeletionResult DeleteMacroEverywhere(MacroLibrary& library,
                                          const std::string& currentProfileId,
                                          std::vector<KeyAssignmentRecord>& currentKeys,
                                          const std::function<bool(const char*)>& confirm) {
  MacroDeletionResult result;
  const int macro = library.GetSelectedMacroIndex();
  if (macro < 0) return result;
  if (confirm && !confirm("message_text_4")) return result;
  if (KeyListUsesMacro(currentKeys, macro) && confirm && !confirm("message_text_2")) {
    return result;
  }
  result.otherProfilesChanged =
      RemoveMacroReferencesInProfiles(library.MacroFolder(), currentProfileId, macro);
  result.currentKeysChanged = RemoveMacroReferences(currentKeys, macro);
  result.deleted = library.DeleteMacro();
  return result;
}

}  // namespace varkon
