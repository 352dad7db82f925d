#include "emulator/emulated_keyboard_layout.h"

#include <algorithm>
#include <array>
#include <optional>

#include "devices/key_tables.h"

namespace varkon {

namespace {

// Keys of the canonical list this board does not have, by key name: it is a full-size ANSI
// board with volume keys, so the ISO/JIS extras, the macro keys and the game-mode and launch
// keys are not on it.
constexpr const char* kMissingKeyNames[] = {
    "GM",  "Launch App2", "K42",  "K132", "K131", "K151", "K150", "K133", "K56",
    "K14", "K45",         "K107", "M1",   "M2",   "M3",   "M4",   "M5",
};

bool Missing(size_t listIndex) {
  const std::vector<size_t>& missing = EmulatedKeyboardMissingKeys();
  return std::find(missing.begin(), missing.end(), listIndex) != missing.end();
}

// The code the board carries at a matrix cell, or none when the cell holds no key of this board.
std::optional<AssignmentCode> CodeAt(size_t row, size_t column) {
  if (row == kEmulatedVendorKeyCell.row && column == kEmulatedVendorKeyCell.column) {
    return kEmulatedVendorKeyCode;
  }
  const uint8_t listIndex = kKeyboardMatrix[row][column];
  if (listIndex >= kCanonicalKeyCount || Missing(listIndex)) return std::nullopt;
  const AssignmentCode code = CanonicalKeyList()[listIndex];
  // The list's empty entries are placeholders, not keys.
  if (code == kEmptyKeyCode) return std::nullopt;
  return code;
}

std::vector<EmulatedKey> BuildKeys() {
  // LED numbers first: they follow the rows, so they are known per cell before positions are.
  std::array<std::array<int, kKeyboardColumns>, kKeyboardRows> ledOf{};
  int nextLed = 0;
  for (size_t row = 0; row < kKeyboardRows; ++row) {
    for (size_t step = 0; step < kKeyboardColumns; ++step) {
      const size_t column = row % 2 == 0 ? step : kKeyboardColumns - 1 - step;
      ledOf[row][column] = CodeAt(row, column) ? nextLed++ : -1;
    }
  }
  std::vector<EmulatedKey> keys;
  for (size_t column = 0; column < kKeyboardColumns; ++column) {
    for (size_t row = 0; row < kKeyboardRows; ++row) {
      const std::optional<AssignmentCode> code = CodeAt(row, column);
      if (!code) continue;
      EmulatedKey key;
      key.code = *code;
      key.led = static_cast<uint8_t>(ledOf[row][column]);
      key.cell = {static_cast<uint8_t>(row), static_cast<uint8_t>(column)};
      keys.push_back(key);
    }
  }
  return keys;
}

}  // namespace

const std::vector<size_t>& EmulatedKeyboardMissingKeys() {
  static const std::vector<size_t> missing = [] {
    std::vector<size_t> indices;
    for (const char* name : kMissingKeyNames) {
      const int row = FindKeyCodeRowByName(name);
      if (row < 0) continue;
      const int index = FindCanonicalIndex(KeyCodeTable()[static_cast<size_t>(row)].code);
      if (index >= 0) indices.push_back(static_cast<size_t>(index));
    }
    return indices;
  }();
  return missing;
}

const std::vector<EmulatedKey>& EmulatedKeyboardKeys() {
  static const std::vector<EmulatedKey> keys = BuildKeys();
  return keys;
}

}  // namespace varkon
