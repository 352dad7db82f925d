#include "devices/light_scheduler.h"

#include <chrono>

#include "devices/light_tables.h"

namespace varkon {

uint32_t SystemLightClock::NowMs() const {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void StepScheduler::Reset(uint32_t nowMs) {
  count_ = 0;
  lastTick_ = nowMs;
  haveTick_ = true;
}

bool StepScheduler::Count(uint32_t nowMs) {
  if (rule_ == TickRule::kEveryPass) {
    ++count_;
    return true;
  }
  if (!haveTick_) {
    Reset(nowMs);
    return false;
  }
  // Both tick rules need the count to have moved on by 2 ms or more since the last counted pass:
  // a move of exactly 1 ms is left to add up with the next one.
  if (static_cast<uint32_t>(nowMs - lastTick_) < 2) return false;
  lastTick_ = nowMs;
  ++count_;
  return true;
}

bool StepScheduler::Pass(uint32_t nowMs, uint32_t threshold) {
  Count(nowMs);
  if (count_ < threshold) return false;
  count_ = 0;
  return true;
}

int PadStepThreshold(uint8_t speed) {
  return SpeedTicks(speed);
}

int MouseStepThreshold(int position, uint8_t speed) {
  static constexpr uint8_t kRingChase[kLevelCount] = {16, 12, 8, 4, 2};
  if (position < 0 || position > 10 || position == 9) return -1;
  if (position == 5) return kRingChase[ClampLevel(speed)];
  return SpeedTicks(speed);
}

int KeyboardStepThreshold(int effect, uint8_t speed) {
  static constexpr uint8_t kCommon[kLevelCount] = {10, 8, 5, 3, 1};
  const size_t s = ClampLevel(speed);
  switch (effect) {
    case 16:
    case 18:
      return 3;
    case 27:
    case 30:
    case 32:
    case 33:
    case 34:
      return s == 0 ? 1 : 0;
    case 29:
      return 2;  // whenever the count exceeds 1
    case 22:
    case 23:
    case 24:
    case 28:
    case 31:
      return -1;
    default:
      break;
  }
  if (effect < 1 || effect > 34) return -1;
  // 1-15, 17, 19-21, 25, and 26 (which uses effect 5's thresholds).
  return kCommon[s];
}

}  // namespace varkon
