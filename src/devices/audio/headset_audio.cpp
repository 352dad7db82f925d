#include "devices/audio/headset_audio.h"

#include <array>
#include <optional>
#include <string>

#include "devices/audio/audio_properties.h"

namespace varkon {

namespace {

constexpr int32_t kZeroWord[] = {0};
constexpr int32_t kMicChannelWord[] = {kMicChannel};
constexpr int32_t kMonitorChannelWord[] = {kMonitorChannel};

struct StartupDefault {
  const char* name;
  AudioFlow flow;
  ChipExtra readExtra;
  ChipExtra writeExtra;
  ChipValue value;
};

std::vector<StartupDefault> StartupDefaults() {
  using namespace audio_property;
  constexpr AudioFlow kOut = AudioFlow::kPlayback, kIn = AudioFlow::kRecording;
  const ChipExtra none, surround(kSurroundExtra), mic(kMicChannelWord), aa(kMonitorChannelWord);
  static const std::array<std::string, kEqBandCount> sliders = [] {
    std::array<std::string, kEqBandCount> names;
    for (int band = 0; band < kEqBandCount; ++band) names[band] = EqSliderProperty(band);
    return names;
  }();
  std::vector<StartupDefault> list = {
      {kVirtualSurround, kOut, surround, surround, int32_t{0}},
      {kEncEnable, kIn, ChipExtra(kZeroWord), none, int32_t{0}},
      {kVolume, kIn, mic, mic, 0.0f},
      {kEqEnable, kOut, none, none, int32_t{0}},
  };
  for (const std::string& slider : sliders) list.push_back({slider.c_str(), kOut, none, none, 0});
  const std::vector<StartupDefault> rest = {
      {kRfxEnable, kOut, none, none, int32_t{0}},
      {kRfxEnvironment, kOut, none, none, int32_t{0}},
      {kRfxRoomSize, kOut, none, none, int32_t{0}},
      {kMicMute, kIn, none, none, int32_t{0}},
      {kMicLevel, kIn, mic, mic, 0.0f},
      {kMonitorVolume, kIn, aa, aa, 0.0f},
      {kMonitorMute, kIn, none, none, int32_t{0}},
      {kMonitorLevel, kIn, aa, aa, 0.0f},
      {kMagicEnable, kIn, none, none, int32_t{0}},
      {kMagicSelection, kIn, none, none, int32_t{0}},
  };
  list.insert(list.end(), rest.begin(), rest.end());
  return list;
}

}  // namespace

const char* AudioNoticeText(AudioNotice notice) {
  switch (notice) {
    case AudioNotice::kInitFailed:
      return "ConfLibInit called failed!";
    case AudioNotice::kFeatureListShort:
      return "UpdateAPOAvailable failed!";
  }
  return "";
}

void HeadsetAudio::InitAudio(HeadsetSettings& settings, MuteFlags& mutes) {
  if (!chip_) {
    availability_ = AudioAvailability::kNoLibrary;
    return;
  }
  // A failed init is shown, and the start-up goes on: the chip may still answer.
  if (chip_->Init() != ChipStatus::kOk) notices_.push_back(AudioNotice::kInitFailed);
  chip_->CreateDeviceList();
  uint32_t count = 0;
  if (chip_->GetDeviceCount(AudioFlow::kPlayback, count) != ChipStatus::kOk || count == 0) {
    availability_ = AudioAvailability::kNoDevice;
    return;
  }
  SelectEndpoints();
  availability_ = render_.found ? AudioAvailability::kReady : AudioAvailability::kNoDevice;
  InitProperties();
  ReadAudioState(settings, mutes);
}

void HeadsetAudio::SelectEndpoints() {
  if (!chip_) return;
  uint32_t count = 0;
  if (chip_->GetDeviceCount(AudioFlow::kPlayback, count) != ChipStatus::kOk) count = 0;
  // Each type is tried over the whole list before the next one.
  for (uint32_t type : kRenderTypes) {
    for (uint32_t i = 0; i < count && !render_.found; ++i) {
      AudioEndpoint endpoint;
      if (chip_->GetDeviceById(AudioFlow::kPlayback, i, endpoint) != ChipStatus::kOk) continue;
      if (endpoint.endpointType == type && endpoint.endpointState == 1) {
        render_ = {endpoint, {}, true};
      }
    }
    if (render_.found) break;
  }
  if (chip_->GetDeviceCount(AudioFlow::kRecording, count) != ChipStatus::kOk) count = 0;
  for (uint32_t i = 0; i < count && !capture_.found; ++i) {
    AudioEndpoint endpoint;
    if (chip_->GetDeviceById(AudioFlow::kRecording, i, endpoint) != ChipStatus::kOk) continue;
    // The recording endpoint's state is not checked: the headset's microphone may be listed as
    // not present while its properties still answer.
    if (endpoint.endpointType == kCaptureType) capture_ = {endpoint, {}, true};
  }
  ReadFeatures(capture_);
  ReadFeatures(render_);
}

void HeadsetAudio::ReadFeatures(EndpointChoice& endpoint) {
  if (!chip_ || !endpoint.found || endpoint.handle.endpointType < 1) return;
  std::string text;
  if (chip_->ReadProperty(endpoint.handle, audio_property::kSupportFeature, {}, text) !=
      ChipStatus::kOk) {
    return;
  }
  const std::optional<AudioFeatures> features = ParseFeatureList(text);
  if (!features) {
    notices_.push_back(AudioNotice::kFeatureListShort);
    return;
  }
  endpoint.features = *features;
}

void HeadsetAudio::InitProperties() {
  for (const StartupDefault& entry : StartupDefaults()) {
    std::string text;
    const ChipStatus read = Read(entry.flow, entry.name, entry.readExtra, text);
    // An endpoint that is missing cannot take a default either.
    if (read == ChipStatus::kOk || read == ChipStatus::kNoSuchEndpoint ||
        read == ChipStatus::kUnavailable) {
      continue;
    }
    Write(entry.flow, entry.name, entry.value, entry.writeExtra);
  }
}

void HeadsetAudio::ReadAudioState(HeadsetSettings& settings, MuteFlags& mutes) {
  using namespace audio_property;
  constexpr AudioFlow kIn = AudioFlow::kRecording;
  if (!chip_ || !capture_.found) return;
  std::string text;
  std::optional<int32_t> number;
  std::optional<float> scalar;
  // Text that is not a number counts as a failed read rather than as 0 ("unmuted").
  if (Read(kIn, kMicMute, {}, text) == ChipStatus::kOk && (number = ParseChipInt(text))) {
    mutes.micMuted = *number;
    settings.micInOn = mutes.micMuted == 0 ? 1 : 0;
  }
  if (Read(kIn, kMicLevel, kMicChannelWord, text) == ChipStatus::kOk &&
      (scalar = ParseChipFloat(text))) {
    settings.micInLevel = LevelOfScalar(*scalar);
  }
  // The monitor's maximum answers only when the headset has a monitor.
  if (Read(kIn, kMonitorMaxVolume, {}, text) == ChipStatus::kOk) {
    if (Read(kIn, kMonitorMute, {}, text) == ChipStatus::kOk && (number = ParseChipInt(text))) {
      mutes.monitorMuted = *number;
      settings.monitorOn = mutes.monitorMuted == 0 ? 1 : 0;
    }
    if (Read(kIn, kMonitorLevel, kMonitorChannelWord, text) == ChipStatus::kOk &&
        (scalar = ParseChipFloat(text))) {
      settings.monitorLevel = LevelOfScalar(*scalar);
    }
  }
  if (Read(kIn, kMagicEnable, {}, text) == ChipStatus::kOk && (number = ParseChipInt(text)) &&
      (capture_.features.features & kFeatureVoiceChanger) != 0) {
    settings.magicEnable = *number != 0 ? 1 : 0;
  }
  if (Read(kIn, kMagicSelection, {}, text) == ChipStatus::kOk && (number = ParseChipInt(text)) &&
      *number >= 0 && *number <= 3) {
    settings.magicType = *number + 1;
  }
}

ChipStatus HeadsetAudio::Write(AudioFlow flow, std::string_view name, ChipValue value,
                               ChipExtra extra) {
  if (!chip_) return ChipStatus::kUnavailable;
  const EndpointChoice& endpoint = Choice(flow);
  if (!endpoint.found) return ChipStatus::kNoSuchEndpoint;
  return chip_->WriteProperty(endpoint.handle, name, extra, value);
}

ChipStatus HeadsetAudio::Read(AudioFlow flow, std::string_view name, ChipExtra extra,
                              std::string& text) {
  if (!chip_) return ChipStatus::kUnavailable;
  const EndpointChoice& endpoint = Choice(flow);
  if (!endpoint.found) return ChipStatus::kNoSuchEndpoint;
  text.clear();
  return chip_->ReadProperty(endpoint.handle, name, extra, text);
}

std::vector<AudioNotice> HeadsetAudio::TakeNotices() {
  std::vector<AudioNotice> taken;
  taken.swap(notices_);
  return taken;
}

}  // namespace varkon
