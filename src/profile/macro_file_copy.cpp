#include "profile/macro_file_copy.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace varkon {

namespace {

std::string TemporaryBeside(const std::string& target) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.copy", static_cast<unsigned long long>(random()));
  return target + suffix;
}

}  // namespace

bool CopyFileReplacing(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty()) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) return false;
  std::ifstream in(source, std::ios::binary);
  if (!in) return false;

  const std::string temporary = TemporaryBeside(target);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    // An empty source leaves the stream in a failed state after <<; that is not an error.
    if (in.peek() != std::ifstream::traits_type::eof()) out << in.rdbuf();
    out.flush();
    if (!out || in.bad()) {
      out.close();
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace varkon
