// What a notice from one of the mouse's companion input interfaces means (one 16-bit value per
// input report).
#pragma once

#include <cstdint>

namespace varkon {

struct MouseNotice {
  enum class Kind {
    kIgnored,
    kResync,    // 0x0401, 0x0402: re-read the settings record
    kReactive,  // 0x0403 on the first interface: the reactive effect lights up
    kHotKey,    // 0x10xx / 0x11xx: an onboard hot-key switched the profile (and the stage)
  };
  Kind kind = Kind::kIgnored;
  int profile = -1;  // hot-key: the active profile now
  int stage = -1;    // 0x11xx hot-keys: the selected DPI stage now; else -1
};

// `secondInterface`: the notice came on the receiver's interface, where hot-keys start above
// 0x0402 (on the first, above 0x0403).
MouseNotice ClassifyMouseNotice(uint16_t value, bool secondInterface);

}  // namespace varkon
