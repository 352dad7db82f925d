// The byte image of a device's macro memory (also used for the mouse's recoil memory). All
// numbers little-endian:
//   0  magic 0x55AA (AA 55)        2  total size       4  number of macros N
//   6  10 reserved bytes           16 N offsets of the macro blocks from the image start
//   then the blocks in the same order: event count E, 2 reserved bytes, E 4-byte events.
#pragma once

#include <cstdint>
#include <vector>

#include "profile/macro_step.h"

namespace varkon {

using MacroBlock = std::vector<MacroEvent>;

inline constexpr uint64_t kMacroImageHeaderSize = 16;
// Sizes and offsets are 16-bit fields; no image can be larger.
inline constexpr uint64_t kMacroImageMaxSize = 0xFFFF;

// 16 + 6 N + 4 (sum of the event counts).
uint64_t MacroImageSize(const std::vector<uint64_t>& eventCounts);

// 0 when an image of `size` bytes fits a macro memory of `capacityUnits` × 128 bytes (the
// device information's macro-memory size byte); otherwise (size − capacity) / 4 + 1, the
// number of events too many plus one. Never negative; saturates at INT32_MAX.
int MacroImageOverflow(uint64_t size, int capacityUnits);

// Builds the image of `blocks` in order. False (and `image` empty) when it would exceed
// kMacroImageMaxSize.
bool BuildMacroMemoryImage(const std::vector<MacroBlock>& blocks, std::vector<uint8_t>& image);

}  // namespace varkon
