// Report descriptors of the emulated interfaces.
#pragma once

#include <cstdint>
#include <vector>

namespace varkon {

// Interface 0 of the keyboard: a boot keyboard, no report ids.
std::vector<uint8_t> BootKeyboardDescriptor();
// Interface 0 of the mouse and the receiver: a boot mouse, no report ids.
std::vector<uint8_t> BootMouseDescriptor();
// The vendor interface of keyboard, mouse, receiver and pad: four top-level collections,
// system control (id 1), consumer control (id 2), the notice collection (id 3) and the
// configuration collection (id 4, 64-byte reports).
std::vector<uint8_t> VendorInterfaceDescriptor();
// Interface 3 of the headset: one collection with the vendor report (id 4, in and out) and the
// light-frame output report (id 0xFF, 16 data bytes).
std::vector<uint8_t> HeadsetDescriptor();

}  // namespace varkon
