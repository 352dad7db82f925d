// A throw-away sysfs and /dev tree laid out like the kernel's: class/hidraw/hidrawN links to
// devices/.../<hid device>/hidraw/hidrawN, whose "device" link leads back to the HID device
// folder (uevent, report_descriptor) inside the USB interface folder (bInterfaceNumber) inside
// the USB device folder (bcdDevice).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varkon::test {

struct FakeHidNode {
  uint32_t number = 0;
  uint16_t vendorId = 0x320f;
  uint16_t productId = 0x5055;
  std::optional<std::string> interfaceNumber = "01";  // bInterfaceNumber text; none when empty
  std::optional<std::string> bcdDevice;               // bcdDevice text; none when empty
  std::optional<std::vector<uint8_t>> descriptor;     // no report_descriptor when empty
  std::optional<std::string> uevent;                  // replaces the generated uevent
  bool devNode = true;                                // a plain file at <dev>/hidrawN
  // Another interface of the USB device of this earlier AddNode result; empty: a new device.
  std::string sameDeviceAs;
};

class FakeHidrawTree {
 public:
  FakeHidrawTree();
  ~FakeHidrawTree();
  FakeHidrawTree(const FakeHidrawTree&) = delete;
  FakeHidrawTree& operator=(const FakeHidrawTree&) = delete;

  const std::string& SysfsRoot() const { return sysfs_; }
  const std::string& DevRoot() const { return dev_; }

  // Creates a new HID device folder (a new identity) and links node `number` to it. Returns the
  // folder.
  std::string AddNode(const FakeHidNode& node);
  // Links node `number` to an existing HID device folder, and creates its dev node.
  void LinkNode(uint32_t number, const std::string& hidFolder, bool devNode = true);
  // Removes the class entry and the dev node; the device folder stays.
  void RemoveNode(uint32_t number);
  void RemoveDevNode(uint32_t number);
  std::string DevNode(uint32_t number) const;

 private:
  std::string root_;
  std::string sysfs_;
  std::string dev_;
  int sequence_ = 0;
};

void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace varkon::test
