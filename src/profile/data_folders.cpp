#include "profile/data_folders.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "profile/json_access.h"

namespace varkon {

namespace {

std::string Slashed(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

int ModelLightIndexOf(const std::string& displayName) {
  if (displayName == "keyboard") return kModelLightKeyboard;
  if (displayName == "mouse") return kModelLightMouse;
  if (displayName == "MousePad") return kModelLightMousePad;
  if (displayName == "HD") return kModelLightHeadset;
  return -1;
}

const char* MacroListFileForModel(int modelLightIndex) {
  if (modelLightIndex == kModelLightKeyboard || modelLightIndex == kModelLightMouse) {
    return "macro.config";
  }
  return "zelta_macro.config";
}

std::string AsFolder(const std::string& path) {
  std::string folder = Slashed(path);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  std::string tail = Slashed(name);
  size_t skip = 0;
  while (skip < tail.size() && tail[skip] == '/') ++skip;
  tail.erase(0, skip);
  if (folder.empty()) return tail;
  return AsFolder(folder) + tail;
}

std::string FolderOf(const std::string& path) {
  const std::string slashed = Slashed(path);
  const size_t slash = slashed.rfind('/');
  return slash == std::string::npos ? std::string() : slashed.substr(0, slash + 1);
}

std::string UserDataRoot() {
  // Relative values are to be ignored (XDG base directory rules).
  std::string base = Environment("XDG_DATA_HOME");
  if (base.empty() || base.front() != '/') {
    const std::string home = Environment("HOME");
    if (home.empty() || home.front() != '/') return {};
    base = JoinPath(home, ".local/share");
  }
  return AsFolder(JoinPath(base, kProductFolderName));
}

std::string ProgramFolder(const std::string& callerFolder) {
  const std::string fromEnvironment = Environment("VARKON_RESOURCE_DIR");
  return AsFolder(fromEnvironment.empty() ? callerFolder : fromEnvironment);
}

std::string DefaultDataFolder(const std::string& programFolder) {
  return AsFolder(JoinPath(programFolder, kDefaultDataFolderName));
}

std::string DeviceFolders::DefaultDataFile(const std::string& displayName) const {
  if (defaultDataFolder.empty() || !IsSafeFileStem(displayName)) return {};
  return defaultDataFolder + displayName + kDefaultDataExtension;
}

std::string DeviceFolders::LightConfigFile() const {
  return dataFolder.empty() ? std::string() : dataFolder + kLightConfigFileName;
}

std::string DeviceFolders::DefaultLightFile() const {
  return defaultDataFolder.empty() ? std::string() : defaultDataFolder + kDefaultLightFileName;
}

DeviceFolders MakeDeviceFolders(const std::string& userRoot, const std::string& programFolder,
                                const std::string& displayName, bool create) {
  DeviceFolders folders;
  if (!IsSafeFileStem(displayName)) return folders;
  if (!programFolder.empty()) folders.defaultDataFolder = DefaultDataFolder(programFolder);
  if (userRoot.empty()) return folders;
  const std::string dataFolder = AsFolder(JoinPath(userRoot, displayName));
  if (create) {
    std::error_code error;
    std::filesystem::create_directories(dataFolder, error);
    if (!std::filesystem::is_directory(dataFolder, error)) return folders;
  }
  folders.dataFolder = dataFolder;
  return folders;
}

}  // namespace varkon
