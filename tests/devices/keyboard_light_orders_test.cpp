#include <gtest/gtest.h>

#include <set>

#include "devices/key_tables.h"
#include "devices/keyboard_light_orders.h"

namespace varkon {
namespace {

int Gap(int a, int b) {
  return a > b ? a - b : b - a;
}

TEST(KeyboardKeyMatrix, CellsPointBackToTheirKeys) {
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) {
    const KeyCell cell = kKeyCells[key];
    ASSERT_LT(cell.row, kKeyboardRows);
    ASSERT_LT(cell.column, kKeyboardColumns);
    EXPECT_EQ(kKeyboardMatrix[cell.row][cell.column], key);
  }
  // A few fixed places: Esc top row, the Fn key in the bottom row, the music ripple's key 51.
  EXPECT_EQ(kKeyCells[0].row, 0);
  EXPECT_EQ(kKeyCells[0].column, 2);
  EXPECT_EQ(kKeyCells[kFnKeyListIndex].row, 5);
  EXPECT_EQ(kKeyCells[kFnKeyListIndex].column, 12);
  EXPECT_EQ(kKeyCells[51].row, 2);
  EXPECT_EQ(kKeyCells[51].column, 10);
}

TEST(KeyboardLightOrders, SerpentineVisitsEveryKeyOnceAlongTheRows) {
  std::set<int> seen(kSerpentineOrder.begin(), kSerpentineOrder.end());
  EXPECT_EQ(seen.size(), kKeyboardLitKeys);
  EXPECT_EQ(*seen.rbegin(), static_cast<int>(kKeyboardLitKeys - 1));
  // Consecutive keys are on the same row, moving one way per row (right on even rows, left on
  // odd ones), or step down one row at the end where the row before finished.
  for (size_t k = 1; k < kSerpentineOrder.size(); ++k) {
    const KeyCell a = kKeyCells[kSerpentineOrder[k - 1]];
    const KeyCell b = kKeyCells[kSerpentineOrder[k]];
    if (a.row == b.row) {
      EXPECT_EQ(b.column > a.column, a.row % 2 == 0) << "at " << k;
    } else {
      EXPECT_EQ(b.row, a.row + 1) << "at " << k;
      EXPECT_LE(Gap(a.column, b.column), 3) << "the turn at " << k << " jumps across the board";
    }
  }
}

TEST(KeyboardLightOrders, DiagonalGroupsRunFromTopLeftToBottomRight) {
  std::set<int> used(kDiagonalGroupOfKey.begin(), kDiagonalGroupOfKey.end());
  EXPECT_EQ(used.size(), kDiagonalGroups);
  EXPECT_EQ(*used.rbegin(), static_cast<int>(kDiagonalGroups - 1));
  for (size_t a = 0; a < kKeyboardLitKeys; ++a) {
    for (size_t b = 0; b < kKeyboardLitKeys; ++b) {
      const KeyCell ca = kKeyCells[a];
      const KeyCell cb = kKeyCells[b];
      // Same diagonal, same group; further down-right, never an earlier group.
      if (ca.row + ca.column == cb.row + cb.column) {
        EXPECT_EQ(kDiagonalGroupOfKey[a], kDiagonalGroupOfKey[b]);
      }
      if (ca.row <= cb.row && ca.column <= cb.column) {
        EXPECT_LE(kDiagonalGroupOfKey[a], kDiagonalGroupOfKey[b]);
      }
    }
  }
  // No group is empty or swallows the board: 126 keys over 12 groups.
  std::array<int, kDiagonalGroups> sizes{};
  for (uint8_t g : kDiagonalGroupOfKey) ++sizes[g];
  for (int n : sizes) {
    EXPECT_GE(n, 2);
    EXPECT_LE(n, 18);
  }
}

TEST(KeyboardLightOrders, SweepIsAPermutationOfAll170ListIndices) {
  std::set<int> seen(kSweepOrder.begin(), kSweepOrder.end());
  EXPECT_EQ(seen.size(), kSweepPositions);
  EXPECT_EQ(*seen.rbegin(), 169);
  // The lit keys come column by column from the left, so the fill is a wipe.
  int lastColumn = 0;
  size_t litSeen = 0;
  for (size_t i = 0; i < kSweepOrder.size(); ++i) {
    const uint8_t key = kSweepOrder[i];
    if (!IsLitKey(key)) continue;
    ++litSeen;
    EXPECT_GE(kKeyCells[key].column, lastColumn) << "at " << i;
    lastColumn = kKeyCells[key].column;
    EXPECT_EQ(kSweepIndexOfKey[key], i);
  }
  EXPECT_EQ(litSeen, kKeyboardLitKeys);
  // The list indices off the matrix close the order.
  EXPECT_EQ(kSweepOrder.back(), 169);
}

TEST(KeyboardLightOrders, RainStepsHoldAtMostTwelveDistinctLitKeys) {
  size_t total = 0;
  std::set<int> columns;
  for (size_t s = 0; s < kRainSteps; ++s) {
    std::set<int> keys;
    for (uint8_t key : kRainTable[s]) {
      if (key == kNoKey) continue;
      ASSERT_TRUE(IsLitKey(key)) << "step " << s;
      EXPECT_TRUE(keys.insert(key).second) << "key " << int{key} << " twice in step " << s;
      columns.insert(kKeyCells[key].column);
    }
    EXPECT_GE(keys.size(), 6u) << "step " << s << " is nearly dry";
    total += keys.size();
  }
  EXPECT_GT(total, kRainSteps * 9);
  // Over the whole table the rain reaches most of the board's columns.
  EXPECT_GE(columns.size(), kKeyboardColumns - 2);
}

TEST(KeyboardLightOrders, RainDropsFallOneRowPerStep) {
  // Slot r * 2 + d of a step holds drop d at row r; one step later the same drop is a row lower
  // in the same column (where both cells have keys).
  for (size_t s = 0; s < kRainSteps; ++s) {
    const auto& now = kRainTable[s];
    const auto& next = kRainTable[(s + 1) % kRainSteps];
    for (size_t r = 0; r + 1 < kRainDropRows; ++r) {
      for (size_t d = 0; d < kRainDropsPerStep; ++d) {
        const uint8_t a = now[r * kRainDropsPerStep + d];
        const uint8_t b = next[(r + 1) * kRainDropsPerStep + d];
        if (a == kNoKey || b == kNoKey) continue;
        EXPECT_EQ(kKeyCells[a].row, r);
        EXPECT_EQ(kKeyCells[b].row, r + 1);
        EXPECT_EQ(kKeyCells[a].column, kKeyCells[b].column) << "step " << s << " row " << r;
      }
    }
  }
}

TEST(KeyboardLightOrders, NewDropsAvoidTheColumnsOfTheLastSteps) {
  // The two drops starting at step s sit at the top row of step s in slots 0 and 1; their
  // columns come from matrix row 0 (or row 1 where row 0 has no key, one step later).
  auto startColumn = [](size_t s, size_t d) -> int {
    const uint8_t top = kRainTable[s][d];
    if (top != kNoKey) return kKeyCells[top].column;
    const uint8_t below = kRainTable[(s + 1) % kRainSteps][kRainDropsPerStep + d];
    return below != kNoKey ? kKeyCells[below].column : -1;
  };
  for (size_t s = 3; s < kRainSteps; ++s) {
    for (size_t d = 0; d < kRainDropsPerStep; ++d) {
      const int c = startColumn(s, d);
      if (c < 0) continue;
      for (size_t back = 1; back <= 3; ++back) {
        for (size_t e = 0; e < kRainDropsPerStep; ++e) {
          EXPECT_NE(startColumn(s - back, e), c) << "step " << s;
        }
      }
      if (d == 1) {
        EXPECT_NE(startColumn(s, 0), c);
      }
    }
  }
}

}  // namespace
}  // namespace varkon
