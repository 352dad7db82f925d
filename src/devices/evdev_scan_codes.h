// Linux input key codes (the evdev KEY_* numbers) turned into the PC keyboard scan codes of set 1
// with their extended-key (E0) flag, the form the key capture and the macro recorder work with.
// The window system reports a key as its evdev code plus 8; the caller removes that offset.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace varkon {

struct Set1Key {
  uint8_t scanCode = 0;
  bool extended = false;
  friend bool operator==(const Set1Key&, const Set1Key&) = default;
};

struct EvdevSet1Row {
  uint16_t evdevCode;
  Set1Key key;
};

// Every evdev code the program knows, in ascending order of code.
std::span<const EvdevSet1Row> EvdevSet1Table();

// The set-1 scan code of an evdev key code; nullopt for a key without one (mouse buttons, the
// many media and launcher keys that have no PC scan code, unknown codes).
std::optional<Set1Key> Set1FromEvdev(uint32_t evdevCode);

// The offset between the window system's key code and the evdev code (X11 and Wayland alike).
inline constexpr uint32_t kWindowSystemKeyCodeOffset = 8;

}  // namespace varkon
