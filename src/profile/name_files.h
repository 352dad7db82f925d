// The read-only name files a device loads beside its profile: its macro list (macro names),
// "default_light.json" (built-in lighting modes and zone names per model) and
// "zelta_light.config" (the user's custom lighting effects per model).
#pragma once

#include <string>
#include <vector>

#include <json/value.h>

namespace varkon {

// The lists a device object keeps from its name files.
struct DeviceNameLists {
  std::vector<std::string> macroNames;
  // Built-in lighting modes in menu order: a mode's position is its mode index ("SelectItem").
  std::vector<std::string> lightModeNames;
  std::vector<bool> lightModeVisible;
  std::vector<int> lightModeValues;  // the mode number sent to the device
  std::vector<std::string> areaLightNames;
  std::vector<std::string> customLightNames;
};

// Where the three files are.
struct NameFilePaths {
  std::string macroList;     // e.g. dataFolder + "macro.config"
  std::string defaultLight;  // defaultDataFolder + "default_light.json"
  std::string lightConfig;   // dataFolder + "zelta_light.config"
};
NameFilePaths NameFilePathsFor(const std::string& dataFolder, const std::string& defaultDataFolder,
                               int modelLightIndex);

// Lists longer than this are cut (real ones have a few dozen entries).
inline constexpr unsigned kMaxNameListEntries = 1024;

// The "MacroName" of every "MacroInfo" element, in order (an element without a name gives "",
// so positions stay macro numbers). Empty when the file or "MacroInfo" is missing.
std::vector<std::string> ReadMacroNames(const std::string& macroListPath);

// Runs the device loader: the macro names are always replaced; the built-in modes and the zone
// names only when "default_light.json" has an entry for the model; the custom names only when
// "zelta_light.config" has one. Lists without an entry are left as they were.
void LoadDeviceNameLists(const NameFilePaths& paths, int modelLightIndex, DeviceNameLists& lists);

// The same steps on documents already read (null documents change nothing but the macros).
void TakeDefaultLightNames(const Json::Value& defaultLight, int modelLightIndex,
                           DeviceNameLists& lists);
void TakeCustomLightNames(const Json::Value& lightConfig, int modelLightIndex,
                          DeviceNameLists& lists);

// Position of the first mode whose number is `value`, or -1 (used to turn a mode number read
// back from a device into a mode index).
int ModePositionOfValue(const std::vector<int>& values, int value);

}  // namespace varkon
