// What a notice from the keyboard's companion input interface means. The interface reports one
// 16-bit value per input report (the first usage of its first item).
#pragma once

#include <cstdint>

namespace varkon {

struct KeyboardNotice {
  enum class Kind {
    kIgnored,
    kResync,           // 0x0401: re-read the settings
    kSettingsChanged,  // 0x0402: the keyboard changed its profile data; re-read everything
    kCounted,          // 0x0404
    kKeyPressed,       // 0x0500 + position
    kKeyReleased,      // 0x0600 + position
    kHotKey,           // 0x10xx / 0x11xx: an onboard hot-key switched the profile
  };
  Kind kind = Kind::kIgnored;
  int position = -1;    // key notices: the device's key position
  int profile = -1;     // hot-key: the active profile now
  int hotKeyByte = -1;  // 0x11xx hot-keys: the new value of record byte 17; else -1
};

KeyboardNotice ClassifyKeyboardNotice(uint16_t value);

}  // namespace varkon
