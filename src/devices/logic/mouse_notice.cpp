#include "devices/logic/mouse_notice.h"

namespace varkon {

MouseNotice ClassifyMouseNotice(uint16_t value, bool secondInterface) {
  MouseNotice notice;
  if (value == 0x0401 || value == 0x0402) {
    notice.kind = MouseNotice::Kind::kResync;
    return notice;
  }
  if (value == 0x0403 && !secondInterface) {
    notice.kind = MouseNotice::Kind::kReactive;
    return notice;
  }
  const uint16_t floor = secondInterface ? 0x0402 : 0x0403;
  const int high = value >> 8;
  if (value > floor && (high == 0x10 || high == 0x11)) {
    notice.kind = MouseNotice::Kind::kHotKey;
    notice.profile = value & 0x0F;
    if (high == 0x11) notice.stage = (value >> 4) & 0x0F;
  }
  return notice;
}

}  // namespace varkon
