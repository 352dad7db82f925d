// The numbered messages device objects send to the main window.
#pragma once

#include <cstdint>

namespace varkon {

inline constexpr uint32_t kMessageShowProgress = 3072;  // show "setting_progress"
inline constexpr uint32_t kMessageHideProgress = 3073;  // the work it showed for is over
inline constexpr uint32_t kMessageSyncHandled = 3328;
inline constexpr uint32_t kMessagePowerStatus = 3329;  // wParam: byte 4 of the status block
inline constexpr uint32_t kMessageReachable = 3331;    // wParam: model, lParam: 1 or 0

}  // namespace varkon
