// Fuzz target for the readers of the profile index, the macro list, macro files and recoil
// files. The input is written as each of those files in a scratch data folder, then every
// reader and the operations built on them run over it and their invariants are checked.
//
// With VARKON_FUZZ_SEED_DIR set, the program writes its seed inputs there and exits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/json_file.h"
#include "core/json_text.h"
#include "profile/json_access.h"
#include "profile/macro_file.h"
#include "profile/macro_library.h"
#include "profile/macro_library_image.h"
#include "profile/macro_memory_image.h"
#include "profile/macro_step.h"
#include "profile/profile_index.h"
#include "profile/recoil_file.h"
#include "profile/recoil_image.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// A scratch folder for the whole run, removed at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "varkon-profile-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& Scratch() {
  static ScratchFolder folder;
  return folder.path();
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

const char* const kSeeds[] = {
    R"({"profilelist":[{"profilename":"Profile1","profileUUID":"2024_03_05_14_07_09_042",)"
    R"("profileislink":0,"profilelinkmame":""},{"profilename":"b","profileUUID":"x"}],)"
    R"("profileselect":1})",
    R"({"MacroInfo":[{"MacroName":"macro_1","Guid":"input"},{"MacroName":"m","Guid":"g"}]})",
    R"({"MacroName":"m","Guid":"g","Events":[{"Action":"down","Type":10,"Button":4,)"
    R"("Delay":"300"},{"Action":"up","Type":10,"Button":4,"Delay":"0"}],"Version":64})",
    R"({"Events":[{"Action":"down","Button":1,"Delay":10,"Type":1},)"
    R"({"Action":"up","Button":1,"Delay":0,"Type":1},{"Action":"down","Button":12,"Delay":5,)"
    R"("Type":4},{"Action":"up","Button":30,"Delay":80,"Type":5},null,{}]})",
    R"({"Device":[{"KeyList":[{"Assignment":7340544,"FnAssignment":0,)"
    R"("DefaultAssignment":2097156}],"CustomEQNameInfo":[{"Name":"x"}]}],)"
    R"("profilename":"p","profileUUID":"q"})",
};

void WriteSeeds(const char* dir) {
  int index = 0;
  for (const char* seed : kSeeds) {
    const std::string path = std::string(dir) + "/seed_" + std::to_string(index++);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::exit(1);
    const size_t size = std::char_traits<char>::length(seed);
    const size_t written = std::fwrite(seed, 1, size, file);
    if (std::fclose(file) != 0 || written != size) std::exit(1);
  }
}

void RunProfileIndex(const std::string& data, const std::string& input,
                     const std::string& defaults) {
  varkon::ProfileIndex index;
  index.SetFolders(data, defaults);
  index.SetDeviceTypeNumber(7);
  index.InitProfileList();
  Check(!index.Names().empty());
  Check(index.GetSelectedIndex() >= 0 &&
        index.GetSelectedIndex() < static_cast<int>(index.Names().size()));
  Check(varkon::ReadJsonFileNoThrow(index.IndexFilePath()).isObject());
  index.GetProfileCount();
  index.GetProfileFilePath(0);
  index.ImportProfile(input);
  index.AddProfile();
  index.CopyProfile();
  index.RenameProfile("renamed");
  index.ResetProfile();
  index.ExportProfile(data + "export.json");
  index.DeleteProfile();
  Check(varkon::ReadJsonFileNoThrow(index.IndexFilePath()).isObject());
}

void RunMacros(const std::string& data, const std::string& input) {
  varkon::MacroLibrary library;
  library.SetMacroFolder(data);
  library.LoadMacroNames();
  library.SelectMacro(0);
  library.LoadMacroEvents(input);
  varkon::MacroBlock block;
  for (const varkon::MacroRow& row : library.Rows()) {
    block.push_back(varkon::EncodeMacroStep(varkon::ParseMacroRow(row)));
  }
  std::vector<uint8_t> image;
  if (varkon::BuildMacroMemoryImage({block}, image)) {
    Check(image.size() == 16 + 6 + 4 * block.size());
  }
  library.SaveMacro();
  library.RenameMacro("renamed");

  image.clear();
  const int result = varkon::BuildLibraryMacroImage(data, {0, 1, 2}, 255, image);
  Check(result >= -1);
  if (result == 0) Check(image.size() <= 255u * 128);
  if (result != 0) Check(image.empty());
  library.DeleteMacro();
}

void RunRecoil(const std::string& data) {
  for (int bullet = 0; bullet < varkon::kRecoilBulletCount; ++bullet) {
    varkon::LoadBullet(data, 0, bullet);
  }
  std::vector<uint8_t> image;
  Check(varkon::BuildRecoilImage(data, image));
  Check(image.size() >= 40 && image.size() <= 2920);

  // A saved bullet reads back, and the file holds exactly the change plus what it held.
  const std::string path = varkon::RecoilFilePath(data, 1);
  Json::Value expected = varkon::ReadJsonFileNoThrow(path);
  if (!expected.isObject()) expected = Json::Value(Json::objectValue);
  const varkon::RecoilBullet bullet{true, 1, false, 2, 3};
  varkon::WriteBullet(expected, 29, bullet);
  Check(varkon::SaveBullet(data, 1, 29, bullet));
  Check(varkon::LoadBullet(data, 1, 29) == bullet);
  Check(varkon::SameJsonDocument(varkon::ReadJsonFileNoThrow(path), expected));
}

// Every file kind: what was read is written back, and reads back as the same document.
void CheckRoundTrips(const std::vector<std::string>& paths, const std::string& scratch) {
  for (const std::string& path : paths) {
    const Json::Value document = varkon::ReadJsonFileNoThrow(path);
    Check(varkon::WriteJsonFileChecked(scratch, document));
    Check(varkon::SameJsonDocument(varkon::ReadJsonFileNoThrow(scratch), document));
  }
  std::error_code ignored;
  std::filesystem::remove(scratch, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (const char* dir = std::getenv("VARKON_FUZZ_SEED_DIR")) {
    WriteSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string root = Scratch() + "/";
  const std::string folder = root + "data/";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder, ignored);

  const std::string input = root + "input.json";
  const std::string defaults = root + "defaults.Json";
  const std::vector<std::string> files = {input,
                                          defaults,
                                          folder + "ProfileList.ini",
                                          folder + "macro.config",
                                          folder + "input.mac",
                                          folder + "x.Json",
                                          folder + "2024_03_05_14_07_09_042.Json",
                                          folder + "ShootData_0.Shoot",
                                          folder + "ShootData_1.Shoot",
                                          folder + "ShootData_2.Shoot",
                                          folder + "ShootData_3.Shoot"};
  for (const std::string& path : files) WriteFile(path, data, size);

  RunProfileIndex(folder, input, defaults);
  RunMacros(folder, input);
  RunRecoil(folder);
  // The files as the operations above left them, each read, written and read again.
  CheckRoundTrips(files, folder + "roundtrip.json");

  // Nothing may be written beside the data folder but the files put there above.
  for (const auto& item : std::filesystem::directory_iterator(root)) {
    const std::string name = item.path().filename().string();
    Check(name == "data" || name == "input.json" || name == "defaults.Json");
  }
  return 0;
}
