#include "devices/logic/mouse_key_maps.h"

#include <algorithm>

#include "devices/key_tables.h"
#include "devices/logic/keyboard_key_writer.h"

namespace varkon {

MouseButtonPositions DiscoverMouseButtonPositions(std::span<const uint8_t> layoutTable) {
  MouseButtonPositions positions;
  positions.fill(kNoMousePosition);
  const size_t count = std::min<size_t>(layoutTable.size() / 3, kNoMousePosition);
  const auto& buttons = MouseCanonicalButtons();
  for (size_t j = 0; j < buttons.size(); ++j) {
    const AssignmentCode& code = buttons[j].code;
    for (size_t p = 0; p < count; ++p) {
      if (layoutTable[3 * p] == code.kind && layoutTable[3 * p + 1] == code.b1 &&
          layoutTable[3 * p + 2] == code.b2) {
        positions[j] = static_cast<uint8_t>(p);
        break;
      }
    }
  }
  return positions;
}

MouseKeyTable BuildMouseKeyTable(std::span<const uint8_t> layoutTable,
                                 const std::vector<KeyAssignmentRecord>& keys,
                                 const MouseButtonPositions& positions, int macroCount) {
  MouseKeyTable result;
  result.table.assign(layoutTable.begin(), layoutTable.end());
  const size_t count = std::min(keys.size(), positions.size());
  for (size_t i = 0; i < count; ++i) {
    const size_t position = positions[i];
    if (position == kNoMousePosition || 3 * position + 2 >= result.table.size()) continue;
    AssignmentCode code = keys[i].main.code;
    if (IsMacroCode(code)) {
      if (code.b1 < macroCount) {
        auto found = std::find(result.macroOrder.begin(), result.macroOrder.end(), code.b1);
        if (found == result.macroOrder.end()) {
          result.macroOrder.push_back(code.b1);
          found = result.macroOrder.end() - 1;
        }
        code.b1 = static_cast<uint8_t>(found - result.macroOrder.begin());
      } else {
        code = keys[i].defaultSlot.code;
      }
    }
    result.table[3 * position] = code.kind;
    result.table[3 * position + 1] = code.b1;
    result.table[3 * position + 2] = code.b2;
  }
  return result;
}

}  // namespace varkon
