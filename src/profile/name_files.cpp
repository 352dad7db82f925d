#include "profile/name_files.h"

#include <algorithm>

#include "profile/data_folders.h"
#include "profile/json_access.h"

namespace varkon {

namespace {

// The element of a per-model array; null for an index the file has no entry for.
const Json::Value& ModelEntry(const Json::Value& document, const char* member, int model) {
  if (model < 0) return NullJsonValue();
  return ElementAt(Member(document, member), static_cast<Json::ArrayIndex>(model));
}

std::vector<std::string> NamesOf(const Json::Value& list, const char* member) {
  std::vector<std::string> names(std::min(ArraySize(list), kMaxNameListEntries));
  for (Json::ArrayIndex i = 0; i < names.size(); ++i) names[i] = StringMember(list[i], member);
  return names;
}

}  // namespace

NameFilePaths NameFilePathsFor(const std::string& dataFolder, const std::string& defaultDataFolder,
                               int modelLightIndex) {
  NameFilePaths paths;
  if (!dataFolder.empty()) {
    paths.macroList = JoinPath(dataFolder, MacroListFileForModel(modelLightIndex));
    paths.lightConfig = JoinPath(dataFolder, kLightConfigFileName);
  }
  if (!defaultDataFolder.empty())
    paths.defaultLight = JoinPath(defaultDataFolder, kDefaultLightFileName);
  return paths;
}

std::vector<std::string> ReadMacroNames(const std::string& macroListPath) {
  if (macroListPath.empty()) return {};
  return NamesOf(Member(ReadJsonFileNoThrow(macroListPath), "MacroInfo"), "MacroName");
}

void TakeDefaultLightNames(const Json::Value& defaultLight, int modelLightIndex,
                           DeviceNameLists& lists) {
  const Json::Value& modes = ModelEntry(defaultLight, "DefaultLightName", modelLightIndex);
  if (!modes.isNull()) {
    const Json::ArrayIndex count = std::min(ArraySize(modes), kMaxNameListEntries);
    lists.lightModeNames.assign(count, std::string());
    lists.lightModeVisible.assign(count, false);
    lists.lightModeValues.assign(count, 0);
    for (Json::ArrayIndex i = 0; i < count; ++i) {
      const Json::Value& mode = modes[i];
      lists.lightModeNames[i] = StringMember(mode, "LightName");
      lists.lightModeVisible[i] = BoolMember(mode, "visible");
      lists.lightModeValues[i] = IntMember(mode, "value");
    }
  }
  const Json::Value& areas = ModelEntry(defaultLight, "AreaLightName", modelLightIndex);
  if (!areas.isNull()) lists.areaLightNames = NamesOf(areas, "LightName");
}

void TakeCustomLightNames(const Json::Value& lightConfig, int modelLightIndex,
                          DeviceNameLists& lists) {
  const Json::Value& custom = ModelEntry(lightConfig, "LightInfo", modelLightIndex);
  if (!custom.isNull()) lists.customLightNames = NamesOf(custom, "LightName");
}

void LoadDeviceNameLists(const NameFilePaths& paths, int modelLightIndex, DeviceNameLists& lists) {
  lists.macroNames = ReadMacroNames(paths.macroList);
  if (!paths.defaultLight.empty()) {
    TakeDefaultLightNames(ReadJsonFileNoThrow(paths.defaultLight), modelLightIndex, lists);
  }
  if (!paths.lightConfig.empty()) {
    TakeCustomLightNames(ReadJsonFileNoThrow(paths.lightConfig), modelLightIndex, lists);
  }
}

int ModePositionOfValue(const std::vector<int>& values, int value) {
  const auto found = std::find(values.begin(), values.end(), value);
  return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

}  // namespace varkon
