// Prints every row of the device catalogue's supported interfaces, one a line:
// "vendor product interface kind-name", the ids as four hex digits. The udev rule test compares
// the installed rule with this.
#include <cstdio>

#include "device/device_catalogue.h"

int main() {
  for (const varkon::SupportedInterface& row : varkon::kSupportedInterfaces) {
    std::printf("%04x %04x %u %s\n", row.vendorId, row.productId,
                static_cast<unsigned>(row.interfaceNumber), varkon::DeviceKindName(row.kind));
  }
  return 0;
}
