// The lighting preview engine: one LightEngine per device object simulates the device's light
// effects into its per-light colour buffer. It has no thread of its own.
//
// How a device class drives it:
//   * Create it with the device class and light count, e.g.
//       LightEngine engine(LightDeviceClass::kMousePad, 15);
//     This picks the class's pass-counting rule and the per-light and custom-sequence state shared
//     by all devices of that class. Tests pass their own LightClassShared instead.
//   * Install the effect table (SetEffectTable may be called at any time; it takes effect at the
//     next pass): InstallPadEffects (mouse pad, headset; light_pad_effects.h),
//     InstallMouseEffects (light_mouse_effects.h), or a table of the device's own: the keyboard
//     sets one LightEffect per effect position (step, optional start routine, thresholds from
//     KeyboardStepThreshold), the area-effect player as fallback and its per-key pass (through
//     WithLightRecords) as after-pass routine. DispatchMode can be overridden when the mode the
//     table is indexed by is not the light state's mode byte.
//   * UI thread / profile: SetLightState (the editor's light state), SetLightRecords (a profile's
//     per-light records; also resets the per-light state), sequence().Set (the custom sequence),
//     ClearReactive / reactive() (input threads may mark reactive levels at any time).
//   * Light thread, once per ~1 ms pass (after the 1 ms stop-event wait, when the transport is
//     open and not busy):
//       engine.RunPass(clock.NowMs());
//     RunPass reads the light state, runs the table's start routine when the mode changed, counts
//     the pass with the scheduler and runs the mode's step when its threshold for the current
//     speed is reached (or the table's fallback every pass when the mode has no step), then the
//     table's after-pass routine (the per-light effects).
//   * Painter (UI thread, every 50 ms): PaintPreview(callback) hands each light's cell value
//     while light control is on; BuildHardwareFrame / BuildHeadsetReports read the same buffer.
//   * Other threads (the synchronised-lighting thread) write lights with SetLightColour.
//
// Replacing a step: the seven base steps are virtual; a device class derives from LightEngine and
// overrides one (the keyboard replaces StepBreathing and StepStatic). Its own effects are
// LightEffect entries whose functions may capture the derived object.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "devices/light_buffer.h"
#include "devices/light_per_light.h"
#include "devices/light_reactive.h"
#include "devices/light_scheduler.h"
#include "devices/light_sequence.h"
#include "devices/light_state.h"
#include "devices/light_tables.h"

namespace varkon {

enum class LightDeviceClass : uint8_t { kKeyboard, kMouse, kMousePad, kHeadset };

// State shared by all device objects of one class.
struct LightClassShared {
  PerLightState perLight;
  SequenceShared sequence;
};

// The process-wide shared state of a device class.
LightClassShared& SharedLightClassState(LightDeviceClass cls);
// The pass-counting rule of a class's light thread.
TickRule LightTickRule(LightDeviceClass cls);

class LightEngine;

// An effect routine: the engine, the light state of this pass and the pass time.
using LightStepFn = std::function<void(LightEngine&, const LightState&, uint32_t nowMs)>;

struct LightEffect {
  LightStepFn step;   // empty: the mode has no step; the table's fallback runs instead
  LightStepFn start;  // optional; runs once when the mode becomes this one
  // Counted passes between two steps by speed level 0-4; 0 steps on every pass.
  std::array<uint16_t, kLevelCount> thresholds{};
};

// Thresholds of the speed tick table (8, 6, 4, 2, 1).
std::array<uint16_t, kLevelCount> SpeedTickThresholds();

// A device's effects by mode number 0-255.
class LightEffectTable {
 public:
  LightEffectTable();
  void Set(uint8_t mode, LightEffect effect);
  // The entry of `mode`, or nullptr when it has no step and no start routine.
  const LightEffect* Find(uint8_t mode) const;
  // Runs on every pass whose mode has no step (custom sequence, area-effect player).
  void SetFallback(LightStepFn fallback) { fallback_ = std::move(fallback); }
  // Runs after every pass (per-light effects).
  void SetAfterPass(LightStepFn afterPass) { afterPass_ = std::move(afterPass); }
  const LightStepFn& fallback() const { return fallback_; }
  const LightStepFn& afterPass() const { return afterPass_; }

 private:
  std::vector<LightEffect> effects_;
  LightStepFn fallback_;
  LightStepFn afterPass_;
};

class LightEngine {
 public:
  LightEngine(LightDeviceClass cls, size_t lightCount);
  LightEngine(size_t lightCount, LightClassShared& shared, TickRule rule = TickRule::kEveryPass);
  LightEngine(const LightEngine&) = delete;
  LightEngine& operator=(const LightEngine&) = delete;
  virtual ~LightEngine() = default;

  // ---- configuration
  // Sets the light count (at most kMaxLights), zeroing every colour and record.
  void SetLightCount(size_t count);
  size_t lightCount() const { return colours_.size(); }
  // Replaces the effect table; safe while the light thread runs (it takes effect next pass).
  void SetEffectTable(LightEffectTable table);

  // ---- light state (any thread)
  void SetLightState(const LightState& state) { state_.Store(state); }
  LightState GetLightState() const { return state_.Load(); }
  void SetLightControl(bool on) { lightControlOn_.store(on, std::memory_order_relaxed); }
  bool lightControlOn() const { return lightControlOn_.load(std::memory_order_relaxed); }

  // ---- light thread
  // One light-thread pass at `nowMs` (see the top of this file).
  void RunPass(uint32_t nowMs);
  StepScheduler& scheduler() { return scheduler_; }
  AnimationState& animation() { return animation_; }
  const AnimationState& animation() const { return animation_; }

  // ---- colour buffer (any thread)
  ColourBuffer& colours() { return colours_; }
  const ColourBuffer& colours() const { return colours_; }
  // Stores a packed colour (LightColour::Pack) when the index is in range.
  bool SetLightColour(size_t index, uint32_t colour) { return colours_.SetRaw(index, colour); }
  // The stored colour, 0 when out of range.
  uint32_t GetLightColour(size_t index) const { return colours_.GetRaw(index); }

  // ---- reactive state (marks from any thread; decay and ring on the light thread)
  ReactiveState& reactive() { return reactive_; }
  const ReactiveState& reactive() const { return reactive_; }
  uint8_t DecayReactive(size_t index, int mode) { return reactive_.Decay(index, mode); }
  // Base: ring positions 0-8 light the lights of the same index. The pad's variant covers every
  // light (MarkReactiveAll).
  virtual void MarkReactive() { reactive_.Mark(kBaseMarkPositions); }
  void MarkReactiveAll() { reactive_.Mark(lightCount() < kRingSize ? lightCount() : kRingSize); }
  void RotateRing(bool towardsHigher, size_t count = kRingSize) {
    reactive_.Rotate(towardsHigher, count);
  }
  void ClearReactive() { reactive_.Clear(); }

  // ---- base effect steps (light thread); each fills the whole buffer, returns the light count
  virtual size_t StepBreathing(const LightState& state, uint32_t nowMs);
  virtual size_t StepBreathingFourColours(const LightState& state, uint32_t nowMs);
  virtual size_t StepStatic(const LightState& state, uint32_t nowMs);
  virtual size_t StepSpectrum(const LightState& state, uint32_t nowMs);
  virtual size_t StepBlink(const LightState& state, uint32_t nowMs);
  virtual size_t StepBlinkFourColours(const LightState& state, uint32_t nowMs);
  virtual size_t StepOff(const LightState& state, uint32_t nowMs);

  // ---- per-light records (guarded by the record lock)
  // Takes a profile's records (at most the light count; missing ones zero) and resets the
  // per-light state.
  void SetLightRecords(std::span<const LightRecord> records, uint32_t nowMs);
  std::vector<LightRecord> LightRecords() const;
  void ResetPerLightState(uint32_t nowMs);
  // The mouse pad's per-light pass: breathing, static, spectrum, blink, off.
  void RunPerLightPass(uint32_t nowMs);
  // Runs `fn` with the records under the record lock, the class's per-light state and the buffer
  // (for devices that run their own per-light passes).
  void WithLightRecords(
      const std::function<void(std::span<const LightRecord>, PerLightState&, ColourBuffer&)>& fn);
  PerLightState& perLightState() { return shared_->perLight; }

  // ---- custom sequence
  LightSequence& sequence() { return sequence_; }
  // One pass of the custom sequence (the device's speed sets the blink period).
  void RunSequencePass(uint32_t nowMs);

  // ---- painting (UI thread)
  // While light control is on, calls paint(i, cell) for every light below the light count.
  void PaintPreview(const std::function<void(size_t, const PreviewCell&)>& paint) const;

 protected:
  // The mode the table dispatches on (the light state's mode byte).
  virtual uint8_t DispatchMode(const LightState& state) const { return state.mode; }

 private:
  LightClassShared* shared_;
  ColourBuffer colours_;
  SharedLightState state_;
  std::atomic<bool> lightControlOn_{true};
  AnimationState animation_;
  StepScheduler scheduler_;
  ReactiveState reactive_;
  LightSequence sequence_;

  mutable std::mutex recordMutex_;
  std::vector<LightRecord> records_;

  std::mutex tableMutex_;
  std::shared_ptr<const LightEffectTable> table_;
  int lastMode_ = -1;  // light thread only
};

}  // namespace varkon
