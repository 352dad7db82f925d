// What the keyboard's key tables receive from a key list: the main and Fn layer codes at each
// key's position, with the macros the keys use renumbered in their order of first use (the order
// in which the macro memory image holds them).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "devices/key_assignment.h"
#include "devices/logic/keyboard_key_maps.h"

namespace varkon {

// The keys whose assignments are written (the lit keys of the list).
inline constexpr size_t kWrittenKeyCount = 126;

inline bool IsMacroCode(const AssignmentCode& code) {
  return code.kind == kAssignMacro || code.kind == kAssignMacroRepeat;
}

// The macro numbers the key list uses, in first-use order: per key (list index 0-125 with a
// position) the main layer before the Fn layer; numbers `macroCount` and above are skipped.
std::vector<int> KeyboardMacroList(const std::vector<KeyAssignmentRecord>& keys,
                                   const KeyboardKeyMaps& maps, int macroCount);

struct KeyboardKeyTables {
  std::vector<uint8_t> main;  // N × 3 bytes
  std::vector<uint8_t> fn;
  std::vector<int> macroOrder;  // what KeyboardMacroList gives
};

// Both tables start as copies of the keyboard's own layout, so positions no key reaches keep
// their code. A macro key whose macro no longer exists falls back to its default (main layer) or
// to nothing (Fn layer); an Fn code equal to the key's default is written as 00 00 00. The key
// list itself is not changed (the profile keeps the library's macro numbers).
KeyboardKeyTables BuildKeyboardKeyTables(std::span<const uint8_t> layoutTable,
                                         const std::vector<KeyAssignmentRecord>& keys,
                                         const KeyboardKeyMaps& maps, int macroCount);

// Main-layer macro keys whose macro no longer exists get their default slot back; true when any
// key changed. The Fn layer is not checked here.
bool ResetMissingMacroKeys(std::vector<KeyAssignmentRecord>& keys, int macroCount);

}  // namespace varkon
