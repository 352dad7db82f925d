#include "profile/macro_list.h"

#include "core/json_file.h"
#include "profile/json_access.h"

namespace varkon {

const char* MacroListFileName(int deviceTypeNumber) {
  return deviceTypeNumber == 3 || deviceTypeNumber == 7 ? kZeltaMacroListFile : kMacroListFile;
}

std::vector<MacroListEntry> MacroListOf(const Json::Value& document) {
  std::vector<MacroListEntry> list;
  const Json::Value& entries = ArrayMember(document, "MacroInfo");
  list.reserve(entries.size());
  for (const Json::Value& entry : entries) {
    MacroListEntry item;
    item.name = StringMember(entry, "MacroName");
    item.guid = StringMember(entry, "Guid");
    if (!IsSafeFileStem(item.guid)) item.guid.clear();
    list.push_back(std::move(item));
  }
  return list;
}

std::vector<MacroListEntry> ReadMacroList(const std::string& path) {
  return MacroListOf(ReadJsonFileNoThrow(path));
}

std::string MacroFilePath(const std::string& folder, const std::string& guid) {
  if (!IsSafeFileStem(guid)) return {};
  return folder + guid + kMacroFileExtension;
}

}  // namespace varkon
