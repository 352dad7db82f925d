// Fixed key orders of the keyboard's effects, all derived from the key matrix at compile time:
// the serpentine path of the colour snake, the 12 diagonal groups of the still and moving
// rainbows, the 170-position fill sweep and the 52-step rain table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/keyboard_key_matrix.h"

namespace varkon {

constexpr size_t kDiagonalGroups = 12;
constexpr size_t kSweepPositions = 170;
constexpr size_t kRainSteps = 52;
constexpr size_t kRainKeysPerStep = 12;
// Rows a rain drop falls through (one per step) and new drops per step.
constexpr size_t kRainDropRows = kKeyboardRows;
constexpr size_t kRainDropsPerStep = kRainKeysPerStep / kRainDropRows;

using RainTable = std::array<std::array<uint8_t, kRainKeysPerStep>, kRainSteps>;

namespace keyboard_detail {

// Row by row from the top, left to right on even rows and right to left on odd rows, so the
// snake turns at the board's edges instead of jumping back.
constexpr std::array<uint8_t, kKeyboardLitKeys> MakeSerpentine() {
  std::array<uint8_t, kKeyboardLitKeys> order{};
  size_t n = 0;
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    for (size_t i = 0; i < kKeyboardColumns; ++i) {
      const size_t c = r % 2 == 0 ? i : kKeyboardColumns - 1 - i;
      const uint8_t key = kKeyboardMatrix[r][c];
      if (IsLitKey(key)) order[n++] = key;
    }
  }
  return order;
}

// Diagonal of a cell: row + column runs 0-27 from the top-left corner to the bottom-right one;
// the 28 diagonals are spread evenly over 12 groups.
constexpr uint8_t DiagonalGroup(size_t row, size_t column) {
  constexpr size_t kDiagonals = kKeyboardRows + kKeyboardColumns - 1;
  return static_cast<uint8_t>((row + column) * kDiagonalGroups / kDiagonals);
}

constexpr std::array<uint8_t, kKeyboardLitKeys> MakeDiagonalGroups() {
  std::array<uint8_t, kKeyboardLitKeys> groups{};
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    groups[key] = DiagonalGroup(kKeyCells[key].row, kKeyCells[key].column);
  }
  return groups;
}

// Column by column from the left, down the even columns and up the odd ones, so the fill moves
// across the board as a wipe. Every list index on the matrix comes in its place (those without a
// light are silent beats); the list indices off the matrix close the order, a short hold once
// the board is full or empty.
constexpr std::array<uint8_t, kSweepPositions> MakeSweep() {
  std::array<uint8_t, kSweepPositions> order{};
  std::array<bool, kSweepPositions> used{};
  size_t n = 0;
  for (size_t c = 0; c < kKeyboardColumns; ++c) {
    for (size_t i = 0; i < kKeyboardRows; ++i) {
      const size_t r = c % 2 == 0 ? i : kKeyboardRows - 1 - i;
      const uint8_t key = kKeyboardMatrix[r][c];
      if (key < kSweepPositions && !used[key]) {
        used[key] = true;
        order[n++] = key;
      }
    }
  }
  for (size_t key = 0; key < kSweepPositions; ++key) {
    if (!used[key]) order[n++] = static_cast<uint8_t>(key);
  }
  return order;
}

// Rain: every step two new drops start at the top of two columns and fall one row per step, so
// each step of the table lights the current key of the twelve drops in the air (fewer where a
// drop passes a cell without a key). Columns come from a fixed pseudo-random sequence that never
// repeats a column of the last three steps, so neighbouring drops do not merge into streaks. The
// table is cyclic: drops started near its end finish at its start.
constexpr RainTable MakeRain() {
  RainTable table{};
  for (auto& step : table) step.fill(kNoKey);
  std::array<std::array<uint8_t, kRainDropsPerStep>, kRainSteps> columns{};
  uint32_t seed = 0x2545F491u;
  for (size_t s = 0; s < kRainSteps; ++s) {
    for (size_t d = 0; d < kRainDropsPerStep; ++d) {
      uint8_t column = 0;
      bool fresh = false;
      while (!fresh) {
        seed = seed * 1664525u + 1013904223u;
        column = static_cast<uint8_t>((seed >> 16) % kKeyboardColumns);
        fresh = true;
        for (size_t back = 0; back <= 3 && back <= s; ++back) {
          const size_t limit = back == 0 ? d : kRainDropsPerStep;
          for (size_t e = 0; e < limit; ++e) fresh = fresh && columns[s - back][e] != column;
        }
      }
      columns[s][d] = column;
      for (size_t r = 0; r < kRainDropRows; ++r) {
        table[(s + r) % kRainSteps][r * kRainDropsPerStep + d] = kKeyboardMatrix[r][column];
      }
    }
  }
  // Cells without a light stay in the table as kNoKey.
  for (auto& step : table) {
    for (uint8_t& key : step) {
      if (!IsLitKey(key)) key = kNoKey;
    }
  }
  return table;
}

constexpr std::array<uint8_t, kKeyboardLitKeys> MakeSweepIndex() {
  std::array<uint8_t, kKeyboardLitKeys> index{};
  const auto order = MakeSweep();
  for (size_t i = 0; i < order.size(); ++i) {
    if (IsLitKey(order[i])) index[order[i]] = static_cast<uint8_t>(i);
  }
  return index;
}

}  // namespace keyboard_detail

// Effect 3: the lit keys in snake order.
inline constexpr std::array<uint8_t, kKeyboardLitKeys> kSerpentineOrder =
    keyboard_detail::MakeSerpentine();
// Effects 6 and 18: the diagonal group (0-11, top-left to bottom-right) of every lit key.
inline constexpr std::array<uint8_t, kKeyboardLitKeys> kDiagonalGroupOfKey =
    keyboard_detail::MakeDiagonalGroups();
// Effect 32: the 170 list indices in fill order.
inline constexpr std::array<uint8_t, kSweepPositions> kSweepOrder = keyboard_detail::MakeSweep();
// The position of every lit key in kSweepOrder.
inline constexpr std::array<uint8_t, kKeyboardLitKeys> kSweepIndexOfKey =
    keyboard_detail::MakeSweepIndex();
// Effect 19: the keys each rain step lights (kNoKey: nothing).
inline constexpr RainTable kRainTable = keyboard_detail::MakeRain();

}  // namespace varkon
