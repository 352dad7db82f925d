// Where the mouse's fixed button list sits in this mouse, and the key table it is sent: the
// mouse's table holds one 3-byte code per button position (its own layout); a list entry is
// found at the first position that carries its default code. The mouse has one layer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "device/device_catalogue.h"
#include "devices/key_assignment.h"

namespace varkon {

inline constexpr uint8_t kNoMousePosition = 170;
using MouseButtonPositions = std::array<uint8_t, kMouseButtonCount>;

// `layoutTable` holds N codes of 3 bytes.
MouseButtonPositions DiscoverMouseButtonPositions(std::span<const uint8_t> layoutTable);

struct MouseKeyTable {
  std::vector<uint8_t> table;   // N × 3 bytes
  std::vector<int> macroOrder;  // the library's macro numbers in the order the table numbers them
};

// The table starts as a copy of the mouse's layout, so positions no button reaches keep their
// code; each button with a position gets its main code, a macro renumbered in first-use order
// (a macro that no longer exists, number `macroCount` or above, gives the button's default).
// Buttons beyond the list, or without a position (a mouse without a fire button), are not sent.
MouseKeyTable BuildMouseKeyTable(std::span<const uint8_t> layoutTable,
                                 const std::vector<KeyAssignmentRecord>& keys,
                                 const MouseButtonPositions& positions, int macroCount);

}  // namespace varkon
