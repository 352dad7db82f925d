// varkon-catalogue-files: writes the installed files that follow the device catalogue, so a
// device added to the catalogue is in them as soon as the program is built again.
//
//   varkon-catalogue-files udev-rule OUT            the udev rule giving the user at the seat the
//                                                   hidraw nodes of the supported interfaces
//   varkon-catalogue-files metainfo TEMPLATE OUT    the AppStream metainfo, its line holding
//                                                   @CATALOGUE_MODALIASES@ replaced by one
//                                                   <modalias> per supported USB device
//
// It runs at build time only and is not installed.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_catalogue.h"
#include "device/hid_access_check.h"

namespace {

constexpr const char kModaliasMarker[] = "@CATALOGUE_MODALIASES@";

// One USB interface the program opens: a hidraw node of it has to be reachable.
struct Identity {
  uint16_t vendorId;
  uint16_t productId;
  uint16_t interfaceNumber;
  uint16_t kind;
};

// The catalogue's interfaces, each once, in catalogue order. Rows with vendor 0 stand for an
// identity no device has (the keyboard's receiver) and are left out.
std::vector<Identity> CatalogueIdentities() {
  std::vector<Identity> identities;
  for (const varkon::SupportedInterface& row : varkon::kSupportedInterfaces) {
    if (row.vendorId == 0) continue;
    bool known = false;
    for (const Identity& seen : identities) {
      known = known || (seen.vendorId == row.vendorId && seen.productId == row.productId &&
                        seen.interfaceNumber == row.interfaceNumber);
    }
    if (!known) identities.push_back({row.vendorId, row.productId, row.interfaceNumber, row.kind});
  }
  return identities;
}

// The start of the USB interface's modalias for this device: "usb:v320Fp5055d" (upper-case hex,
// as the kernel writes it), followed by the release number and the interface's classes.
std::string ModaliasPrefix(uint16_t vendorId, uint16_t productId) {
  char text[32];
  std::snprintf(text, sizeof text, "usb:v%04Xp%04Xd", vendorId, productId);
  return text;
}

std::string UdevRule() {
  std::ostringstream out;
  out << "# " << varkon::kUdevRuleFile
      << ": lets the user at the computer's seat open the hidraw nodes of\n"
         "# the Varkon Korvu Wired devices, on the interface the program configures each one "
         "through.\n"
         "# Generated from the program's device catalogue when it is built: do not edit.\n"
         "#\n"
         "# udev matches every ATTRS of one line on the same parent device. The vendor and "
         "product ids\n"
         "# (idVendor, idProduct) sit on the USB device and bInterfaceNumber on its interface, "
         "so each\n"
         "# line matches the interface alone: its modalias begins with the device's vendor and "
         "product.\n"
         "# uaccess hands the node to the user at the seat (not to remote logins); nothing "
         "else changes.\n";
  for (const Identity& id : CatalogueIdentities()) {
    char comment[96];
    std::snprintf(comment, sizeof comment, "\n# %s, %04x:%04x, interface %u\n",
                  varkon::DeviceKindName(id.kind), id.vendorId, id.productId,
                  static_cast<unsigned>(id.interfaceNumber));
    const std::string line =
        varkon::UdevRuleLine(id.vendorId, id.productId, id.interfaceNumber) + "\n";
    out << comment << line;
  }
  return out.str();
}

bool Metainfo(const std::string& templatePath, std::string& text) {
  std::ifstream in(templatePath);
  if (!in) {
    std::cerr << "varkon-catalogue-files: cannot read " << templatePath << "\n";
    return false;
  }
  std::ostringstream out;
  bool replaced = false;
  for (std::string line; std::getline(in, line);) {
    const size_t marker = line.find(kModaliasMarker);
    if (marker == std::string::npos) {
      out << line << "\n";
      continue;
    }
    const std::string indent = line.substr(0, marker);
    std::vector<std::string> written;
    for (const Identity& id : CatalogueIdentities()) {
      const std::string pattern = ModaliasPrefix(id.vendorId, id.productId) + "*";
      bool seen = false;
      for (const std::string& w : written) seen = seen || w == pattern;
      if (seen) continue;
      written.push_back(pattern);
      out << indent << "<modalias>" << pattern << "</modalias>\n";
    }
    replaced = true;
  }
  if (!replaced) {
    std::cerr << "varkon-catalogue-files: " << templatePath << " has no " << kModaliasMarker
              << " line\n";
    return false;
  }
  text = out.str();
  return true;
}

// Writes beside the target and renames, so a build stopped halfway leaves no cut-off file.
bool WriteFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
      std::cerr << "varkon-catalogue-files: cannot write " << temporary << "\n";
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::cerr << "varkon-catalogue-files: cannot write " << path << ": " << error.message() << "\n";
    return false;
  }
  return true;
}

int Usage() {
  std::cerr << "usage: varkon-catalogue-files udev-rule OUT\n"
               "       varkon-catalogue-files metainfo TEMPLATE OUT\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "udev-rule") {
    return WriteFile(args[1], UdevRule()) ? 0 : 1;
  }
  if (args.size() == 3 && args[0] == "metainfo") {
    std::string text;
    return Metainfo(args[1], text) && WriteFile(args[2], text) ? 0 : 1;
  }
  return Usage();
}
