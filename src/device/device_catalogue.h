// The fixed tables of what the program can talk to: every supported HID interface and every
// device model.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace varkon {

enum DeviceKind : uint16_t {
  kKindKeyboard = 1,
  kKindMouse = 2,
  kKindMousePad = 3,
  kKindHeadsetPicture = 4,  // selector picture only
  kKindHub = 5,             // selector picture only
  kKindMouseReceiver = 6,
  kKindHeadset = 7,
  kKindKeyboardReceiver = 9,
};

// The mouse's programmable buttons (its model row's key count).
inline constexpr size_t kMouseButtonCount = 11;

constexpr uint16_t kRoleConfiguration = 0;
constexpr uint16_t kRoleCompanionInput = 255;

constexpr uint16_t kVendorUsagePage = 0xFF1C;
constexpr uint16_t kVendorUsage = 0x0092;
constexpr uint16_t kConsumerUsagePage = 0x000C;
constexpr uint16_t kConsumerUsage = 0x0001;

// One supported interface, followed at run time by the binding of an interface of the system.
struct SupportedInterface {
  uint16_t vendorId;
  uint16_t productId;
  uint16_t interfaceNumber;
  uint16_t collectionNumber;
  uint16_t kind;
  uint16_t role;
  uint16_t attached;
  uint16_t usagePage;
  uint16_t usage;
  uint16_t hasPartner;
  uint16_t partnerIndex;
};

constexpr size_t kSupportedInterfaceCount = 11;
extern const std::array<SupportedInterface, kSupportedInterfaceCount> kSupportedInterfaces;

struct DeviceModel {
  const char* selectorItemLayout;
  const char* tabHeaderGroup;
  const char* powerTabLayout;
  const char* displayName;
  int panelIndex;
  uint16_t vendorId;
  uint16_t productId;
  uint16_t kind;
  uint16_t subType;
  int lightCount;
  int keyCount;
  bool wirelessCapable;
  int mirroredLightIndex;
  const char* devicePanelLayout;
  const char* lightPanelName;
};

constexpr size_t kDeviceModelCount = 4;
extern const std::array<DeviceModel, kDeviceModelCount> kDeviceModels;

constexpr const char* kPowerPanelLayout = "XML\\CustomControlXML\\MpDevicePower.xml";

// The row index of the model with these values, or -1.
int FindDeviceModel(uint16_t vendorId, uint16_t productId, uint16_t kind, uint16_t subType);

// A readable name for a kind: "keyboard", "mouse", "mouse pad", "mouse (receiver)", "headset",
// "keyboard (receiver)"; "unknown" otherwise.
const char* DeviceKindName(uint16_t kind);

// The first supported-interface row with these identity numbers, or -1.
int FindSupportedInterface(uint16_t vendorId, uint16_t productId, uint16_t interfaceNumber,
                           uint16_t collectionNumber);

}  // namespace varkon
