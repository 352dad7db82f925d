// What a key or mouse button is told to do: a 3-byte code, the slot that carries it in a key
// list, and the per-key record of Fn-layer, main-layer and default slots.
#pragma once

#include <cstdint>

namespace varkon {

// Byte 0 of an AssignmentCode: what kind of function the key performs.
enum AssignmentKind : uint8_t {
  kAssignNone = 0x00,         // shown like a keyboard key
  kAssignMouseButton = 0x10,  // b1 button bit
  kAssignSwing = 0x11,        // b1 delay << 4 | speed, b2 count | direction << 7
  kAssignWheel = 0x12,        // b1 delay << 4 | speed, b2 count or negative count
  kAssignDpi = 0x13,          // b1 1 up, 2 down, 3 cycle
  kAssignFire = 0x14,         // b1 interval, b2 count
  kAssignDpiShift = 0x16,
  kAssignKeyboard = 0x20,      // b1 modifier bits, b2 HID keyboard usage
  kAssignEditShortcut = 0x22,  // b2 0 open ... 8 select all
  kAssignShowWindow = 0x23,
  kAssignMedia = 0x30,         // b1 b2 consumer usage, little-endian
  kAssignSystem = 0x40,        // b1 1 power, 2 sleep, 4 wake up
  kAssignMacro = 0x70,         // b1 macro number, b2 play mode 0-3
  kAssignMacroRepeat = 0x71,   // b1 macro number, b2 repeat count
  kAssignRecoil = 0x72,        // b1 recoil entry number
  kAssignSpecial = 0xA0,       // b1 0 disabled, 1 Fn, 2 smart key, 0x1B game mode
  kAssignCombination = 0xB0,   // empty combination key
  kAssignOnboardMacro = 0xD0,  // b1 0xA2, b2 1-5 (M1-M5)
};

struct AssignmentCode {
  uint8_t kind = 0;  // AssignmentKind
  uint8_t b1 = 0;
  uint8_t b2 = 0;

  friend bool operator==(const AssignmentCode&, const AssignmentCode&) = default;

  // In profiles a code is one integer: kind << 16 | b1 << 8 | b2.
  uint32_t ToProfileValue() const {
    return static_cast<uint32_t>(kind) << 16 | static_cast<uint32_t>(b1) << 8 | b2;
  }
  static AssignmentCode FromProfileValue(uint32_t value) {
    return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value)};
  }
};

struct AssignmentSlot {
  uint16_t listIndex = 0;  // the key's position in the profile's key list
  AssignmentCode code;

  friend bool operator==(const AssignmentSlot&, const AssignmentSlot&) = default;
};

struct KeyAssignmentRecord {
  AssignmentSlot fn;           // "FnAssignment"
  AssignmentSlot main;         // "Assignment"
  AssignmentSlot defaultSlot;  // "DefaultAssignment"

  friend bool operator==(const KeyAssignmentRecord&, const KeyAssignmentRecord&) = default;
};

}  // namespace varkon
