// Deleting a macro of a keyboard or mouse as a whole: key assignments that play it fall back
// to their defaults and references to later macros move down by one, in every profile of the
// device, before the macro leaves the library.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <json/value.h>

#include "devices/key_assignment.h"

namespace varkon {

class MacroLibrary;

// Whether the code plays macro `macro` (kind 0x70 or 0x71 with that macro number).
bool CodePlaysMacro(const AssignmentCode& code, int macro);

// Whether the main or Fn slot of any entry plays macro `macro`.
bool KeyListUsesMacro(const std::vector<KeyAssignmentRecord>& keys, int macro);

// In every entry, separately for the main and the Fn slot: a slot playing `macro` becomes the
// entry's default slot; a macro slot with a higher number gets the number less one. True when
// anything changed.
bool RemoveMacroReferences(std::vector<KeyAssignmentRecord>& keys, int macro);

// The same on a "KeyList" JSON array ("Assignment", "FnAssignment", "DefaultAssignment"
// integers); elements that are not objects are left alone.
bool RemoveMacroReferencesInKeyList(Json::Value& keyList, int macro);

// Applies the fix-up to the "KeyList" of the device section of every profile listed in
// `dataFolder` + "ProfileList.ini" except the profile `currentProfileId` (the device fixes
// that one itself). Only changed files are written; returns how many.
int RemoveMacroReferencesInProfiles(const std::string& dataFolder,
                                    const std::string& currentProfileId, int macro);

struct MacroDeletionResult {
  bool deleted = false;             // the macro left the library
  bool currentKeysChanged = false;  // the device must store and send `currentKeys`
  int otherProfilesChanged = 0;
};

// The whole deletion of the library's selected macro D. `confirm` is asked with
// "message_text_4", and with "message_text_2" when `currentKeys` (the current profile's key
// list) uses D; a refusal stops with nothing changed. Then the other profiles are fixed,
// `currentKeys` is fixed in place and the macro is deleted from the library (its folder is the
// device's data folder). The caller then has the device store and send the changed key list
// and reload its name lists.
MacroDeletionResult DeleteMacroEverywhere(MacroLibrary& library,
                                          const std::string& currentProfileId,
                                          std::vector<KeyAssignmentRecord>& currentKeys,
                                          const std::function<bool(const char*)>& confirm);

}  // namespace varkon
