// Where the program's read-only files live, and how skin file names the program uses become
// paths inside that folder.
#pragma once

#include <string>
#include <string_view>

namespace varkon::ui {

inline constexpr const char* kInstalledFolderName = "varkon-korvu-wired";
inline constexpr const char* kSkinFolderName = "skin";

// The program folder: $VARKON_RESOURCE_DIR when set and not empty, else
// <folder of the executable>/../share/varkon-korvu-wired. Ends in '/'; empty when neither is
// known.
std::string ProgramFolder();
// ProgramFolder() + "skin/", or empty.
std::string SkinFolder();

// A skin or image name as the program spells it ("XML\\DeviceXml\\keyboarddevice.xml") made
// into a relative path with '/' ("XML/DeviceXml/keyboarddevice.xml"). Empty components are
// dropped. Empty result when the name is empty, absolute, has a "." or ".." component, or holds
// a control character or a double quote.
std::string NormaliseSkinName(std::string_view name);
// `folder` (with or without a final '/') + the normalised name; empty when the name is refused
// or the folder is empty.
std::string SkinFilePath(const std::string& folder, std::string_view name);

}  // namespace varkon::ui
