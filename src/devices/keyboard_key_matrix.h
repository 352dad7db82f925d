// The keyboard's key matrix: where each key of the canonical key list sits on the board, as
// 6 rows (top to bottom) of 23 columns (left to right) of list indices. Only list indices below
// 126 carry a light; the others (and 170, no key) are skipped by every effect.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varkon {

constexpr size_t kKeyboardRows = 6;
constexpr size_t kKeyboardColumns = 23;
// Size of the keyboard's per-key buffers (one entry per list index).
constexpr size_t kKeyboardLights = 170;
// List indices below this carry a light.
constexpr size_t kKeyboardLitKeys = 126;
// A matrix cell without a key.
constexpr uint8_t kNoKey = 170;

using KeyMatrix = std::array<std::array<uint8_t, kKeyboardColumns>, kKeyboardRows>;

// clang-format off
inline constexpr KeyMatrix kKeyboardMatrix = {{
    {170, 170,   0,   1,   2,   3,   4, 134,   5,   6,   7,   8,   9,  10,  11,  12,  56,  14,  15,
      17,  18,  19,  20},
    {120,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34, 101,  36,  35,  13,
      38,  39,  40,  41},
    {121,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55, 103,  80,  57,  82,
      59,  60,  61,  16},
    {122,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  62,  75,  79,  37,  83, 133,
      76,  77,  78, 119},
    {123,  84, 102,  85,  86,  87,  88,  89,  90,  91,  92,  93,  94, 100, 132,  95,  96,  58,  81,
      97,  98,  99, 118},
    {124, 105, 106, 135, 107, 126, 127, 108, 128, 129, 109, 125, 110, 111, 130, 112, 113, 114, 115,
     116, 104, 117, 131},
}};
// clang-format on

// True when list index `key` carries a light.
constexpr bool IsLitKey(size_t key) {
  return key < kKeyboardLitKeys;
}

// Where a lit key sits on the matrix.
struct KeyCell {
  uint8_t row = 0;
  uint8_t column = 0;
};

namespace keyboard_detail {

constexpr std::array<KeyCell, kKeyboardLitKeys> MakeKeyCells() {
  std::array<KeyCell, kKeyboardLitKeys> cells{};
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    for (size_t c = 0; c < kKeyboardColumns; ++c) {
      const uint8_t key = kKeyboardMatrix[r][c];
      if (IsLitKey(key)) cells[key] = {static_cast<uint8_t>(r), static_cast<uint8_t>(c)};
    }
  }
  return cells;
}

// True when every lit key appears exactly once on the matrix.
constexpr bool EveryLitKeyOnce() {
  std::array<int, kKeyboardLitKeys> seen{};
  for (const auto& row : kKeyboardMatrix) {
    for (uint8_t key : row) {
      if (IsLitKey(key)) ++seen[key];
    }
  }
  for (int n : seen) {
    if (n != 1) return false;
  }
  return true;
}

}  // namespace keyboard_detail

// Row and column of every lit key, by list index.
inline constexpr std::array<KeyCell, kKeyboardLitKeys> kKeyCells = keyboard_detail::MakeKeyCells();

// Every lit key appears exactly once on the matrix, so each table below covers all of them.
static_assert(keyboard_detail::EveryLitKeyOnce());

}  // namespace varkon
