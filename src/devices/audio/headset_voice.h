// The headset's sound settings as the user changes them: equaliser presets, the band sliders,
// custom equalisers, microphone and monitor switches and levels, and the voice changer. Each
// operation writes the chip at once (through HeadsetAudio) and stores the result in the
// headset's profile; the panels show `Settings`, `Mutes`, `CustomEqNames` and `View`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/audio/equaliser_presets.h"
#include "devices/audio/headset_audio.h"
#include "profile/hs6533_profile_data.h"

namespace varkon {

// SaveCustomEq's answer; the values are the ones the window tests.
enum class SaveEqResult : int { kNothingDone = -1, kNameUsed = 0, kSaved = 1 };

// What the equaliser panel shows beyond the settings themselves.
struct VoiceView {
  int shownPreset = 0;         // option 1-13 selected, 0 none
  bool customEnabled = false;  // the custom-equaliser controls usable
  EqBands sliders{};           // the ten band sliders
  int selectedCustom = -1;     // the custom equaliser selected in the list, -1 none
  std::string nameEdit;        // text of the name edit as the last operation left it
};

class HeadsetVoice {
 public:
  // `saveProfile` writes the profile file (the device's SaveProfile); both references must
  // outlive this object.
  HeadsetVoice(HeadsetAudio& audio, CHs6533Profiledata& profile, std::function<void()> saveProfile);

  // Start-up: the chip's start-up sequence, reading back into the settings.
  void InitAudio() { audio_.InitAudio(settings_, mutes_); }
  // The audio members of a freshly loaded profile: settings, shown bands and custom names. The
  // mute flags follow the profile's switches until the chip is read back.
  void LoadProfile();
  void ReadAudioState() { audio_.ReadAudioState(settings_, mutes_); }
  // The view as the panels show a loaded state (run after LoadProfile / ReadAudioState).
  void ShowSettings();
  // Timer refresh: LoadProfile, ReadAudioState, ShowSettings. Writes nothing to the chip.
  void ReadDevice();

  // Equaliser. The first failing chip write is returned; the choice is stored regardless, so
  // choosing it again retries.
  ChipStatus SelectEqPreset(int preset);
  ChipStatus SetEqBand(int band, int32_t gain);
  ChipStatus SelectCustomEq(int index);
  SaveEqResult SaveCustomEq(std::string_view name);
  ChipStatus DeleteCustomEq();

  // Single switches and levels: a failed write changes nothing and is returned.
  ChipStatus ToggleMicIn();
  ChipStatus ToggleMonitor();
  ChipStatus SetMicInLevel(int32_t level);
  ChipStatus SetMonitorLevel(int32_t level);
  ChipStatus SetVoiceChangerEnabled(bool on);
  ChipStatus SelectVoiceChanger(int kind);

  const HeadsetSettings& Settings() const { return settings_; }
  const MuteFlags& Mutes() const { return mutes_; }
  const EqBands& Bands() const { return bands_; }
  const std::vector<std::string>& CustomEqNames() const { return customEqNames_; }
  const VoiceView& View() const { return view_; }

 private:
  void Store();  // SetHeadsetSystem and SaveProfile
  // Switches the chip's equaliser on and sends the ten gains; the first failure is returned.
  ChipStatus SendBands(const EqBands& gains);
  EqBands CustomBands(int index);
  ChipStatus ToggleMute(int32_t& muted, int32_t& on, const char* property);
  ChipStatus SetLevel(int32_t level, int32_t& stored, const char* property, int32_t channel);

  HeadsetAudio& audio_;
  CHs6533Profiledata& profile_;
  std::function<void()> saveProfile_;
  HeadsetSettings settings_;
  MuteFlags mutes_;
  EqBands bands_{};
  std::vector<std::string> customEqNames_;
  VoiceView view_;
};

}  // namespace varkon
