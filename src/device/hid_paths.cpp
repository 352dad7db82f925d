#include "device/hid_paths.h"

#include <cctype>

namespace varkon {

namespace {

uint16_t HexAfterMarker(const std::string& path, const char* marker) {
  const std::string needle(marker);
  if (path.size() < needle.size()) return 0;
  for (size_t start = 0; start + needle.size() <= path.size(); ++start) {
    bool match = true;
    for (size_t k = 0; k < needle.size() && match; ++k) {
      match = std::tolower(static_cast<unsigned char>(path[start + k])) == needle[k];
    }
    if (!match) continue;
    // Read hex digits the way "%x" does; the value is truncated to 16 bits like the callers'.
    uint32_t value = 0;
    for (size_t i = start + needle.size(); i < path.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(path[i]);
      if (!std::isxdigit(c)) break;
      value = (value << 4) |
              static_cast<uint32_t>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    return static_cast<uint16_t>(value);
  }
  return 0;
}

}  // namespace

uint16_t VendorIdOf(const std::string& path) {
  return HexAfterMarker(path, "vid_");
}
uint16_t ProductIdOf(const std::string& path) {
  return HexAfterMarker(path, "pid_");
}
uint16_t InterfaceOf(const std::string& path) {
  return HexAfterMarker(path, "&mi_");
}
uint16_t CollectionOf(const std::string& path) {
  return HexAfterMarker(path, "&col");
}

}  // namespace varkon
