#include "profile/data_folders.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DataFolders, JoinPathUsesForwardSlashes) {
  EXPECT_EQ(JoinPath("a", "b"), "a/b");
  EXPECT_EQ(JoinPath("a/", "b"), "a/b");
  EXPECT_EQ(JoinPath("C:\\data\\", "x\\y.Json"), "C:/data/x/y.Json");
  EXPECT_EQ(JoinPath("a", "/b"), "a/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(AsFolder("a\\b"), "a/b/");
  EXPECT_EQ(AsFolder(""), "");
  EXPECT_EQ(FolderOf("/x/y/zelta_light.config"), "/x/y/");
  EXPECT_EQ(FolderOf("name.config"), "");
}

TEST(DataFolders, ModelIndicesAndMacroFiles) {
  EXPECT_EQ(ModelLightIndexOf("keyboard"), 0);
  EXPECT_EQ(ModelLightIndexOf("mouse"), 1);
  EXPECT_EQ(ModelLightIndexOf("MousePad"), 2);
  EXPECT_EQ(ModelLightIndexOf("HD"), 3);
  EXPECT_EQ(ModelLightIndexOf("hd"), -1);
  EXPECT_STREQ(MacroListFileForModel(0), "macro.config");
  EXPECT_STREQ(MacroListFileForModel(1), "macro.config");
  EXPECT_STREQ(MacroListFileForModel(2), "zelta_macro.config");
  EXPECT_STREQ(MacroListFileForModel(3), "zelta_macro.config");
}

TEST(DataFolders, UserRootFollowsXdgDataHome) {
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(UserDataRoot(), "/srv/data/Varkon Korvu Wired/");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "relative/data");  // relative values are ignored
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(UserDataRoot(), "/home/u/.local/share/Varkon Korvu Wired/");
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(UserDataRoot(), "");
  }
}

TEST(DataFolders, ProgramFolderPrefersTheResourceVariable) {
  {
    ScopedEnv resources("VARKON_RESOURCE_DIR", "/opt/varkon/share");
    EXPECT_EQ(ProgramFolder("/usr/bin"), "/opt/varkon/share/");
  }
  {
    ScopedEnv resources("VARKON_RESOURCE_DIR", "");
    EXPECT_EQ(ProgramFolder("/usr/bin"), "/usr/bin/");
  }
  EXPECT_EQ(DefaultDataFolder("/opt/v"), "/opt/v/DefaultData/");
}

TEST(DataFolders, DeviceFoldersAreCreated) {
  test::TempDir dir;
  const std::string root = dir.File("root/Varkon Korvu Wired/");
  const DeviceFolders folders = MakeDeviceFolders(root, "/opt/v", "MousePad");
  EXPECT_EQ(folders.dataFolder, root + "MousePad/");
  EXPECT_TRUE(std::filesystem::is_directory(folders.dataFolder));
  EXPECT_EQ(folders.defaultDataFolder, "/opt/v/DefaultData/");
  EXPECT_EQ(folders.DefaultDataFile("MousePad"), "/opt/v/DefaultData/MousePad.Json");
  EXPECT_EQ(folders.LightConfigFile(), root + "MousePad/zelta_light.config");
  EXPECT_EQ(folders.DefaultLightFile(), "/opt/v/DefaultData/default_light.json");

  const DeviceFolders uncreated = MakeDeviceFolders(root, "/opt/v", "HD", false);
  EXPECT_EQ(uncreated.dataFolder, root + "HD/");
  EXPECT_FALSE(std::filesystem::exists(uncreated.dataFolder));
}

TEST(DataFolders, UnsafeDisplayNamesGetNoFolder) {
  test::TempDir dir;
  for (const char* name : {"", "..", "../x", "a/b", "a\\b"}) {
    const DeviceFolders folders = MakeDeviceFolders(dir.File("root"), "/opt/v", name);
    EXPECT_EQ(folders.dataFolder, "") << name;
    EXPECT_EQ(folders.defaultDataFolder, "") << name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("root")));
  const DeviceFolders folders = MakeDeviceFolders(dir.File("root"), "/opt/v", "mouse");
  EXPECT_EQ(folders.DefaultDataFile("../mouse"), "");
}

TEST(DataFolders, FolderThatCannotBeCreated) {
  test::TempDir dir;
  const std::string blocker = dir.File("file");
  std::FILE* file = std::fopen(blocker.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(MakeDeviceFolders(blocker, "/opt/v", "mouse").dataFolder, "");
}

}  // namespace
}  // namespace varkon
