#include "devices/logic/keyboard_key_writer.h"

#include <algorithm>

namespace varkon {

namespace {

bool UsableMacro(const AssignmentCode& code, int macroCount) {
  return IsMacroCode(code) && code.b1 < macroCount;
}

// The macro's place in `order`, appended when new.
uint8_t PlaceOf(std::vector<int>& order, int macro) {
  auto found = std::find(order.begin(), order.end(), macro);
  if (found == order.end()) {
    order.push_back(macro);
    return static_cast<uint8_t>(order.size() - 1);
  }
  return static_cast<uint8_t>(found - order.begin());
}

void Put(std::vector<uint8_t>& table, size_t position, const AssignmentCode& code) {
  if (3 * position + 2 >= table.size()) return;
  table[3 * position] = code.kind;
  table[3 * position + 1] = code.b1;
  table[3 * position + 2] = code.b2;
}

}  // namespace

std::vector<int> KeyboardMacroList(const std::vector<KeyAssignmentRecord>& keys,
                                   const KeyboardKeyMaps& maps, int macroCount) {
  std::vector<int> order;
  const size_t count = std::min(keys.size(), kWrittenKeyCount);
  for (size_t i = 0; i < count; ++i) {
    if (!maps.Has(i)) continue;
    for (const AssignmentCode& code : {keys[i].main.code, keys[i].fn.code}) {
      if (UsableMacro(code, macroCount)) PlaceOf(order, code.b1);
    }
  }
  return order;
}

KeyboardKeyTables BuildKeyboardKeyTables(std::span<const uint8_t> layoutTable,
                                         const std::vector<KeyAssignmentRecord>& keys,
                                         const KeyboardKeyMaps& maps, int macroCount) {
  KeyboardKeyTables tables;
  tables.main.assign(layoutTable.begin(), layoutTable.end());
  tables.fn = tables.main;
  const size_t count = std::min(keys.size(), kWrittenKeyCount);
  for (size_t i = 0; i < count; ++i) {
    if (!maps.Has(i)) continue;
    KeyAssignmentRecord key = keys[i];
    if (IsMacroCode(key.main.code)) {
      if (key.main.code.b1 < macroCount) {
        key.main.code.b1 = PlaceOf(tables.macroOrder, key.main.code.b1);
      } else {
        key.main = key.defaultSlot;
      }
    }
    if (IsMacroCode(key.fn.code)) {
      if (key.fn.code.b1 < macroCount) {
        key.fn.code.b1 = PlaceOf(tables.macroOrder, key.fn.code.b1);
      } else {
        key.fn.code = AssignmentCode{};
        key.fn.listIndex = key.defaultSlot.listIndex;
      }
    }
    const size_t position = maps.keyPosition[i];
    Put(tables.fn, position, key.fn.code == key.defaultSlot.code ? AssignmentCode{} : key.fn.code);
    Put(tables.main, position, key.main.code);
  }
  return tables;
}

bool ResetMissingMacroKeys(std::vector<KeyAssignmentRecord>& keys, int macroCount) {
  bool changed = false;
  for (KeyAssignmentRecord& key : keys) {
    if (IsMacroCode(key.main.code) && key.main.code.b1 >= macroCount) {
      key.main = key.defaultSlot;
      changed = true;
    }
  }
  return changed;
}

}  // namespace varkon
