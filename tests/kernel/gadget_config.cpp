#include "kernel/gadget_config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "emulator/emulated_descriptors.h"
#include "emulator/emulated_identities.h"
#include "kernel/kernel_probe.h"

namespace varkon::ktest {

namespace {

struct HidFunction {
  std::string instance;  // "if0"; empty for the loopback filler
  uint8_t protocol = 0;  // 1 boot keyboard, 2 boot mouse
  size_t reportLength = 0;
  std::vector<uint8_t> descriptor;
};

std::string GadgetFolder(const std::string& name) {
  return std::string(kGadgetRoot) + "/" + name;
}

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", value);
  return text;
}

bool WriteText(const std::string& path, const std::string& text, std::string& why) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.flush();
  if (!out) why = "cannot write " + path + ": " + std::strerror(errno);
  return static_cast<bool>(out);
}

bool MakeFolder(const std::string& path, std::string& why) {
  if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
  why = "cannot create " + path + ": " + std::strerror(errno);
  return false;
}

// Interfaces in number order, as configfs numbers functions in the order they are linked.
std::vector<HidFunction> FunctionsOf(EmulatedKind kind, bool bootInterface) {
  std::vector<HidFunction> functions;
  const EmulatedDeviceLayout layout = EmulatedLayout(kind, nullptr);
  if (layout.interfaces.front().number != 0 || !bootInterface) functions.push_back({});
  for (const EmulatedInterfaceLayout& interface : layout.interfaces) {
    if (interface.number == 0 && !bootInterface) continue;
    HidFunction function;
    function.instance = "if" + std::to_string(interface.number);
    function.descriptor = interface.descriptor;
    if (interface.descriptor == BootKeyboardDescriptor()) {
      function.protocol = 1;
      function.reportLength = 8;
    } else if (interface.descriptor == BootMouseDescriptor()) {
      function.protocol = 2;
      function.reportLength = 4;
    } else {
      function.reportLength = 64;  // the vendor report with its id byte
    }
    functions.push_back(std::move(function));
  }
  return functions;
}

}  // namespace

bool CreateGadget(EmulatedKind kind, const std::string& name, const std::string& udc,
                  bool bootInterface, std::string& why) {
  const std::string folder = GadgetFolder(name);
  const HidAttributes ids = EmulatedAttributes(kind);
  if (!MakeFolder(folder, why) || !WriteText(folder + "/idVendor", Hex4(ids.vendorId), why) ||
      !WriteText(folder + "/idProduct", Hex4(ids.productId), why) ||
      !WriteText(folder + "/bcdDevice", Hex4(ids.versionNumber), why) ||
      !WriteText(folder + "/bcdUSB", "0x0200", why) ||
      !MakeFolder(folder + "/strings/0x409", why) ||
      !WriteText(folder + "/strings/0x409/manufacturer", "Varkon test", why) ||
      !WriteText(folder + "/strings/0x409/product", EmulatedKindName(kind), why) ||
      !WriteText(folder + "/strings/0x409/serialnumber", "KT-" + name, why) ||
      !MakeFolder(folder + "/configs/c.1", why)) {
    return false;
  }
  for (const HidFunction& function : FunctionsOf(kind, bootInterface)) {
    const std::string type =
        function.instance.empty() ? "Loopback.if0" : "hid." + function.instance;
    const std::string path = folder + "/functions/" + type;
    const std::string link = folder + "/configs/c.1/" + type;
    if (function.instance.empty()) {
      if (!MakeFolder(path, why)) return false;
      if (symlink(path.c_str(), link.c_str()) != 0 && errno != EEXIST) {
        why = "cannot link " + link + ": " + std::strerror(errno);
        return false;
      }
      continue;
    }
    const std::string descriptor(function.descriptor.begin(), function.descriptor.end());
    if (!MakeFolder(path, why) ||
        !WriteText(path + "/protocol", std::to_string(function.protocol), why) ||
        !WriteText(path + "/subclass", function.protocol != 0 ? "1" : "0", why) ||
        !WriteText(path + "/report_length", std::to_string(function.reportLength), why) ||
        !WriteText(path + "/report_desc", descriptor, why)) {
      return false;
    }
    if (symlink(path.c_str(), link.c_str()) != 0 && errno != EEXIST) {
      why = "cannot link " + link + ": " + std::strerror(errno);
      return false;
    }
  }
  return BindGadget(name, udc, why);
}

bool BindGadget(const std::string& name, const std::string& udc, std::string& why) {
  return WriteText(GadgetFolder(name) + "/UDC", udc.empty() ? "\n" : udc, why);
}

std::string VendorHidgNode(const std::string& name) {
  // The function's "dev" attribute is major:minor; the hidg class lists the nodes by number.
  std::string kindName;
  std::ifstream product(GadgetFolder(name) + "/strings/0x409/product");
  std::getline(product, kindName);
  std::vector<EmulatedKind> kinds;
  if (!ParseEmulatedKinds(kindName, kinds) || kinds.size() != 1) return "";
  const std::string instance = "if" + std::to_string(VendorInterfaceNumber(kinds[0]));
  std::string dev;
  std::ifstream devFile(GadgetFolder(name) + "/functions/hid." + instance + "/dev");
  std::getline(devFile, dev);
  if (dev.empty()) return "";
  for (int number = 0; number < 64; ++number) {
    std::string other;
    std::ifstream classDev("/sys/class/hidg/hidg" + std::to_string(number) + "/dev");
    std::getline(classDev, other);
    if (other == dev) return "/dev/hidg" + std::to_string(number);
  }
  return "";
}

}  // namespace varkon::ktest
