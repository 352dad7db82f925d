// When a light thread runs its effect step. A light thread makes one pass about every 1 ms; the
// scheduler counts passes by the device's rule and answers "step now" when the count reaches the
// effect's threshold. The millisecond clock is injected, so tests can run minutes of animation
// without sleeping.
#pragma once

#include <atomic>
#include <cstdint>

namespace varkon {

// A 32-bit millisecond tick count (it may wrap; only differences are used).
class LightClock {
 public:
  virtual ~LightClock() = default;
  virtual uint32_t NowMs() const = 0;
};

// The steady clock of the machine.
class SystemLightClock : public LightClock {
 public:
  uint32_t NowMs() const override;
};

// A clock the caller moves; safe to read from other threads.
class ManualLightClock : public LightClock {
 public:
  explicit ManualLightClock(uint32_t startMs = 0) : now_(startMs) {}
  uint32_t NowMs() const override { return now_.load(std::memory_order_relaxed); }
  void Set(uint32_t ms) { now_.store(ms, std::memory_order_relaxed); }
  void Advance(uint32_t ms) { now_.fetch_add(ms, std::memory_order_relaxed); }

 private:
  std::atomic<uint32_t> now_;
};

// How passes are counted.
enum class TickRule : uint8_t {
  // Every pass counts (the mouse pad's and headset's light threads).
  kEveryPass,
  // A pass counts when the tick count moved on since the last counted pass by more than exactly
  // 1 ms (the keyboard's and mouse's preview threads).
  kTickChangeOver1Ms,
  // A pass counts when the tick count advanced by 2 ms or more since the last counted pass (the
  // synchronised-lighting thread).
  kTickAdvance2Ms,
};

// The pass counter of one light thread. Not thread-safe: owned by that thread.
class StepScheduler {
 public:
  explicit StepScheduler(TickRule rule = TickRule::kEveryPass) : rule_(rule) {}

  TickRule rule() const { return rule_; }
  // Zeroes the count and takes `nowMs` as the last counted tick.
  void Reset(uint32_t nowMs);
  // One pass at `nowMs`: counts it by the rule, then answers whether a step with `threshold`
  // counted passes between steps is due; when it is, the count restarts at 0. A threshold of 0
  // steps on every pass.
  bool Pass(uint32_t nowMs, uint32_t threshold);
  // Counts the pass only; true when it counted.
  bool Count(uint32_t nowMs);
  uint32_t count() const { return count_; }
  void ResetCount() { count_ = 0; }

 private:
  TickRule rule_;
  uint32_t count_ = 0;
  uint32_t lastTick_ = 0;
  bool haveTick_ = false;
};

// Thresholds (counted passes between two steps) of the device classes' light threads. A
// negative answer means the effect has no step routine of its own.
// Mouse pad and headset: the speed tick table for every stepped mode.
int PadStepThreshold(uint8_t speed);
// Mouse preview effect positions 0-10: position 5 uses 16, 12, 8, 4, 2; the others 8, 6, 4, 2, 1;
// positions 9 and above 10 have no step routine.
int MouseStepThreshold(int position, uint8_t speed);
// Keyboard effect positions 1-34 (22, 23, 24, 28, 31 and others outside 1-34 have none).
int KeyboardStepThreshold(int effect, uint8_t speed);

}  // namespace varkon
