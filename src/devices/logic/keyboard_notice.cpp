#include "devices/logic/keyboard_notice.h"

namespace varkon {

KeyboardNotice ClassifyKeyboardNotice(uint16_t value) {
  KeyboardNotice notice;
  using Kind = KeyboardNotice::Kind;
  switch (value) {
    case 0x0401:
      notice.kind = Kind::kResync;
      return notice;
    case 0x0402:
      notice.kind = Kind::kSettingsChanged;
      return notice;
    case 0x0404:
      notice.kind = Kind::kCounted;
      return notice;
    default:
      break;
  }
  const int high = value >> 8;
  if (high == 0x05 || high == 0x06) {
    notice.kind = high == 0x05 ? Kind::kKeyPressed : Kind::kKeyReleased;
    notice.position = value & 0xFF;
    return notice;
  }
  if (value > 0x0402 && (high == 0x10 || high == 0x11)) {
    notice.kind = Kind::kHotKey;
    notice.profile = value & 0x0F;
    if (high == 0x11) notice.hotKeyByte = (value >> 4) & 0x0F;
  }
  return notice;
}

}  // namespace varkon
