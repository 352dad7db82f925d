#include "devices/audio/headset_voice.h"

#include <algorithm>

#include "devices/audio/audio_properties.h"

namespace varkon {

namespace {

// A profile's band row as ten gains: a short row is filled with 0, extra entries are dropped.
EqBands TenBands(const std::vector<int>& row) {
  EqBands bands{};
  std::copy_n(row.begin(), std::min<size_t>(row.size(), bands.size()), bands.begin());
  return bands;
}

}  // namespace

HeadsetVoice::HeadsetVoice(HeadsetAudio& audio, CHs6533Profiledata& profile,
                           std::function<void()> saveProfile)
    : audio_(audio), profile_(profile), saveProfile_(std::move(saveProfile)) {}

void HeadsetVoice::LoadProfile() {
  settings_ = profile_.GetHeadsetSystem();
  customEqNames_ = profile_.GetCustomEqNames();
  bands_ = settings_.eqType == kCustomEqType ? CustomBands(settings_.customEqIndex)
                                             : TenBands(profile_.GetEqValues(settings_.eqType));
  // Until the chip answers, the switches shown are the profile's, so the first toggle goes the
  // way the user sees.
  mutes_.micMuted = settings_.micInOn != 0 ? 0 : 1;
  mutes_.monitorMuted = settings_.monitorOn != 0 ? 0 : 1;
}

EqBands HeadsetVoice::CustomBands(int index) {
  // An index the name list does not cover reads as flat gains and adds no row to the profile.
  if (index < 0 || index >= static_cast<int>(customEqNames_.size())) return EqBands{};
  return TenBands(profile_.GetCustomEqValues(index));
}

void HeadsetVoice::ShowSettings() {
  const int eqType = settings_.eqType;
  view_.shownPreset = eqType >= 1 && eqType <= kCustomEqType ? eqType : 0;
  const int index = settings_.customEqIndex;
  view_.selectedCustom = index >= 0 && index < static_cast<int>(customEqNames_.size()) ? index : -1;
  view_.nameEdit.clear();
  view_.customEnabled = eqType == kCustomEqType;
  view_.sliders = bands_;
}

void HeadsetVoice::ReadDevice() {
  LoadProfile();
  ReadAudioState();
  ShowSettings();
}

void HeadsetVoice::Store() {
  profile_.SetHeadsetSystem(settings_);
  if (saveProfile_) saveProfile_();
}

ChipStatus HeadsetVoice::ToggleMute(int32_t& muted, int32_t& on, const char* property) {
  const int32_t wanted = muted != 0 ? 0 : 1;
  const ChipStatus status = audio_.Write(AudioFlow::kRecording, property, wanted);
  // A refused switch keeps the old state, so the option goes back to what the chip does.
  if (status != ChipStatus::kOk) return status;
  muted = wanted;
  on = wanted == 0 ? 1 : 0;
  Store();
  return status;
}

ChipStatus HeadsetVoice::ToggleMicIn() {
  return ToggleMute(mutes_.micMuted, settings_.micInOn, audio_property::kMicMute);
}

ChipStatus HeadsetVoice::ToggleMonitor() {
  return ToggleMute(mutes_.monitorMuted, settings_.monitorOn, audio_property::kMonitorMute);
}

ChipStatus HeadsetVoice::SetLevel(int32_t level, int32_t& stored, const char* property,
                                  int32_t channel) {
  // A slider reading -1 (missing) or beyond 100 is kept within the level's range.
  level = std::clamp(level, 0, 100);
  const int32_t extra[] = {channel};
  const ChipStatus status =
      audio_.Write(AudioFlow::kRecording, property, ScalarOfLevel(level), extra);
  if (status != ChipStatus::kOk) return status;
  stored = level;
  Store();
  return status;
}

ChipStatus HeadsetVoice::SetMicInLevel(int32_t level) {
  return SetLevel(level, settings_.micInLevel, audio_property::kMicLevel, kMicChannel);
}

ChipStatus HeadsetVoice::SetMonitorLevel(int32_t level) {
  return SetLevel(level, settings_.monitorLevel, audio_property::kMonitorLevel, kMonitorChannel);
}

ChipStatus HeadsetVoice::SetVoiceChangerEnabled(bool on) {
  const ChipStatus status =
      audio_.Write(AudioFlow::kRecording, audio_property::kMagicEnable, int32_t{on ? 1 : 0});
  if (status != ChipStatus::kOk) return status;
  // The echo effect and the voice changer do not play together; a refused echo switch leaves
  // the voice changer on all the same.
  if (on) audio_.Write(AudioFlow::kRecording, audio_property::kMicEcho, int32_t{0});
  settings_.magicEnable = on ? 1 : 0;
  Store();
  return status;
}

ChipStatus HeadsetVoice::SelectVoiceChanger(int kind) {
  if (kind < 1 || kind > 4) return ChipStatus::kOutOfRange;
  const ChipStatus status =
      audio_.Write(AudioFlow::kRecording, audio_property::kMagicSelection, int32_t{kind - 1});
  if (status != ChipStatus::kOk) return status;
  settings_.magicType = kind;
  Store();
  return status;
}

}  // namespace varkon
