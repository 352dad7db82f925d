#include "device/hidraw_sysfs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace varkon {

namespace {

constexpr std::string_view kNodePrefix = "hidraw";
// Node numbers are kernel minors; nine digits keep the parse within 32 bits.
constexpr size_t kMaxNodeDigits = 9;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// The number of a "hidrawN" name; false for any other name.
bool NodeNumber(std::string_view name, uint32_t& number) {
  if (name.substr(0, kNodePrefix.size()) != kNodePrefix) return false;
  const std::string_view digits = name.substr(kNodePrefix.size());
  if (digits.empty() || digits.size() > kMaxNodeDigits) return false;
  uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  number = value;
  return true;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

// Reads a small hexadecimal attribute; `fallback` when absent or malformed.
uint32_t ReadHexAttribute(const std::string& path, uint32_t maxValue, uint32_t fallback) {
  std::string text;
  uint32_t value = 0;
  if (!ReadFileBounded(path, 64, text) || !ParseHexText(text, maxValue, value)) return fallback;
  return value;
}

}  // namespace

std::string ResolveHidrawRoot(std::string root, const char* variable, const char* fallback) {
  if (root.empty() && variable != nullptr) {
    const char* value = std::getenv(variable);
    if (value != nullptr) root = value;
  }
  if (root.empty()) root = fallback;
  while (!root.empty() && root.back() == '/') root.pop_back();
  return root;
}

bool ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out) {
  out.clear();
  // O_NONBLOCK keeps a FIFO planted in the tree from blocking the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  out.resize(maxBytes);
  size_t used = 0;
  bool ok = true;
  while (used < maxBytes) {
    const ssize_t got = read(fd, out.data() + used, maxBytes - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (got == 0) break;
    used += static_cast<size_t>(got);
  }
  close(fd);
  out.resize(ok ? used : 0);
  return ok;
}

bool ListHidrawNodes(const std::string& sysfsRoot, std::vector<std::string>& names) {
  names.clear();
  const std::string folder = sysfsRoot + "/class/hidraw";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return errno == ENOENT;  // no hidraw device was ever bound

  std::vector<std::pair<uint32_t, std::string>> found;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    uint32_t number = 0;
    if (NodeNumber(entry->d_name, number)) found.emplace_back(number, entry->d_name);
  }
  const bool ok = errno == 0;
  closedir(dir);
  if (!ok) return false;

  std::sort(found.begin(), found.end());
  names.reserve(found.size());
  for (auto& [number, name] : found) names.push_back(std::move(name));
  return true;
}

bool CompleteHidrawIdentity(const std::string& sysfsRoot, const std::string& name,
                            HidrawIdentity& identity) {
  const std::string link = sysfsRoot + "/class/hidraw/" + name + "/device";
  char* resolved = realpath(link.c_str(), nullptr);
  if (resolved == nullptr) return false;
  identity.devicePath = resolved;
  free(resolved);
  return ReadFileBounded(identity.devicePath + "/uevent", kSysfsMaxTextSize, identity.uevent);
}

bool ReadHidrawIdentity(const std::string& sysfsRoot, const std::string& name,
                        HidrawIdentity& identity) {
  identity = HidrawIdentity();
  char target[PATH_MAX];
  const std::string entry = sysfsRoot + "/class/hidraw/" + name;
  const ssize_t length = readlink(entry.c_str(), target, sizeof target - 1);
  if (length > 0) {
    identity.link.assign(target, static_cast<size_t>(length));
    return true;
  }
  if (errno != EINVAL) return false;  // gone (or unreadable) rather than no link
  if (!CompleteHidrawIdentity(sysfsRoot, name, identity)) return false;
  identity.link = identity.devicePath + "\n" + identity.uevent;
  return true;
}

bool ParseHexText(std::string_view text, uint32_t maxValue, uint32_t& value) {
  text = Trim(text);
  if (text.empty() || text.size() > 8) return false;
  uint32_t result = 0;
  for (char c : text) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return false;
    }
    result = result << 4 | digit;
  }
  if (result > maxValue) return false;
  value = result;
  return true;
}

bool ParseHidUevent(std::string_view text, HidUevent& out) {
  out = HidUevent();
  bool haveId = false;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));

    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "HID_ID") {
      const size_t first = value.find(':');
      const size_t second = first == std::string_view::npos ? first : value.find(':', first + 1);
      if (second == std::string_view::npos) return false;
      uint32_t bus, vendor, product;
      if (!ParseHexText(value.substr(0, first), 0xFFFF, bus) ||
          !ParseHexText(value.substr(first + 1, second - first - 1), 0xFFFF, vendor) ||
          !ParseHexText(value.substr(second + 1), 0xFFFF, product)) {
        return false;
      }
      out.bus = static_cast<uint16_t>(bus);
      out.vendorId = static_cast<uint16_t>(vendor);
      out.productId = static_cast<uint16_t>(product);
      haveId = true;
    } else if (key == "HID_NAME") {
      out.name = value;
    } else if (key == "HID_PHYS") {
      out.phys = value;
    } else if (key == "HID_UNIQ") {
      out.uniq = value;
    }
  }
  return haveId;
}

bool ReadHidrawDeviceFiles(const std::string& devicePath, bool usb, HidrawDeviceFiles& files) {
  files = HidrawDeviceFiles();
  std::string descriptor;
  if (!ReadFileBounded(devicePath + "/report_descriptor", kHidrawMaxDescriptorSize, descriptor)) {
    return false;
  }
  files.descriptor.assign(descriptor.begin(), descriptor.end());

  // The HID device sits in the USB interface folder, which sits in the USB device folder.
  const std::string interfaceFolder = ParentFolder(devicePath);
  files.interfaceNumber =
      static_cast<uint8_t>(ReadHexAttribute(interfaceFolder + "/bInterfaceNumber", 0xFF, 0));
  if (usb) {
    files.bcdDevice = static_cast<uint16_t>(
        ReadHexAttribute(ParentFolder(interfaceFolder) + "/bcdDevice", 0xFFFF, 0));
  }
  return true;
}

}  // namespace varkon
