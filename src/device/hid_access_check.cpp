#include "device/hid_access_check.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "device/device_catalogue.h"
#include "device/hidraw_sysfs.h"

namespace varkon {

namespace {

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

std::string Identity(uint16_t vendorId, uint16_t productId) {
  char text[16];
  std::snprintf(text, sizeof(text), "%04x:%04x", vendorId, productId);
  return text;
}

// The interface the program talks to on vendor:product (its configuration role), or -1 when the
// catalogue does not support the device.
int WantedInterface(uint16_t vendorId, uint16_t productId, std::string& kind) {
  for (const SupportedInterface& row : kSupportedInterfaces) {
    if (row.vendorId == 0 || row.vendorId != vendorId || row.productId != productId) continue;
    if (row.role != kRoleConfiguration) continue;
    kind = DeviceKindName(row.kind);
    return row.interfaceNumber;
  }
  return -1;
}

std::string UserName(uid_t uid) {
  if (const passwd* entry = getpwuid(uid)) return entry->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* entry = getgrgid(gid)) return entry->gr_name;
  return std::to_string(gid);
}

struct Node {
  std::string name;
  uint8_t interfaceNumber = 0;
};

// Nodes of one physical device (one USB device folder).
struct Device {
  uint16_t vendorId = 0, productId = 0;
  std::vector<Node> nodes;
};

}  // namespace

std::string UdevRuleLine(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber) {
  char line[160];
  std::snprintf(line, sizeof(line),
                "SUBSYSTEM==\"hidraw\", ATTRS{modalias}==\"usb:v%04Xp%04Xd*\", "
                "ATTRS{bInterfaceNumber}==\"%02x\", TAG+=\"uaccess\"",
                vendorId, productId, static_cast<unsigned>(interfaceNumber));
  return line;
}

std::string HidAccessFinding::Message() const {
  const std::string device = kind + " (" + Identity(vendorId, productId) + ")";
  char mode[8];
  std::snprintf(mode, sizeof(mode), "%04o", this->mode & 07777);
  switch (problem) {
    case Problem::None:
      return device + ": " + node + " is ready.";
    case Problem::NodeMissing:
      return device + ": the kernel made its node, but " + node +
             " does not exist. The device folder is not managed by udev or devtmpfs; plug the "
             "device in again once it is.";
    case Problem::NotPermitted:
      return device + ": " + node + " belongs to " + owner + ":" + group + " with mode " + mode +
             ", so you cannot open it. Install the rule " + kUdevRuleFile +
             " (make install, or the package) in /etc/udev/rules.d or /usr/lib/udev/rules.d; its "
             "line for this device is\n  " +
             UdevRuleLine(vendorId, productId, wantedInterface) +
             "\nthen apply it without a reboot: sudo udevadm control --reload && sudo udevadm "
             "trigger --subsystem-match=hidraw (the rule gives access to the user at the "
             "computer's seat, not to remote logins).";
    case Problem::NoMatchingInterface: {
      std::string seen;
      for (uint8_t number : seenInterfaces) {
        seen += (seen.empty() ? "" : ", ") + std::to_string(number);
      }
      return device + " is plugged in, but its interface " + std::to_string(wantedInterface) +
             ", the one settings go through, has no hidraw node (it has " +
             (seen.empty() ? std::string("none") : "interface " + seen) +
             "). Another driver may have claimed it; unplug the device and plug it in again.";
    }
  }
  return device;
}

bool HidAccessReport::AnyProblem() const {
  return std::any_of(findings.begin(), findings.end(), [](const HidAccessFinding& f) {
    return f.problem != HidAccessFinding::Problem::None;
  });
}

std::string HidAccessReport::Text() const {
  if (findings.empty()) {
    return "No supported device is plugged in" +
           (otherNodes == 0 ? std::string(".")
                            : " (" + std::to_string(otherNodes) +
                                  " hidraw node(s) of other devices are present).");
  }
  std::string text;
  for (const HidAccessFinding& finding : findings) {
    if (!text.empty()) text += "\n";
    text += finding.Message();
  }
  return text;
}

HidAccessReport CheckHidAccess(const std::string& sysfsRootIn, const std::string& devRootIn,
                               NodeAccessProbe probe) {
  const std::string sysfsRoot = ResolveHidrawRoot(sysfsRootIn, "VARKON_SYSFS_ROOT", "/sys");
  const std::string devRoot = ResolveHidrawRoot(devRootIn, nullptr, "/dev");
  if (!probe) {
    probe = [](const std::string& path) { return access(path.c_str(), R_OK | W_OK) == 0; };
  }
  HidAccessReport report;
  std::vector<std::string> names;
  if (!ListHidrawNodes(sysfsRoot, names)) return report;

  std::map<std::string, Device> devices;  // by USB device folder, in a stable order
  for (const std::string& name : names) {
    HidrawIdentity identity;
    HidUevent uevent;
    if (!ReadHidrawIdentity(sysfsRoot, name, identity) ||
        !CompleteHidrawIdentity(sysfsRoot, name, identity) ||
        !ParseHidUevent(identity.uevent, uevent)) {
      continue;
    }
    std::string kind;
    if (uevent.bus != kHidBusUsb || WantedInterface(uevent.vendorId, uevent.productId, kind) < 0) {
      ++report.otherNodes;
      continue;
    }
    // The HID device sits in the USB interface folder, inside the USB device folder.
    const std::string interfaceFolder = Parent(identity.devicePath);
    std::string text;
    uint32_t interfaceNumber = 0;
    if (ReadFileBounded(interfaceFolder + "/bInterfaceNumber", 64, text)) {
      ParseHexText(text, 0xFF, interfaceNumber);
    }
    Device& device = devices[Parent(interfaceFolder)];
    device.vendorId = uevent.vendorId;
    device.productId = uevent.productId;
    device.nodes.push_back({name, static_cast<uint8_t>(interfaceNumber)});
  }

  for (const auto& [folder, device] : devices) {
    HidAccessFinding finding;
    finding.vendorId = device.vendorId;
    finding.productId = device.productId;
    finding.wantedInterface =
        static_cast<uint8_t>(WantedInterface(device.vendorId, device.productId, finding.kind));
    const auto wanted = std::find_if(device.nodes.begin(), device.nodes.end(), [&](const Node& n) {
      return n.interfaceNumber == finding.wantedInterface;
    });
    if (wanted == device.nodes.end()) {
      finding.problem = HidAccessFinding::Problem::NoMatchingInterface;
      for (const Node& node : device.nodes) finding.seenInterfaces.push_back(node.interfaceNumber);
      report.findings.push_back(std::move(finding));
      continue;
    }
    finding.node = devRoot + "/" + wanted->name;
    struct stat info {};
    if (stat(finding.node.c_str(), &info) != 0) {
      finding.problem = HidAccessFinding::Problem::NodeMissing;
    } else if (!probe(finding.node)) {
      finding.problem = HidAccessFinding::Problem::NotPermitted;
      finding.owner = UserName(info.st_uid);
      finding.group = GroupName(info.st_gid);
      finding.mode = info.st_mode & 07777;
    }
    report.findings.push_back(std::move(finding));
  }
  return report;
}

}  // namespace varkon
