#include "devices/sync_light_modes.h"

#include <array>

namespace varkon {
namespace {

// Rows by sync type; columns keyboard, mouse, mouse pad, headset.
constexpr int kKindCount = 4;
constexpr std::array<std::array<uint8_t, kKindCount>, kSyncTypeCount> kModeTable = {{
    {5, 2, 2, 2},    // breathing
    {6, 3, 3, 3},    // static
    {34, 4, 4, 4},   // blink
    {4, 1, 1, 1},    // spectrum
    {21, 10, 8, 8},  // off
}};

// Column of a device class; -1 for a value outside the four.
int Column(LightDeviceClass kind) {
  switch (kind) {
    case LightDeviceClass::kKeyboard:
      return 0;
    case LightDeviceClass::kMouse:
      return 1;
    case LightDeviceClass::kMousePad:
      return 2;
    case LightDeviceClass::kHeadset:
      return 3;
  }
  return -1;
}

}  // namespace

std::optional<uint8_t> ModeOfSyncType(LightDeviceClass kind, SyncType type) {
  const int row = static_cast<int>(type);
  const int column = Column(kind);
  if (row >= kSyncTypeCount || column < 0) return std::nullopt;
  return kModeTable[row][column];
}

std::optional<SyncType> SyncTypeOfMode(LightDeviceClass kind, uint8_t mode) {
  const int column = Column(kind);
  if (column < 0) return std::nullopt;
  for (int row = 0; row < kSyncTypeCount; ++row) {
    if (kModeTable[row][column] == mode) return static_cast<SyncType>(row);
  }
  return std::nullopt;
}

}  // namespace varkon
