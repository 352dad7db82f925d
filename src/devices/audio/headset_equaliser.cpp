// The equaliser operations of HeadsetVoice: presets, band sliders and custom equalisers.
#include <string>

#include "devices/audio/audio_properties.h"
#include "devices/audio/custom_eq_names.h"
#include "devices/audio/headset_voice.h"

namespace varkon {

namespace {

std::vector<int> RowOf(const EqBands& bands) {
  return {bands.begin(), bands.end()};
}

ChipStatus FirstFailure(ChipStatus first, ChipStatus next) {
  return first != ChipStatus::kOk ? first : next;
}

}  // namespace

ChipStatus HeadsetVoice::SendBands(const EqBands& gains) {
  ChipStatus status = audio_.Write(AudioFlow::kPlayback, audio_property::kEqEnable, int32_t{1});
  for (int band = 0; band < kEqBandCount; ++band) {
    status = FirstFailure(status,
                          audio_.Write(AudioFlow::kPlayback, EqSliderProperty(band), gains[band]));
  }
  return status;
}

ChipStatus HeadsetVoice::SelectEqPreset(int preset) {
  if (preset == kCustomEqType) {
    settings_.eqType = kCustomEqType;
    view_.shownPreset = kCustomEqType;
    view_.customEnabled = true;
    if (view_.selectedCustom >= 0) return SelectCustomEq(view_.selectedCustom);
    // Stored even with no custom equaliser selected, so the profile keeps the custom slot.
    Store();
    return ChipStatus::kOk;
  }
  const std::optional<EqBands> gains = PresetGains(preset);
  if (!gains) return ChipStatus::kOutOfRange;
  // All ten bands go out, also before a profile has given the bands.
  const ChipStatus status = SendBands(*gains);
  bands_ = *gains;
  view_.sliders = *gains;
  settings_.eqType = preset;
  view_.shownPreset = preset;
  view_.customEnabled = false;
  profile_.SetEqValues(preset, RowOf(bands_));
  Store();
  return status;
}

ChipStatus HeadsetVoice::SetEqBand(int band, int32_t gain) {
  if (band < 0 || band >= kEqBandCount) return ChipStatus::kOutOfRange;
  ChipStatus status = ChipStatus::kOk;
  if (settings_.eqType != kCustomEqType) {
    settings_.eqType = kCustomEqType;
    view_.shownPreset = kCustomEqType;
    view_.selectedCustom = -1;
    view_.nameEdit.clear();
    view_.customEnabled = true;
    // The equaliser may still be off (no preset chosen yet): the moved band must be heard.
    status = audio_.Write(AudioFlow::kPlayback, audio_property::kEqEnable, int32_t{1});
  }
  view_.sliders[band] = gain;
  // Nothing is stored until the user saves a custom equaliser.
  return FirstFailure(status, audio_.Write(AudioFlow::kPlayback, EqSliderProperty(band), gain));
}

ChipStatus HeadsetVoice::SelectCustomEq(int index) {
  if (index < 0 || index >= static_cast<int>(customEqNames_.size())) return ChipStatus::kOk;
  view_.selectedCustom = index;
  view_.nameEdit.clear();
  bands_ = CustomBands(index);
  view_.sliders = bands_;
  const ChipStatus status = SendBands(bands_);
  settings_.customEqIndex = index;
  Store();
  return status;
}

SaveEqResult HeadsetVoice::SaveCustomEq(std::string_view typed) {
  const std::string name = TrimmedEqName(typed);
  if (name.empty()) {
    // No name: the selected custom equaliser takes the sliders.
    const int index = view_.selectedCustom;
    if (index < 0 || index >= static_cast<int>(customEqNames_.size())) {
      return SaveEqResult::kNothingDone;
    }
    bands_ = view_.sliders;
    settings_.customEqIndex = index;
    profile_.SetHeadsetSystem(settings_);
    profile_.SetCustomEqValues(index, RowOf(bands_));
    if (saveProfile_) saveProfile_();
    return SaveEqResult::kSaved;
  }
  if (customEqNames_.size() >= kMaxCustomEqCount) return SaveEqResult::kNothingDone;
  if (FindEqName(customEqNames_, name) >= 0) return SaveEqResult::kNameUsed;
  customEqNames_.push_back(name);
  bands_ = view_.sliders;
  const int index = static_cast<int>(customEqNames_.size()) - 1;
  settings_.customEqIndex = index;
  view_.selectedCustom = index;
  view_.nameEdit.clear();
  profile_.SetHeadsetSystem(settings_);
  profile_.SetCustomEqValues(index, RowOf(bands_));
  profile_.SetCustomEqNames(customEqNames_);
  if (saveProfile_) saveProfile_();
  return SaveEqResult::kSaved;
}

ChipStatus HeadsetVoice::DeleteCustomEq() {
  const int index = view_.selectedCustom;
  const int count = static_cast<int>(customEqNames_.size());
  if (index < 0 || index >= count) return ChipStatus::kOk;
  customEqNames_.erase(customEqNames_.begin() + index);
  // Rows after the deleted one move down, so row i stays the row of name i.
  for (int row = index; row + 1 < count; ++row) {
    profile_.SetCustomEqValues(row, profile_.GetCustomEqValues(row + 1));
  }
  profile_.SetCustomEqNames(customEqNames_);
  const bool playing = settings_.eqType == kCustomEqType;
  view_.nameEdit.clear();
  if (customEqNames_.empty()) {
    settings_.eqType = 1;
    settings_.customEqIndex = 0;
    view_.shownPreset = 1;
    view_.selectedCustom = -1;
    view_.customEnabled = false;
    bands_ = EqBands{};
    const std::vector<int> row = profile_.GetEqValues(1);
    for (size_t i = 0; i < row.size() && i < bands_.size(); ++i) bands_[i] = row[i];
  } else {
    settings_.customEqIndex = 0;
    view_.selectedCustom = 0;
    bands_ = CustomBands(0);
  }
  view_.sliders = bands_;
  // The chip plays what the panel now shows, not the deleted equaliser.
  const ChipStatus status = playing ? SendBands(bands_) : ChipStatus::kOk;
  Store();
  return status;
}

}  // namespace varkon
