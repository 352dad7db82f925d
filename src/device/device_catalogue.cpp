#include "device/device_catalogue.h"

namespace varkon {

// Rows 2 and 3, the keyboard's receiver identity, carry ids 0 and so never match a real
// interface; they keep the keyboard's logic the same shape as the mouse's.
const std::array<SupportedInterface, kSupportedInterfaceCount> kSupportedInterfaces = {{
    {0x320F, 0x5055, 1, 4, kKindKeyboard, kRoleConfiguration, 0, kVendorUsagePage, kVendorUsage, 1,
     2},
    {0x320F, 0x5055, 1, 3, kKindKeyboard, kRoleCompanionInput, 0, kConsumerUsagePage,
     kConsumerUsage, 1, 3},
    {0x0000, 0x0000, 1, 4, kKindKeyboardReceiver, kRoleConfiguration, 0, kVendorUsagePage,
     kVendorUsage, 1, 0},
    {0x0000, 0x0000, 1, 3, kKindKeyboardReceiver, kRoleCompanionInput, 0, kConsumerUsagePage,
     kConsumerUsage, 1, 1},
    {0x320F, 0x50EF, 1, 4, kKindMouse, kRoleConfiguration, 0, kVendorUsagePage, kVendorUsage, 1, 6},
    {0x320F, 0x50EF, 1, 3, kKindMouse, kRoleCompanionInput, 0, kConsumerUsagePage, kConsumerUsage,
     1, 7},
    {0x320F, 0x221D, 1, 4, kKindMouseReceiver, kRoleConfiguration, 0, kVendorUsagePage,
     kVendorUsage, 1, 4},
    {0x320F, 0x221D, 1, 3, kKindMouseReceiver, kRoleCompanionInput, 0, kConsumerUsagePage,
     kConsumerUsage, 1, 5},
    {0x320F, 0x1004, 1, 4, kKindMousePad, kRoleConfiguration, 0, kVendorUsagePage, kVendorUsage, 0,
     0},
    {0x320F, 0x1004, 1, 3, kKindMousePad, kRoleCompanionInput, 0, kConsumerUsagePage,
     kConsumerUsage, 0, 0},
    {0x0C76, 0x1630, 3, 0, kKindHeadset, kRoleConfiguration, 0, kConsumerUsagePage, kConsumerUsage,
     0, 0},
}};

const std::array<DeviceModel, kDeviceModelCount> kDeviceModels = {{
    {"XML\\CustomControlXML\\DeviceOption.xml", "tab_header_device", "device_power_switch", "mouse",
     1, 0x320F, 0x50EF, kKindMouse, 0, 15, kMouseButtonCount, true, -1,
     "XML\\DeviceXml\\mousedevice.xml", "zelta_light"},
    {"XML\\CustomControlXML\\DeviceOption.xml", "tab_header_device", "device_power_switch",
     "keyboard", 0, 0x320F, 0x5055, kKindKeyboard, 0, 170, 170, false, -1,
     "XML\\DeviceXml\\keyboarddevice.xml", "zelta_light"},
    {"XML\\CustomControlXML\\DeviceOption.xml", "tab_header_device", "device_power_switch",
     "MousePad", 2, 0x320F, 0x1004, kKindMousePad, 0, 15, 0, false, -1,
     "XML\\DeviceXml\\mousepaddevice.xml", "zelta_light"},
    {"XML\\CustomControlXML\\DeviceOption.xml", "tab_header_device", "device_power_switch", "HD", 3,
     0x0C76, 0x1630, kKindHeadset, 0, 13, 0, false, -1, "XML\\DeviceXml\\hs6533device.xml",
     "zelta_light"},
}};

int FindDeviceModel(uint16_t vendorId, uint16_t productId, uint16_t kind, uint16_t subType) {
  for (size_t i = 0; i < kDeviceModels.size(); ++i) {
    const DeviceModel& m = kDeviceModels[i];
    if (m.vendorId == vendorId && m.productId == productId && m.kind == kind &&
        m.subType == subType) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int FindSupportedInterface(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                           uint16_t collectionNumber) {
  for (size_t i = 0; i < kSupportedInterfaces.size(); ++i) {
    const SupportedInterface& row = kSupportedInterfaces[i];
    if (row.vendorId == vendorId && row.productId == productId &&
        row.interfaceNumber == interfaceNumber && row.collectionNumber == collectionNumber) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const char* DeviceKindName(uint16_t kind) {
  switch (kind) {
    case kKindKeyboard:
      return "keyboard";
    case kKindMouse:
      return "mouse";
    case kKindMousePad:
      return "mouse pad";
    case kKindMouseReceiver:
      return "mouse (receiver)";
    case kKindHeadset:
      return "headset";
    case kKindKeyboardReceiver:
      return "keyboard (receiver)";
    default:
      return "unknown";
  }
}

}  // namespace varkon
