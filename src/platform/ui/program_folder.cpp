#include "platform/ui/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace varkon::ui {

namespace {

std::string WithFinalSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

std::string ProgramFolder() {
  const char* fromEnvironment = std::getenv("VARKON_RESOURCE_DIR");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
    std::string folder(fromEnvironment);
    for (char& c : folder) {
      if (c == '\\') c = '/';
    }
    return WithFinalSlash(std::move(folder));
  }
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || executable.empty()) return {};
  const std::filesystem::path folder =
      (executable.parent_path().parent_path() / "share" / kInstalledFolderName).lexically_normal();
  return WithFinalSlash(folder.string());
}

std::string SkinFolder() {
  const std::string program = ProgramFolder();
  return program.empty() ? std::string() : program + kSkinFolderName + "/";
}

std::string NormaliseSkinName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return {};
  std::string result;
  std::string component;
  auto finishComponent = [&]() -> bool {
    if (component.empty()) return true;  // doubled separators
    if (component == "." || component == "..") return false;
    if (!result.empty()) result.push_back('/');
    result += component;
    component.clear();
    return true;
  };
  for (char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '"') return {};
    if (c == '/' || c == '\\') {
      if (!finishComponent()) return {};
    } else {
      component.push_back(c);
    }
  }
  if (!finishComponent()) return {};
  return result;
}

std::string SkinFilePath(const std::string& folder, std::string_view name) {
  const std::string relative = NormaliseSkinName(name);
  if (relative.empty() || folder.empty()) return {};
  return WithFinalSlash(folder) + relative;
}

}  // namespace varkon::ui
