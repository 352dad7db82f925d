#include "emulator/emulated_identities.h"

#include <cstdio>
#include <utility>

#include "emulator/emulated_descriptors.h"

namespace varkon {

HidAttributes EmulatedAttributes(EmulatedKind kind) {
  HidAttributes attributes;
  attributes.vendorId = 0x320F;
  attributes.versionNumber = kEmulatedVersionNumber;
  switch (kind) {
    case EmulatedKind::Keyboard:
      attributes.productId = 0x5055;
      break;
    case EmulatedKind::Mouse:
      attributes.productId = 0x50EF;
      break;
    case EmulatedKind::Receiver:
      attributes.productId = 0x221D;
      break;
    case EmulatedKind::Pad:
      attributes.productId = 0x1004;
      break;
    case EmulatedKind::Headset:
      attributes.vendorId = 0x0C76;
      attributes.productId = 0x1630;
      break;
  }
  return attributes;
}

uint8_t VendorInterfaceNumber(EmulatedKind kind) {
  return kind == EmulatedKind::Headset ? 3 : 1;
}

EmulatedDeviceLayout EmulatedLayout(EmulatedKind kind, std::shared_ptr<VendorFirmware> firmware) {
  EmulatedDeviceLayout layout;
  layout.name = EmulatedKindName(kind);
  layout.attributes = EmulatedAttributes(kind);
  switch (kind) {
    case EmulatedKind::Keyboard:
      layout.interfaces.push_back({0, BootKeyboardDescriptor(), nullptr});
      break;
    case EmulatedKind::Mouse:
    case EmulatedKind::Receiver:
      layout.interfaces.push_back({0, BootMouseDescriptor(), nullptr});
      break;
    case EmulatedKind::Pad:
    case EmulatedKind::Headset:
      break;
  }
  if (kind == EmulatedKind::Headset) {
    layout.interfaces.push_back({3, HeadsetDescriptor(), std::move(firmware)});
  } else {
    layout.interfaces.push_back({1, VendorInterfaceDescriptor(), std::move(firmware)});
  }
  return layout;
}

std::string EmulatedVendorPath(EmulatedKind kind, size_t collection) {
  const HidAttributes attributes = EmulatedAttributes(kind);
  char text[96];
  if (kind == EmulatedKind::Headset) {
    std::snprintf(text, sizeof(text), "emu:%s#vid_%04x&pid_%04x&mi_%02x", EmulatedKindName(kind),
                  attributes.vendorId, attributes.productId, VendorInterfaceNumber(kind));
  } else {
    std::snprintf(text, sizeof(text), "emu:%s#vid_%04x&pid_%04x&mi_%02x&col%02zu",
                  EmulatedKindName(kind), attributes.vendorId, attributes.productId,
                  VendorInterfaceNumber(kind), collection + 1);
  }
  return text;
}

}  // namespace varkon
