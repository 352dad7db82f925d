// Why a supported device that is plugged in cannot be used: for each supported device sysfs
// shows, whether its configuration interface has a hidraw node, whether the node exists under
// the device root, and whether this user may open it — with the owner, the mode and the udev
// rule that would fix it. `varkon-hid check` prints it; the window shows it instead of "no
// device" when a supported device is present but unreachable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace varkon {

// The rule file the program installs.
inline constexpr const char* kUdevRuleFile = "70-varkon-korvu-wired.rules";

struct HidAccessFinding {
  enum class Problem {
    None,                 // usable
    NodeMissing,          // sysfs has the node, the device root does not
    NotPermitted,         // the node exists but this user may not open it for reading and writing
    NoMatchingInterface,  // the device is there, but not the interface the program talks to
  };
  Problem problem = Problem::None;
  std::string kind;  // "keyboard", "mouse (receiver)", ...
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string node;                     // "/dev/hidraw3"; empty for NoMatchingInterface
  uint8_t wantedInterface = 0;          // the interface the program talks to
  std::vector<uint8_t> seenInterfaces;  // NoMatchingInterface: what the device has instead
  std::string owner, group;             // NotPermitted
  uint32_t mode = 0;                    // NotPermitted: the node's permission bits

  // One paragraph for a user: what is wrong and how to put it right.
  std::string Message() const;
};

struct HidAccessReport {
  std::vector<HidAccessFinding> findings;  // one per supported physical device
  size_t otherNodes = 0;                   // hidraw nodes of devices the program does not support

  bool AnyProblem() const;
  // Every finding's message, or that no supported device is present.
  std::string Text() const;
};

// Whether this user may open `path` for reading and writing (the real check honours ACLs, which
// the udev "uaccess" tag uses).
using NodeAccessProbe = std::function<bool(const std::string& path)>;

// Checks every hidraw node under <sysfsRoot>/class/hidraw against the device catalogue. Empty
// roots mean $VARKON_SYSFS_ROOT or "/sys", and "/dev". A null probe uses access(2).
HidAccessReport CheckHidAccess(const std::string& sysfsRoot = {}, const std::string& devRoot = {},
                               NodeAccessProbe probe = {});

// The udev rule line that lets the user at the seat open the hidraw nodes of one interface of
// vendor:product. udev matches all ATTRS of a line on one parent device, and the USB interface
// carries both its number and a modalias that begins with the device's ids ("usb:v320Fp5055d").
std::string UdevRuleLine(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber);

}  // namespace varkon
