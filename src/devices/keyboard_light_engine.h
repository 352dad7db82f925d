// The keyboard's lighting engine: the common LightEngine with the keyboard's effect table
// (positions 1-34, the area-effect player for the rest), its own breathing and static steps, the
// per-key effects after every pass, key-press, music and custom-colour inputs, and the frame the
// keyboard streams.
//
// Driving it:
//   KeyboardLightEngine engine;                 // 170 lights, state shared by all keyboards
//   engine.SetLightState(state);                // UI thread: effect position in state.mode
//   engine.Pass(clock.NowMs());                 // light thread, every ~1 ms pass
//   engine.PressKey(listIndex);                 // input threads (effects 7, 8, 9, 25)
//   engine.FeedAudioLevels(levels);             // UI thread, 25 band levels
//   engine.BuildFrame(keyLed, ledCount, frame); // painter, effects 29 and 30
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

#include "devices/keyboard_light_audio.h"
#include "devices/keyboard_light_fx.h"
#include "devices/light_engine.h"

namespace varkon {

class KeyboardLightEngine : public LightEngine {
 public:
  static constexpr uint32_t kDefaultSeed = 0x4B4C4947u;

  // With the keyboard class's shared per-key and sequence state and its pass-counting rule.
  explicit KeyboardLightEngine(size_t lightCount = kKeyboardLights, uint32_t seed = kDefaultSeed);
  // With state of the caller's (tests).
  KeyboardLightEngine(size_t lightCount, LightClassShared& shared, TickRule rule,
                      uint32_t seed = kDefaultSeed);

  // ---- light thread
  // One pass at `nowMs`: a start routine asked for by RestartEffect runs first, then the
  // engine's pass (start routine on an effect change, the step when its threshold is reached or
  // the area-effect player, then the per-key effects).
  void Pass(uint32_t nowMs);
  // Runs the start routine of `effect`: clears the colours, reactive state and audio levels, then
  // seeds the effect.
  void StartEffect(int effect, const LightState& state, uint32_t nowMs);
  // Runs the step routine of `effect` once (nothing for an effect without one).
  void StepEffect(int effect, const LightState& state, uint32_t nowMs);
  // The keyboard's own versions of the base breathing and static steps (lit keys only).
  size_t StepBreathing(const LightState& state, uint32_t nowMs) override;
  size_t StepStatic(const LightState& state, uint32_t nowMs) override;
  // The light thread's effect state (for inspection).
  const KeyboardFx& fx() const { return fx_; }

  // ---- any thread
  // The current effect's start routine runs again at the next pass (the device re-read its
  // settings).
  void RestartEffect() { restart_.store(true, std::memory_order_relaxed); }
  // Key presses and releases by list index (the reactive effects 7, 8, 9 and 25).
  void PressKey(size_t listIndex) { inputs_.PressKey(listIndex); }
  void ReleaseKey(size_t listIndex) { inputs_.ReleaseKey(listIndex); }
  // The 25 audio levels: kept for the music effects; with effect 29 in music style 2 they also
  // drive the beat counter, which starts a ripple at key 51.
  void FeedAudioLevels(std::span<const int32_t> levels);
  void SetAudioLight(const KeyboardAudioLight& light) { inputs_.SetAudioLight(light); }
  KeyboardAudioLight audioLight() const { return inputs_.audioLight(); }
  // Custom key colours of effect 20, by list index.
  void SetCustomColour(size_t listIndex, Rgb colour) { inputs_.SetCustomColour(listIndex, colour); }
  Rgb customColour(size_t listIndex) const { return inputs_.customColour(listIndex); }
  KeyboardLightInputs& inputs() { return inputs_; }
  // The beat total of music style 2.
  int64_t beatTotal() const;

  // ---- painter
  // The streamed frame through keyLed (see BuildKeyboardFrame); returns its length.
  size_t BuildFrame(std::span<const uint8_t> keyLed, size_t ledCount, std::span<uint8_t> out) const;

 private:
  LightEffectTable MakeTable();
  // Base steps fill every light; the keyboard keeps list indices without a light dark.
  void ClearUnlit();
  void RunPerKeyEffects(uint32_t nowMs);

  KeyboardFx fx_;
  KeyboardLightInputs inputs_;
  std::atomic<bool> restart_{false};
  mutable std::mutex beatMutex_;
  MusicBeatCounter beat_;
};

}  // namespace varkon
