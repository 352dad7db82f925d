// What each device model holds when it leaves the factory: memory contents and the commands its
// firmware answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/device_catalogue.h"
#include "emulator/vendor_firmware.h"

namespace varkon {

constexpr size_t kSettingsMemorySize = 1024;
constexpr size_t kKeyTableSize = 512;
constexpr size_t kLedTableSize = 512;
constexpr size_t kColourTableCount = 8;
constexpr size_t kColourMemorySize = kColourTableCount * 512;
constexpr size_t kRecoilMemorySize = 4096;
constexpr size_t kMacroBlockSize = 128;  // device-info byte 6 counts these

constexpr size_t kKeyboardKeyCount = 126;
constexpr size_t kPadLedCount = 15;
constexpr size_t kHeadsetLedCount = 13;

// Key table A of the keyboard: kKeyboardKeyCount entries of 3 key-code bytes.
std::vector<uint8_t> DefaultKeyboardKeyTable();
// Key table A of the mouse: its kMouseButtonCount default button codes.
std::vector<uint8_t> DefaultMouseKeyTable();

FirmwareImage KeyboardImage();
FirmwareImage MouseImage();
FirmwareImage PadImage();
FirmwareImage HeadsetImage();
// The receiver keeps no memory of its own; it relays every command.
FirmwareImage ReceiverImage();

}  // namespace varkon
