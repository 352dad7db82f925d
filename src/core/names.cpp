#include "core/names.h"

#include <charconv>

namespace varkon {

bool ParseDecimal(const std::string& text, int& value) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

IndexedName SplitIndexSuffix(const std::string& name) {
  IndexedName result;
  const size_t underscore = name.rfind('_');
  if (underscore == std::string::npos) return result;
  result.ok = true;
  result.prefix = name.substr(0, underscore + 1);
  // Like a C decimal conversion: leading digits count, anything else reads as 0.
  const std::string rest = name.substr(underscore + 1);
  size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  int number = 0;
  if (digits > 0 && !ParseDecimal(rest.substr(0, digits), number)) number = 0;
  result.number = number;
  return result;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace varkon
