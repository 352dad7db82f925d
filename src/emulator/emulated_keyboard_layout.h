// The emulated keyboard's own layout: which keys the board has, the order its firmware numbers
// them in (key positions, the entries of its key tables) and the LED each key drives. It is
// derived from the program's key facts (the canonical key list for the codes, the key matrix for
// where keys sit), so the emulated tables cannot drift from what the program looks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devices/key_assignment.h"
#include "devices/keyboard_key_matrix.h"

namespace varkon {

struct EmulatedKey {
  AssignmentCode code;  // what key table A holds at this position
  uint8_t led = 0;      // what the LED table holds at this position
  KeyCell cell;         // where the key sits on the key matrix
};

// The board's light-mode key: a code only its own firmware knows, so no entry of the canonical
// key list finds it. It sits in the top-left corner, a cell the program's matrix leaves empty.
inline constexpr AssignmentCode kEmulatedVendorKeyCode{kAssignSpecial, 0x4C, 0x00};
inline constexpr KeyCell kEmulatedVendorKeyCell{0, 0};

// Every key position of the board, in position order. Positions run column by column (left to
// right, each column top to bottom), the way the board's switch matrix is scanned; LEDs run
// along the rows in a serpentine (row 0 left to right, row 1 right to left, ...), the way their
// data line is chained. So neither order is the list-index order.
const std::vector<EmulatedKey>& EmulatedKeyboardKeys();

// Canonical list indices of keys the board lacks: the ISO and JIS extras, the M1-M5 macro keys,
// the game-mode and launch keys. Entries with the empty code (no key) are not listed.
const std::vector<size_t>& EmulatedKeyboardMissingKeys();

}  // namespace varkon
