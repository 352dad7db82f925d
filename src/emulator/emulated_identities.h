// USB identities and interfaces of the emulated devices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "emulator/device_record.h"
#include "emulator/emulated_kind.h"
#include "emulator/vendor_firmware.h"

namespace varkon {

// Collections (0-based, descriptor order) of the four-collection vendor interface.
constexpr size_t kNoticeCollection = 2;  // col03
constexpr size_t kConfigCollection = 3;  // col04
constexpr uint16_t kEmulatedVersionNumber = 0x0100;

HidAttributes EmulatedAttributes(EmulatedKind kind);
// The interface that carries the vendor protocol: 3 on the headset, 1 elsewhere.
uint8_t VendorInterfaceNumber(EmulatedKind kind);
// The interfaces of `kind`; `firmware` answers on its vendor interface.
EmulatedDeviceLayout EmulatedLayout(EmulatedKind kind, std::shared_ptr<VendorFirmware> firmware);
// The path of a vendor-interface collection (0-based); the headset's has no "&col" part.
std::string EmulatedVendorPath(EmulatedKind kind, size_t collection);

}  // namespace varkon
