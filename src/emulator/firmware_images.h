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

constexpr size_t kPadLedCount = 15;
constexpr size_t kHeadsetLedCount = 13;
constexpr uint8_t kKeyboardMacroBlocks = 32;

// The keyboard's key positions (device-info byte 5): one per key of its layout.
size_t KeyboardKeyCount();
// Key table A of the keyboard: the default code of each key position, 3 bytes each.
std::vector<uint8_t> DefaultKeyboardKeyTable();
// The keyboard's LED table: the LED number of each key position, one byte each.
std::vector<uint8_t> DefaultKeyboardLedTable();
// Key table A of the mouse: its kMouseButtonCount default button codes.
std::vector<uint8_t> DefaultMouseKeyTable();

FirmwareImage KeyboardImage();
FirmwareImage MouseImage();
FirmwareImage PadImage();
FirmwareImage HeadsetImage();
// The receiver keeps no memory of its own; it relays every command.
FirmwareImage ReceiverImage();

}  // namespace varkon
