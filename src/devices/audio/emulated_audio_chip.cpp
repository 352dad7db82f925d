#include "devices/audio/emulated_audio_chip.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "devices/audio/audio_properties.h"

namespace varkon {

namespace {

constexpr AudioEndpoint kFactoryPlayback{0x1001, 1, 0, 1};
constexpr AudioEndpoint kFactoryRecording{0x2001, 2, 0, 1};
constexpr const char* kPlaybackFeatures = "0,0,0,0,0,0,0";
constexpr const char* kRecordingFeatures = "131072,0,0,0,0,0,0";

std::string FloatText(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

const char* FlowName(AudioFlow flow) {
  return flow == AudioFlow::kPlayback ? "playback" : "recording";
}

}  // namespace

EmulatedAudioChip::EmulatedAudioChip() {
  SetEndpoints(AudioFlow::kPlayback, {kFactoryPlayback});
  SetEndpoints(AudioFlow::kRecording, {kFactoryRecording});
}

std::vector<EmulatedAudioChip::Property> EmulatedAudioChip::FactoryProperties(AudioFlow flow) {
  using namespace audio_property;
  const auto integer = [](const char* name, double low, double high, int32_t value) {
    return Property{name, Kind::kInt, low, high, std::to_string(value)};
  };
  const auto real = [](const char* name, double low, double high, float value) {
    return Property{name, Kind::kFloat, low, high, FloatText(value)};
  };
  const auto text = [](const char* name, const char* value) {
    return Property{name, Kind::kText, 0, 0, std::string(value)};
  };
  if (flow == AudioFlow::kPlayback) {
    std::vector<Property> list = {text(kSupportFeature, kPlaybackFeatures),
                                  integer(kVirtualSurround, 0, 1, 0), integer(kEqEnable, 0, 1, 0)};
    for (int band = 0; band < kEqBandCount; ++band) {
      list.push_back(Property{EqSliderProperty(band), Kind::kInt, -24, 24, "0"});
    }
    list.push_back(integer(kRfxEnable, 0, 1, 0));
    list.push_back(integer(kRfxEnvironment, 0, 25, 0));
    list.push_back(integer(kRfxRoomSize, 0, 100, 0));
    return list;
  }
  return {text(kSupportFeature, kRecordingFeatures),
          integer(kEncEnable, 0, 1, 0),
          real(kVolume, -96, 12, 0.0f),
          integer(kMicMute, 0, 1, 0),
          real(kMicLevel, 0, 1, 0.75f),
          text(kMonitorMaxVolume, "12"),
          real(kMonitorVolume, -96, 12, 0.0f),
          integer(kMonitorMute, 0, 1, 1),
          real(kMonitorLevel, 0, 1, 0.5f),
          integer(kMagicEnable, 0, 1, 0),
          integer(kMicEcho, 0, 1, 0),
          integer(kMagicSelection, 0, 3, 0)};
}

ChipStatus EmulatedAudioChip::Init() {
  return failInit_ ? ChipStatus::kFailed : ChipStatus::kOk;
}

void EmulatedAudioChip::CreateDeviceList() {
  listedPlayback_ = static_cast<uint32_t>(playback_.size());
  listedRecording_ = static_cast<uint32_t>(recording_.size());
}

ChipStatus EmulatedAudioChip::GetDeviceCount(AudioFlow flow, uint32_t& count) {
  count = flow == AudioFlow::kPlayback ? listedPlayback_ : listedRecording_;
  return ChipStatus::kOk;
}

ChipStatus EmulatedAudioChip::GetDeviceById(AudioFlow flow, uint32_t index,
                                            AudioEndpoint& endpoint) {
  const uint32_t listed = flow == AudioFlow::kPlayback ? listedPlayback_ : listedRecording_;
  const std::vector<Endpoint>& list = EndpointsOf(flow);
  if (index >= listed || index >= list.size()) return ChipStatus::kNoSuchEndpoint;
  endpoint = list[index].handle;
  return ChipStatus::kOk;
}

ChipStatus EmulatedAudioChip::ReadProperty(const AudioEndpoint& handle, std::string_view name,
                                           ChipExtra extra, std::string& text) {
  ChipCall call{std::nullopt, std::string(name), false, {extra.begin(), extra.end()}};
  Endpoint* endpoint = FindEndpoint(handle, call.flow);
  if (!endpoint) return Log((call.status = ChipStatus::kNoSuchEndpoint, call));
  const Property* property = FindProperty(*endpoint, name);
  if (!property) return Log((call.status = ChipStatus::kNoSuchProperty, call));
  if (failReads_.contains(name)) return Log((call.status = ChipStatus::kFailed, call));
  if (!property->text) return Log((call.status = ChipStatus::kNoValue, call));
  text = *property->text;
  return Log(call);
}

ChipStatus EmulatedAudioChip::WriteProperty(const AudioEndpoint& handle, std::string_view name,
                                            ChipExtra extra, ChipValue value) {
  ChipCall call{std::nullopt, std::string(name), true, {extra.begin(), extra.end()}, value};
  Endpoint* endpoint = FindEndpoint(handle, call.flow);
  if (!endpoint) return Log((call.status = ChipStatus::kNoSuchEndpoint, call));
  Property* property = FindProperty(*endpoint, name);
  if (!property) return Log((call.status = ChipStatus::kNoSuchProperty, call));
  if (property->kind == Kind::kText) return Log((call.status = ChipStatus::kReadOnly, call));
  if (failWrites_.contains(name)) return Log((call.status = ChipStatus::kFailed, call));
  // The chip takes the four value bytes as the property's own kind, as the real buffer would:
  // an integer sent to a float property arrives as its bit pattern.
  const uint32_t bits = std::holds_alternative<int32_t>(value)
                            ? std::bit_cast<uint32_t>(std::get<int32_t>(value))
                            : std::bit_cast<uint32_t>(std::get<float>(value));
  std::string text;
  double number = 0;
  if (property->kind == Kind::kInt) {
    number = std::bit_cast<int32_t>(bits);
    text = std::to_string(std::bit_cast<int32_t>(bits));
  } else {
    const float real = std::bit_cast<float>(bits);
    number = std::isfinite(real) ? real : property->high + 1;
    text = FloatText(real);
  }
  // Values too small to be meant (a bit pattern read as a float) are refused with the rest.
  const bool tiny = property->kind == Kind::kFloat && number != 0 && std::fabs(number) < 1e-6;
  if (number < property->low || number > property->high || tiny) {
    return Log((call.status = ChipStatus::kOutOfRange, call));
  }
  property->text = std::move(text);
  return Log(call);
}

void EmulatedAudioChip::SetEndpoints(AudioFlow flow, std::vector<AudioEndpoint> endpoints) {
  std::vector<Endpoint>& list = EndpointsOf(flow);
  list.clear();
  for (const AudioEndpoint& handle : endpoints) list.push_back({handle, FactoryProperties(flow)});
}

void EmulatedAudioChip::ClearValues() {
  for (std::vector<Endpoint>* list : {&playback_, &recording_}) {
    for (Endpoint& endpoint : *list) {
      for (Property& property : endpoint.properties) {
        if (property.kind != Kind::kText) property.text.reset();
      }
    }
  }
}

void EmulatedAudioChip::SetFeatureList(AudioFlow flow, std::string text) {
  for (Endpoint& endpoint : EndpointsOf(flow)) {
    FindProperty(endpoint, audio_property::kSupportFeature)->text = text;
  }
}

void EmulatedAudioChip::ClearFailures() {
  failInit_ = false;
  failReads_.clear();
  failWrites_.clear();
}

std::optional<std::string> EmulatedAudioChip::ValueText(AudioFlow flow,
                                                        std::string_view name) const {
  const std::vector<Endpoint>& list = EndpointsOf(flow);
  if (list.empty()) return std::nullopt;
  for (const Property& property : list.front().properties) {
    if (property.name == name) return property.text;
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> EmulatedAudioChip::Dump() const {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (AudioFlow flow : {AudioFlow::kPlayback, AudioFlow::kRecording}) {
    const std::vector<Endpoint>& list = EndpointsOf(flow);
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string prefix = FlowName(flow) + std::to_string(i) + ".";
      for (const Property& property : list[i].properties) {
        pairs.emplace_back(prefix + property.name, property.text.value_or("unset"));
      }
    }
  }
  return pairs;
}

EmulatedAudioChip::Endpoint* EmulatedAudioChip::FindEndpoint(const AudioEndpoint& handle,
                                                             std::optional<AudioFlow>& flow) {
  for (AudioFlow candidate : {AudioFlow::kPlayback, AudioFlow::kRecording}) {
    const uint32_t listed = candidate == AudioFlow::kPlayback ? listedPlayback_ : listedRecording_;
    std::vector<Endpoint>& list = EndpointsOf(candidate);
    for (size_t i = 0; i < list.size() && i < listed; ++i) {
      if (list[i].handle == handle) {
        flow = candidate;
        return &list[i];
      }
    }
  }
  return nullptr;
}

EmulatedAudioChip::Property* EmulatedAudioChip::FindProperty(Endpoint& endpoint,
                                                             std::string_view name) {
  for (Property& property : endpoint.properties) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

const std::vector<EmulatedAudioChip::Endpoint>& EmulatedAudioChip::EndpointsOf(
    AudioFlow flow) const {
  return flow == AudioFlow::kPlayback ? playback_ : recording_;
}

std::vector<EmulatedAudioChip::Endpoint>& EmulatedAudioChip::EndpointsOf(AudioFlow flow) {
  return flow == AudioFlow::kPlayback ? playback_ : recording_;
}

ChipStatus EmulatedAudioChip::Log(ChipCall call) {
  const ChipStatus status = call.status;
  calls_.push_back(std::move(call));
  return status;
}

}  // namespace varkon
