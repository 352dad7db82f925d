// Enumeration, one path per top-level collection, and report-id filtering on the real nodes.
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "device/command_packet.h"
#include "device/hid_paths.h"
#include "emulator/emulated_identities.h"
#include "kernel/guest_checks.h"
#include "kernel/kernel_probe.h"

namespace varkon::ktest {

namespace {

struct Usage {
  uint16_t page;
  uint16_t usage;
};

constexpr Usage kVendorUsages[] = {
    {0x0001, 0x0080}, {0x000C, 0x0001}, {0x000C, 0x0001}, {0xFF1C, 0x0092}};

std::string NodeOf(const std::string& path) {
  return path.substr(0, path.find('#'));
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

// The vendor interface of `kind`: four paths on one node, col01..col04, with their usages.
std::string CheckVendorInterface(HidrawBackend& backend, const std::vector<std::string>& all,
                                 EmulatedKind kind) {
  const HidAttributes ids = EmulatedAttributes(kind);
  const std::string name = EmulatedKindName(kind);
  const std::vector<std::string> paths = PathsOf(all, ids.productId, 1);
  if (paths.size() != 4) {
    return name + ": " + std::to_string(paths.size()) + " paths on interface 1, want 4";
  }
  for (size_t i = 0; i < paths.size(); ++i) {
    if (CollectionOf(paths[i]) != i + 1) return name + ": unexpected collection in " + paths[i];
    if (NodeOf(paths[i]) != NodeOf(paths[0])) return name + ": collections on two nodes";
    auto device = backend.Open(paths[i], false, false, false);
    if (!device) return name + ": cannot open " + paths[i];
    const HidCaps& caps = device->Collection().caps;
    if (caps.usagePage != kVendorUsages[i].page || caps.usage != kVendorUsages[i].usage) {
      return paths[i] + ": usage " + Hex(caps.usagePage) + ":" + Hex(caps.usage);
    }
    const HidAttributes& got = device->Attributes();
    if (got.vendorId != ids.vendorId || got.productId != ids.productId ||
        got.versionNumber != ids.versionNumber) {
      return paths[i] + ": identity " + Hex(got.vendorId) + ":" + Hex(got.productId) + " v" +
             Hex(got.versionNumber);
    }
  }
  auto config = backend.Open(paths[3], false, false, false);
  if (config->Collection().caps.inputReportByteLength != kPacketSize ||
      config->Collection().caps.outputReportByteLength != kPacketSize) {
    return name + ": configuration collection report lengths are not 64";
  }
  return "";
}

// Interface 0 (boot keyboard or mouse): one node of its own, one path without "&col".
std::string CheckBootInterface(HidrawBackend& backend, const std::vector<std::string>& all,
                               EmulatedKind kind, Usage want) {
  const HidAttributes ids = EmulatedAttributes(kind);
  const std::string name = EmulatedKindName(kind);
  const std::vector<std::string> paths = PathsOf(all, ids.productId, 0);
  if (paths.size() != 1) return name + ": " + std::to_string(paths.size()) + " boot paths";
  if (paths[0].find("&col") != std::string::npos) return paths[0] + ": has a collection part";
  if (NodeOf(paths[0]) == NodeOf(PathsOf(all, ids.productId, 1).front())) {
    return name + ": boot interface shares the vendor node";
  }
  auto device = backend.Open(paths[0], false, false, false);
  if (!device) return name + ": cannot open " + paths[0];
  const HidCaps& caps = device->Collection().caps;
  if (caps.usagePage != want.page || caps.usage != want.usage) {
    return paths[0] + ": usage " + Hex(caps.usagePage) + ":" + Hex(caps.usage);
  }
  // The bare node path names its only collection.
  if (!backend.Open(NodeOf(paths[0]), false, false, false)) return "bare node path refused";
  return "";
}

// Reads one report within `timeoutMs`; empty when none came.
std::vector<uint8_t> ReadOne(HidDevice& device, int timeoutMs) {
  std::vector<uint8_t> report(kPacketSize + 1);
  size_t got = 0;
  if (device.Read(report.data(), report.size(), got, timeoutMs) != HidIoResult::Ok) return {};
  report.resize(got);
  return report;
}

}  // namespace

std::vector<std::string> PathsOf(const std::vector<std::string>& paths, uint16_t productId,
                                 uint16_t interfaceNumber) {
  std::vector<std::string> found;
  for (const std::string& path : paths) {
    if (ProductIdOf(path) == productId && InterfaceOf(path) == interfaceNumber &&
        path.rfind("/dev/hidraw", 0) == 0) {
      found.push_back(path);
    }
  }
  return found;
}

std::string ConfigPathOf(HidrawBackend& backend, uint16_t productId) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return "";
  for (const std::string& path : PathsOf(paths, productId, 1)) {
    if (CollectionOf(path) == 4) return path;
  }
  return "";
}

std::string CheckEnumeration(HidrawBackend& backend) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return "enumeration failed";
  // The keyboard's boot interface and vendor interface, the vendor interfaces of mouse and
  // receiver (their interface 0 is a loopback function, which hidraw does not see).
  if (paths.size() != 13) return std::to_string(paths.size()) + " paths listed, want 13";
  for (EmulatedKind kind : {EmulatedKind::Keyboard, EmulatedKind::Mouse, EmulatedKind::Receiver}) {
    std::string why = CheckVendorInterface(backend, paths, kind);
    if (!why.empty()) return why;
  }
  return CheckBootInterface(backend, paths, EmulatedKind::Keyboard, {0x0001, 0x0006});
}

std::string CheckReportIdFilter(HidrawBackend& backend) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return "enumeration failed";
  const std::vector<std::string> vendor = PathsOf(paths, 0x5055, 1);
  if (vendor.size() != 4) return "keyboard vendor paths missing";
  std::shared_ptr<HidDevice> handles[4];
  for (size_t i = 0; i < 4; ++i) {
    handles[i] = backend.Open(vendor[i], true, i == 3, false);
    if (!handles[i]) return "cannot open " + vendor[i];
  }
  PacketBytes probe{};
  probe[0] = kPacketReportId;
  probe[kPacketCommand] = kProbeCommand;
  SealPacket(probe.data());
  size_t written = 0;
  if (handles[3]->Write(probe.data(), probe.size(), written, 1000) != HidIoResult::Ok) {
    return "writing the probe request failed";
  }
  // Every handle sees its own collection's report first, although all four came in on one node
  // in the order 1, 2, 3, 4.
  const std::vector<uint8_t> want[4] = {
      {0x01, kProbeSystemBits},
      {0x02, kProbeConsumerUsage & 0xFF, kProbeConsumerUsage >> 8},
      {0x03, kProbeNotice & 0xFF, kProbeNotice >> 8},
      {},
  };
  for (size_t i = 0; i < 4; ++i) {
    const std::vector<uint8_t> got = ReadOne(*handles[i], 3000);
    if (got.empty()) return "no report on " + vendor[i];
    if (i == 3) {
      if (got.size() != kPacketSize || got[0] != kPacketReportId ||
          got[kPacketCommand] != kProbeCommand || got[kPacketStatus] != kStatusErrorFF) {
        return "col04 got a report with id " + std::to_string(got[0]) + " and " +
               std::to_string(got.size()) + " bytes, not the probe's reply";
      }
    } else if (got != want[i]) {
      return "col0" + std::to_string(i + 1) + " got report id " + std::to_string(got[0]) + " (" +
             std::to_string(got.size()) + " bytes)";
    }
    // Nothing else of this collection is queued.
    if (!ReadOne(*handles[i], 100).empty()) return "a second report on " + vendor[i];
  }
  return "";
}

std::string DescribeFeatureRead(HidrawBackend& backend) {
  const std::string path = ConfigPathOf(backend, 0x5055);
  if (path.empty()) return "no keyboard configuration path";
  const int fd = open(NodeOf(path).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return "cannot open " + NodeOf(path);
  uint8_t buffer[kPacketSize] = {kPacketReportId};
  const int got = ioctl(fd, HIDIOCGFEATURE(sizeof buffer), buffer);
  const int error = errno;
  uint8_t setBuffer[kPacketSize] = {kPacketReportId};
  const int set = ioctl(fd, HIDIOCSFEATURE(sizeof setBuffer), setBuffer);
  const int setError = errno;
  close(fd);
  std::string text = "HIDIOCGFEATURE(id 4) ";
  if (got < 0) {
    text += std::string("failed: ") + std::strerror(error);
  } else {
    bool zeros = true;
    for (int i = 1; i < got; ++i) zeros = zeros && buffer[i] == 0;
    text += "returned " + std::to_string(got) + " bytes" + (zeros ? ", all zero" : "");
  }
  text += "; HIDIOCSFEATURE(id 4) ";
  text += set < 0 ? std::string("failed: ") + std::strerror(setError)
                  : "took " + std::to_string(set) + " bytes";
  return text;
}

}  // namespace varkon::ktest
