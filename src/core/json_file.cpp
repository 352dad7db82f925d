#include "core/json_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/debug_out.h"
#include "core/json_text.h"

namespace varkon {

std::string ReadTextFile(const std::string& path) {
  // Only regular files of a sane size: opening a FIFO another program put in the file's place
  // would block the caller (often the window) for good, and a huge file would fill the memory.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) {
    debugOut("readjsonFile: %s is missing or not a regular file\n", path.c_str());
    return {};
  }
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxTextFileSize) {
    debugOut("readjsonFile: %s is too large to read\n", path.c_str());
    return {};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    debugOut("readjsonFile: cannot open %s\n", path.c_str());
    return {};
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    debugOut("readjsonFile: read error on %s\n", path.c_str());
    return {};
  }
  return text.str();
}

Json::Value ReadJsonFile(const std::string& path) {
  const std::string text = ReadTextFile(path);
  if (text.empty()) return Json::Value();
  Json::Value root;
  std::string errors;
  if (!ParseJsonText(text, root, &errors)) {
    debugOut("readjsonFile: %s does not parse: %s\n", path.c_str(), errors.c_str());
    return Json::Value();
  }
  return root;
}

namespace {

std::string TemporaryNameBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
  return target.string() + suffix;
}

}  // namespace

bool WriteJsonFileChecked(const std::string& path, const Json::Value& value) {
  const std::filesystem::path target(path);
  const std::string temporary = TemporaryNameBeside(target);
  std::string text;
  if (!FaithfulStyledJsonText(value, text)) {
    debugOut("writeJsonFile: %s not written: the document would not read back the same\n",
             path.c_str());
    return false;
  }
  text += '\n';  // the files carry one line end more than the styled form
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      debugOut("writeJsonFile: cannot create %s\n", temporary.c_str());
      return false;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      debugOut("writeJsonFile: write to %s failed\n", temporary.c_str());
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    debugOut("writeJsonFile: cannot replace %s\n", path.c_str());
    return false;
  }
  return true;
}

int WriteJsonFile(const std::string& path, const Json::Value& value) {
  WriteJsonFileChecked(path, value);
  return 0;
}

}  // namespace varkon
