// Where a device keeps its files: the per-user data folder (profiles, profile index, light
// configuration, macros) and the read-only default-data folder shipped with the program.
#pragma once

#include <string>

namespace varkon {

inline constexpr const char* kProductFolderName = "Varkon Korvu Wired";
inline constexpr const char* kDefaultDataFolderName = "DefaultData";
inline constexpr const char* kDefaultDataExtension = ".Json";
inline constexpr const char* kDefaultLightFileName = "default_light.json";
inline constexpr const char* kLightConfigFileName = "zelta_light.config";

// Index of a model's element in the per-model arrays of the name files.
inline constexpr int kModelLightKeyboard = 0;
inline constexpr int kModelLightMouse = 1;
inline constexpr int kModelLightMousePad = 2;
inline constexpr int kModelLightHeadset = 3;

// The model light index of a display name ("keyboard", "mouse", "MousePad", "HD"), or -1.
int ModelLightIndexOf(const std::string& displayName);

// The macro list file of a model: "macro.config" for keyboard and mouse, "zelta_macro.config"
// for the mouse pad and the headset (and for unknown indices).
const char* MacroListFileForModel(int modelLightIndex);

// `folder` + `name`, with one '/' between them; backslashes in either become '/'.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of `path` including its final '/', or "" when it has none.
std::string FolderOf(const std::string& path);
// `path` with backslashes turned into '/' and a final '/' added when missing ("" stays "").
std::string AsFolder(const std::string& path);

// The per-user root: $XDG_DATA_HOME (when absolute) or $HOME/.local/share, then
// "Varkon Korvu Wired/". Empty when neither variable gives an absolute folder. Not created.
std::string UserDataRoot();

// The program folder: $VARKON_RESOURCE_DIR when set and not empty, else `callerFolder`.
std::string ProgramFolder(const std::string& callerFolder);
// `programFolder` + "DefaultData/".
std::string DefaultDataFolder(const std::string& programFolder);

// A device's folders. The data folder is `userRoot` + display name + "/", created (with the
// root) when `create` is set; it is empty when `userRoot` is empty or the folder cannot be
// created. Both are empty when the display name is not a safe file name.
struct DeviceFolders {
  std::string dataFolder;
  std::string defaultDataFolder;

  // Default-data file of the device: defaultDataFolder + display name + ".Json".
  std::string DefaultDataFile(const std::string& displayName) const;
  std::string LightConfigFile() const;   // dataFolder + "zelta_light.config"
  std::string DefaultLightFile() const;  // defaultDataFolder + "default_light.json"
};
DeviceFolders MakeDeviceFolders(const std::string& userRoot, const std::string& programFolder,
                                const std::string& displayName, bool create = true);

}  // namespace varkon
