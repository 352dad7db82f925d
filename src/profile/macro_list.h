// The macro list file of a device ("MacroInfo": one {"MacroName", "Guid"} entry per macro; the
// position is the macro's number) and the names of the macro files it points to.
#pragma once

#include <string>
#include <vector>

#include <json/value.h>

namespace varkon {

inline constexpr const char* kMacroListFile = "macro.config";             // keyboard, mouse
inline constexpr const char* kZeltaMacroListFile = "zelta_macro.config";  // mouse pad, headset
inline constexpr const char* kMacroFileExtension = ".mac";

// The list file name for a device type number (mouse pad 3 and headset 7 use the "zelta" one).
const char* MacroListFileName(int deviceTypeNumber);

struct MacroListEntry {
  std::string name;  // "MacroName", UTF-8
  std::string guid;  // "Guid"; empty when missing or when it could not name a file in the folder
};

// Every element of "MacroInfo", in order; an element that is not an object still counts (with
// empty name and Guid), so positions stay the macro numbers. Empty when the file is unusable.
std::vector<MacroListEntry> ReadMacroList(const std::string& path);
std::vector<MacroListEntry> MacroListOf(const Json::Value& document);

// folder + guid + ".mac"; empty when the Guid could name a file outside the folder.
std::string MacroFilePath(const std::string& folder, const std::string& guid);

}  // namespace varkon
