// The keyboard's logic: what it stores (key layers, settings record, system options, custom
// colour pages) mirrored in the current profile, read from and written to the hardware through
// the device's job worker, and the notices the keyboard sends. The keyboard panel owns one and
// forwards to it; it keeps cells, painting and routing.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/keyboard_light_engine.h"
#include "devices/logic/device_logic.h"
#include "devices/logic/keyboard_hardware.h"
#include "devices/logic/keyboard_key_maps.h"
#include "devices/logic/keyboard_notice.h"
#include "devices/logic/keyboard_record.h"
#include "profile/keyboard_profile_data.h"

namespace varkon {

// The outcome of writing a profile's keys and macros to the keyboard, as the window reports it:
// 0 done, −1 the keyboard did not take the macros, a positive count of macro events too many, or
// kKeysNotWritten when the macros went in but the key tables did not.
inline constexpr int kKeysNotWritten = -2;

// What the owner (the panel) is asked to do when something arrives from the keyboard.
struct KeyboardEvents {
  std::function<void()> refresh;  // show the state again (RefreshPanel)
  // The keyboard's own hot-key switched its onboard profile (before the refresh).
  std::function<void(int profile)> onboardProfile;
  std::function<void()> clearKeyHighlights;        // a re-read profile: no key stays marked
  std::function<void(int milliseconds)> resyncIn;  // start the resync timer
};

class KeyboardLogic : public DeviceLogic {
 public:
  static constexpr int kStreamPeriodMs = 50;
  static constexpr int kFailedFramePauseMs = 200;
  static constexpr int kResyncDelayMs = 50;

  explicit KeyboardLogic(KeyboardLightEngine& engine);
  ~KeyboardLogic() override;

  void SetEvents(KeyboardEvents events) { events_ = std::move(events); }

  // ---- reading the keyboard (start-up and after its notices)
  // Reads the tables and the settings record on the worker; then, on the owner's thread, finds
  // the keys, loads the profile, takes the record and asks for a refresh. Without an open
  // transport only the profile is loaded.
  void Read(std::function<void()> done = {});
  // After a notice: re-reads the profile when the keyboard said its data changed, and the
  // record in every case, then refreshes.
  void Resync();

  // ---- profile (the keyboard's members on top of the common ones)
  int LoadProfile() override;
  int ApplyProfile() override;
  void LoadDefaultProfile() override;
  // Main-layer keys naming macros that no longer exist go back to their defaults (stored in the
  // profile); true when any key changed.
  bool ValidateMacroRefs();
  // Writes the current profile to the keyboard in the order a profile switch uses: the settings
  // record, the macros its keys use, then (only when the macros went in) both key tables.
  // `done` gets the outcome (see kKeysNotWritten) on the owner's thread.
  void WriteProfileToDevice(std::function<void(int result)> done = {});
  // What the key editor's "write" does: the macros the keys use, then (unless they did not fit)
  // both key tables, then the profile is saved. `done` gets the macro outcome (0, −1 not taken,
  // or the count of events too many, in which case the keys were not written) and the key
  // tables' status.
  void WriteKeysAndMacros(std::function<void(int macroResult, StatusCode keys)> done);
  // Record 0 from the current light state and system options.
  void WriteLightRecord(std::function<void(StatusCode)> done = {});

  const std::vector<KeyAssignmentRecord>& Keys() const { return keys_; }
  void SetKeys(const std::vector<KeyAssignmentRecord>& keys);
  const KeyboardSystemWords& System() const { return system_; }
  bool FnKeysetFlag() const { return fnFlag_; }
  void SetFnKeysetFlag(bool on);

  // ---- the System page (stored in the profile; the flags also reach the record)
  void SetRepeatRate(int value);
  void SetRepeatDelay(int index);  // 0-3: 250, 500, 750, 1000 ms
  void SetKey6Flag(bool on);
  void SetWFlag(bool on);
  void SetWinLockFlag(bool on);
  void SetPollingRate(int index);  // 0-3
  void SetVoiceSensitivity(int value);
  // Repeat rate and delay back to the factory values.
  void ResetRepeat();

  // ---- lighting
  // The music-lighting setting: words as the lighting panel exchanges them.
  void SetAudioLight(uint32_t modeAndBackground, uint32_t foregroundAndMulticolour,
                     bool foreground);
  std::array<uint32_t, 3> AudioLightWords() const;
  // Effect 20: the custom page is read from the keyboard into the preview and the profile, then
  // written back from the profile.
  void LoadCustomColours();
  // Painting keys (list indices) with `colour` in the current custom page: preview, profile
  // (saved) and the keyboard's page.
  void PaintKeys(const std::vector<int>& listIndices, Rgb colour);
  Rgb CustomColour(int listIndex) const;
  // The effect code table of the mode list ("value" by position).
  const std::vector<int>& EffectValues() const { return NameLists().lightModeValues; }

  // ---- notices (any thread: the input readers)
  void OnNotice(uint16_t value);
  uint32_t CountedNotices() const { return counted_.load(); }

  // ---- streaming (the light thread): effects 29 and 30 send the preview every 50 ms
  bool StreamsFrames() const;
  void StreamFrame(uint32_t nowMs);
  uint32_t FramesSent() const { return framesSent_.load(); }

  // ---- what the keyboard told us
  const KeyboardKeyMaps& Maps() const { return maps_; }
  int KeyCount() const { return keyCount_; }
  int ActiveProfile() const { return record_[keyboard_record::kProfile]; }
  const KeyboardRecord& Record() const { return record_; }
  bool Discovered() const { return discovered_; }
  StatusCode LastStatus() const { return lastStatus_; }

 private:
  std::shared_ptr<KeyboardHardware> Hardware();
  void OnRead(const KeyboardReadResult& result);
  void TakeRecord(const KeyboardRecord& record);
  void PublishMaps();
  void StoreSystem();
  void WriteColourPage();
  CKeyboardProfiledata& KeyboardProfile();
  std::vector<CustomColor> ProfileColours();
  int MacroCount();

  KeyboardLightEngine& keyboardEngine_;
  std::shared_ptr<KeyboardHardware> hardware_;
  KeyboardEvents events_;
  std::vector<KeyAssignmentRecord> keys_;
  KeyboardSystemWords system_;
  bool fnFlag_ = false;
  KeyboardKeyMaps maps_;
  std::vector<uint8_t> layout_;
  int keyCount_ = 0;
  bool discovered_ = false;
  KeyboardRecord record_{};
  std::array<uint32_t, 3> audioWords_{};
  StatusCode lastStatus_ = kStatusOk;

  // Shared with the light thread and the input readers.
  std::array<std::atomic<uint8_t>, kCanonicalKeyCount> sharedLed_{};
  std::array<std::atomic<uint8_t>, kCanonicalKeyCount> sharedPosition_{};
  std::atomic<int> sharedLedCount_{0};
  std::atomic<bool> settingsChanged_{false};
  std::atomic<uint32_t> counted_{0};
  std::atomic<uint32_t> framesSent_{0};
  uint32_t lastFrameMs_ = 0;  // light thread only
  uint32_t pausedUntil_ = 0;  // light thread only
};

}  // namespace varkon
