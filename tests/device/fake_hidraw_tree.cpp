#include "fake_hidraw_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace varkon::test {

namespace fs = std::filesystem;

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

FakeHidrawTree::FakeHidrawTree() {
  std::string pattern = (fs::temp_directory_path() / "varkon-hidraw-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp failed";
    return;
  }
  root_ = pattern;
  sysfs_ = root_ + "/sys";
  dev_ = root_ + "/dev";
  fs::create_directories(sysfs_ + "/class/hidraw");
  fs::create_directories(dev_);
}

FakeHidrawTree::~FakeHidrawTree() {
  std::error_code error;
  if (!root_.empty()) fs::remove_all(root_, error);
}

std::string FakeHidrawTree::AddNode(const FakeHidNode& node) {
  ++sequence_;
  char hidName[32];
  std::snprintf(hidName, sizeof(hidName), "0003:%04X:%04X.%04X", node.vendorId, node.productId,
                sequence_);
  const std::string usb = node.sameDeviceAs.empty()
                              ? sysfs_ + "/devices/pci0000:00/usb1/1-" + std::to_string(sequence_)
                              : fs::path(node.sameDeviceAs).parent_path().parent_path().string();
  const std::string interface =
      usb + "/" + fs::path(usb).filename().string() + ":1." + std::to_string(sequence_);
  const std::string hid = interface + "/" + hidName;
  fs::create_directories(hid);
  if (node.bcdDevice) WriteTextFile(usb + "/bcdDevice", *node.bcdDevice + "\n");
  if (node.interfaceNumber) {
    WriteTextFile(interface + "/bInterfaceNumber", *node.interfaceNumber + "\n");
  }
  char id[64];
  std::snprintf(id, sizeof(id), "HID_ID=0003:%08X:%08X\n", node.vendorId, node.productId);
  WriteTextFile(hid + "/uevent",
                node.uevent.value_or("DRIVER=hid-generic\n" + std::string(id) +
                                     "HID_NAME=Varkon Test\n"
                                     "HID_PHYS=usb-0000:00:14.0-" +
                                     std::to_string(sequence_) + "/input0\nHID_UNIQ=\n"));
  if (node.descriptor) {
    WriteTextFile(hid + "/report_descriptor",
                  std::string(node.descriptor->begin(), node.descriptor->end()));
  }
  LinkNode(node.number, hid, node.devNode);
  return hid;
}

void FakeHidrawTree::LinkNode(uint32_t number, const std::string& hidFolder, bool devNode) {
  const std::string name = "hidraw" + std::to_string(number);
  const std::string own = hidFolder + "/hidraw/" + name;
  fs::create_directories(own);
  std::error_code error;
  fs::remove(own + "/device", error);
  fs::create_directory_symlink("../..", own + "/device");
  fs::create_directory_symlink(own, sysfs_ + "/class/hidraw/" + name);
  if (devNode) WriteTextFile(DevNode(number), "");
}

void FakeHidrawTree::RemoveNode(uint32_t number) {
  fs::remove(sysfs_ + "/class/hidraw/hidraw" + std::to_string(number));
  RemoveDevNode(number);
}

void FakeHidrawTree::RemoveDevNode(uint32_t number) {
  std::error_code error;
  fs::remove(DevNode(number), error);
}

std::string FakeHidrawTree::DevNode(uint32_t number) const {
  return dev_ + "/hidraw" + std::to_string(number);
}

}  // namespace varkon::test
