#include "device/hid_paths.h"

#include <gtest/gtest.h>

#include "device/device_catalogue.h"

namespace varkon {
namespace {

TEST(HidPaths, ReadsTheNumbersAfterEachMarker) {
  const std::string path = "/dev/hidraw3#vid_320f&pid_5055&mi_01&col04";
  EXPECT_EQ(VendorIdOf(path), 0x320F);
  EXPECT_EQ(ProductIdOf(path), 0x5055);
  EXPECT_EQ(InterfaceOf(path), 1);
  EXPECT_EQ(CollectionOf(path), 4);
}

TEST(HidPaths, MarkersMatchInAnyCaseAndAbsentMarkersGiveZero) {
  const std::string upper = R"(\\?\HID#VID_0C76&PID_1630&MI_03#7&1b2&0&0000#{4d1e55b2})";
  EXPECT_EQ(VendorIdOf(upper), 0x0C76);
  EXPECT_EQ(ProductIdOf(upper), 0x1630);
  EXPECT_EQ(InterfaceOf(upper), 3);
  EXPECT_EQ(CollectionOf(upper), 0);
  EXPECT_EQ(InterfaceOf("emu:pad#vid_320f&pid_1004"), 0);
  EXPECT_EQ(CollectionOf("x&COL03"), 3);
  EXPECT_EQ(VendorIdOf(""), 0);
  EXPECT_EQ(CollectionOf("&col"), 0);            // marker at the very end
  EXPECT_EQ(CollectionOf("&colzz"), 0);          // no digits
  EXPECT_EQ(VendorIdOf("vid_1234567"), 0x4567);  // kept to 16 bits
}

TEST(DeviceCatalogue, TablesMatchTheSupportedDevices) {
  ASSERT_EQ(kSupportedInterfaces.size(), 11u);
  for (size_t i = 0; i < kSupportedInterfaces.size(); ++i) {
    const SupportedInterface& row = kSupportedInterfaces[i];
    EXPECT_EQ(row.attached, 0) << i;
    if (row.hasPartner) {
      // Partners point at each other and share the role.
      const SupportedInterface& partner = kSupportedInterfaces.at(row.partnerIndex);
      EXPECT_EQ(partner.partnerIndex, i) << i;
      EXPECT_EQ(partner.role, row.role) << i;
    }
  }
  EXPECT_EQ(FindSupportedInterface(0x320F, 0x221D, 1, 4), 6);
  EXPECT_EQ(FindSupportedInterface(0x0C76, 0x1630, 3, 0), 10);
  EXPECT_EQ(FindSupportedInterface(0x320F, 0x5055, 0, 0), -1);
  EXPECT_EQ(FindDeviceModel(0x320F, 0x5055, kKindKeyboard, 0), 1);
  EXPECT_EQ(kDeviceModels[FindDeviceModel(0x0C76, 0x1630, kKindHeadset, 0)].lightCount, 13);
  EXPECT_EQ(FindDeviceModel(0x320F, 0x221D, kKindMouseReceiver, 0), -1);
}

}  // namespace
}  // namespace varkon
