#include "emulator/firmware_images.h"

#include <algorithm>

#include "emulator/emulated_keyboard_layout.h"

namespace varkon {

namespace {

std::vector<uint8_t>& Area(FirmwareImage& image, MemoryArea area) {
  return image.areas[static_cast<size_t>(area)];
}

void Put(std::vector<uint8_t>& memory, size_t offset, std::initializer_list<uint8_t> bytes) {
  if (offset > memory.size()) return;
  std::copy_n(bytes.begin(), std::min(bytes.size(), memory.size() - offset),
              memory.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Sizes every area; device info gets a firmware version and the identity bytes 5 and 6.
FirmwareImage BaseImage(const char* name, uint8_t countByte, uint8_t macroBlocks) {
  FirmwareImage image;
  image.name = name;
  Area(image, MemoryArea::DeviceInfo).assign(kDeviceInfoSize, 0);
  Area(image, MemoryArea::Settings).assign(kSettingsMemorySize, 0);
  Area(image, MemoryArea::KeyTableA).assign(kKeyTableSize, 0);
  Area(image, MemoryArea::KeyTableB).assign(kKeyTableSize, 0);
  Area(image, MemoryArea::KeyTableC).assign(kKeyTableSize, 0);
  Area(image, MemoryArea::LedTable).assign(kLedTableSize, 0);
  Area(image, MemoryArea::ColourTables).assign(kColourMemorySize, 0);
  Area(image, MemoryArea::MacroMemory).assign(size_t{macroBlocks} * kMacroBlockSize, 0);
  Area(image, MemoryArea::RecoilMemory).assign(kRecoilMemorySize, 0);
  Area(image, MemoryArea::Status).assign(kStatusBlockSize, 0);

  std::vector<uint8_t>& info = Area(image, MemoryArea::DeviceInfo);
  Put(info, 0, {0x02, 0x01});  // firmware 1.02
  info[5] = countByte;
  info[6] = macroBlocks;

  // LEDs in position order; the keyboard replaces this with its own numbering.
  std::vector<uint8_t>& leds = Area(image, MemoryArea::LedTable);
  for (size_t p = 0; p < countByte && p < leds.size(); ++p) leds[p] = static_cast<uint8_t>(p);

  image.commands.set();
  return image;
}

// Mouse, pad and headset: settings byte 0 is the active profile (0). Bytes 1-6 (01 04 02 FF 00
// 00) lie inside profile 0's record, which starts at offset 0 on every model; what each byte
// means follows the model's own record layout (71 bytes on the mouse, 21 on the pad and the
// headset), which these models store but do not interpret.
void PutPlaceholderProfile(FirmwareImage& image) {
  Put(Area(image, MemoryArea::Settings), 0, {0x00, 0x01, 0x04, 0x02, 0xFF, 0x00, 0x00});
}

// The keyboard's light record of profile 0 (39 bytes at 0 x 40; byte 0 doubles as the active
// profile, 0): effect 1 "Wave" of the keyboard's effect list, brightness 4 (full), byte 3 = 4 -
// speed for speed 2, direction 0, colour cycle on, and red as the single colour (R, G, B).
void PutKeyboardProfile(FirmwareImage& image) {
  Put(Area(image, MemoryArea::Settings), 0, {0x00, 0x01, 0x04, 0x02, 0x00, 0x01, 0xFF, 0x00, 0x00});
}

}  // namespace

size_t KeyboardKeyCount() {
  return EmulatedKeyboardKeys().size();
}

std::vector<uint8_t> DefaultKeyboardKeyTable() {
  std::vector<uint8_t> table;
  for (const EmulatedKey& key : EmulatedKeyboardKeys()) {
    table.insert(table.end(), {key.code.kind, key.code.b1, key.code.b2});
  }
  return table;
}

std::vector<uint8_t> DefaultKeyboardLedTable() {
  std::vector<uint8_t> leds;
  for (const EmulatedKey& key : EmulatedKeyboardKeys()) leds.push_back(key.led);
  return leds;
}

std::vector<uint8_t> DefaultMouseKeyTable() {
  return {0x10, 0x01, 0x00, 0x10, 0x02, 0x00, 0x10, 0x04, 0x00, 0x10, 0x10,
          0x00, 0x10, 0x08, 0x00, 0x13, 0x01, 0x00, 0x13, 0x02, 0x00, 0x13,
          0x03, 0x00, 0xA0, 0x1B, 0x00, 0x16, 0x90, 0x01, 0x14, 0x78, 0x02};
}

FirmwareImage KeyboardImage() {
  FirmwareImage image =
      BaseImage("keyboard", static_cast<uint8_t>(KeyboardKeyCount()), kKeyboardMacroBlocks);
  Put(Area(image, MemoryArea::Status), 0, {0x01, 0x00, 0x00, 0x00, 0x64, 0x00});
  PutKeyboardProfile(image);
  const std::vector<uint8_t> keys = DefaultKeyboardKeyTable();
  std::copy(keys.begin(), keys.end(), Area(image, MemoryArea::KeyTableA).begin());
  const std::vector<uint8_t> leds = DefaultKeyboardLedTable();
  std::copy(leds.begin(), leds.end(), Area(image, MemoryArea::LedTable).begin());
  return image;
}

FirmwareImage MouseImage() {
  FirmwareImage image = BaseImage("mouse", kMouseButtonCount, 16);
  std::vector<uint8_t>& info = Area(image, MemoryArea::DeviceInfo);
  Put(info, 9, {0x25, 0x33});  // sensor 0x3325
  info[11] = 100;              // DPI step
  Put(info, 12, {118, 0});     // slider maximum
  Put(info, 14, {200, 0});     // minimum DPI
  Put(Area(image, MemoryArea::Status), 0, {0x50, 0x00, 0x00, 0x00, 0x50, 0x00});
  PutPlaceholderProfile(image);
  const std::vector<uint8_t> keys = DefaultMouseKeyTable();
  std::copy(keys.begin(), keys.end(), Area(image, MemoryArea::KeyTableA).begin());
  return image;
}

FirmwareImage PadImage() {
  FirmwareImage image = BaseImage("pad", kPadLedCount, 0);
  Put(Area(image, MemoryArea::Status), 0, {0x01, 0x00, 0x00, 0x00, 0x64, 0x00});
  PutPlaceholderProfile(image);
  return image;
}

FirmwareImage HeadsetImage() {
  FirmwareImage image = BaseImage("headset", kHeadsetLedCount, 0);
  Put(Area(image, MemoryArea::Status), 0, {0x01, 0x00, 0x00, 0x00, 0x64, 0x00});
  PutPlaceholderProfile(image);
  image.commands.reset();
  for (uint8_t command : {kCmdBeginSession, kCmdEndSession, kCmdReadDeviceInfo, kCmdReadSettings,
                          kCmdWriteSettings, kCmdReadStatus, kCmdQueryOnline}) {
    image.commands.set(command);
  }
  image.takesFrameReports = true;
  return image;
}

FirmwareImage ReceiverImage() {
  FirmwareImage image;
  image.name = "receiver";
  image.commands.set();
  return image;
}

}  // namespace varkon
