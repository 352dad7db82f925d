// The sysfs side of hidraw nodes: the node list under <sysfs>/class/hidraw and the files of the
// HID device behind each node. Every file is read with a size bound and parsed strictly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varkon {

// Largest report descriptor the kernel hands out.
constexpr size_t kHidrawMaxDescriptorSize = 4096;
// Largest text attribute sysfs produces (one page).
constexpr size_t kSysfsMaxTextSize = 4096;

// `root` without trailing slashes; when empty, the value of the environment variable `variable`
// (if any and set), else `fallback`.
std::string ResolveHidrawRoot(std::string root, const char* variable, const char* fallback);

// Reads at most `maxBytes` of a regular file into `out`. False when it cannot be opened, is not
// a regular file or a read fails.
bool ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out);

// Names of the hidraw nodes ("hidraw0", "hidraw12", ...) under <sysfsRoot>/class/hidraw, sorted
// by number. A missing folder is an empty list; false only when listing fails otherwise.
bool ListHidrawNodes(const std::string& sysfsRoot, std::vector<std::string>& names);

// What tells one device behind a node from another that later got the same node number: the
// target of the node's class link, which names the HID device folder with the kernel's
// per-connection sequence number ("../../devices/.../0003:320F:5055.0007/hidraw/hidraw3"). It
// takes one readlink to read, so the watcher can check every node on every pass. The device
// folder and its uevent text are filled in only when the node's files are read.
struct HidrawIdentity {
  std::string link;
  std::string devicePath;
  std::string uevent;

  bool operator==(const HidrawIdentity& other) const { return link == other.link; }
};

// Reads the identity of <sysfsRoot>/class/hidraw/<name>: the link target, or, where the class
// entry is no link, the resolved device folder and its uevent. False when the node is gone.
bool ReadHidrawIdentity(const std::string& sysfsRoot, const std::string& name,
                        HidrawIdentity& identity);
// Resolves the node's HID device folder and reads its uevent into `identity`. False when the
// node is gone or its files cannot be read.
bool CompleteHidrawIdentity(const std::string& sysfsRoot, const std::string& name,
                            HidrawIdentity& identity);

// The fields of a HID device's uevent text the backend uses.
struct HidUevent {
  uint16_t bus = 0;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string name;  // HID_NAME
  std::string phys;  // HID_PHYS
  std::string uniq;  // HID_UNIQ
};

// Parses the KEY=VALUE lines. False when HID_ID is missing or is not "bus:vendor:product" in
// hexadecimal with each number within 16 bits.
bool ParseHidUevent(std::string_view text, HidUevent& out);

// Parses hexadecimal text such as "01\n" (surrounding white space allowed). False when it is
// empty, has other characters, or exceeds `maxValue`.
bool ParseHexText(std::string_view text, uint32_t maxValue, uint32_t& value);

constexpr uint16_t kHidBusUsb = 0x0003;

// The files read once per identity.
struct HidrawDeviceFiles {
  std::vector<uint8_t> descriptor;  // at most kHidrawMaxDescriptorSize bytes
  uint8_t interfaceNumber = 0;      // bInterfaceNumber of the parent folder; 0 when absent
  uint16_t bcdDevice = 0;           // of the USB device folder above; 0 when absent
};

// Reads the report descriptor of the device folder `devicePath` (resolved), the interface number
// from its parent folder and, for USB devices, the device release number from the folder above
// that. False only when the descriptor cannot be read.
bool ReadHidrawDeviceFiles(const std::string& devicePath, bool usb, HidrawDeviceFiles& files);

}  // namespace varkon
