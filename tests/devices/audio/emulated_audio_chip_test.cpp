// The emulated chip answers as the real one: listed endpoints only, value kinds and ranges,
// read-only properties and injected failures.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices/audio/audio_properties.h"
#include "devices/audio/emulated_audio_chip.h"

namespace varkon {
namespace {

AudioEndpoint Listed(EmulatedAudioChip& chip, AudioFlow flow) {
  AudioEndpoint endpoint;
  EXPECT_EQ(chip.GetDeviceById(flow, 0, endpoint), ChipStatus::kOk);
  return endpoint;
}

TEST(EmulatedAudioChip, EndpointsAppearWithTheDeviceList) {
  EmulatedAudioChip chip;
  uint32_t count = 9;
  chip.GetDeviceCount(AudioFlow::kPlayback, count);
  EXPECT_EQ(count, 0u);
  chip.CreateDeviceList();
  chip.GetDeviceCount(AudioFlow::kPlayback, count);
  EXPECT_EQ(count, 1u);
  AudioEndpoint endpoint;
  EXPECT_EQ(chip.GetDeviceById(AudioFlow::kRecording, 1, endpoint), ChipStatus::kNoSuchEndpoint);
  std::string text;
  EXPECT_EQ(chip.ReadProperty(AudioEndpoint{}, audio_property::kMicMute, {}, text),
            ChipStatus::kNoSuchEndpoint);
}

TEST(EmulatedAudioChip, ValuesKeepTheirKindAndRange) {
  EmulatedAudioChip chip;
  chip.CreateDeviceList();
  const AudioEndpoint in = Listed(chip, AudioFlow::kRecording);
  const AudioEndpoint out = Listed(chip, AudioFlow::kPlayback);
  const int32_t channel[] = {kMicChannel};
  EXPECT_EQ(chip.WriteProperty(in, audio_property::kMicLevel, channel, 0.37f), ChipStatus::kOk);
  EXPECT_EQ(chip.ValueText(AudioFlow::kRecording, audio_property::kMicLevel), "0.37");
  // An integer sent to a float property arrives as its bit pattern and is refused.
  EXPECT_EQ(chip.WriteProperty(in, audio_property::kMicLevel, channel, int32_t{1}),
            ChipStatus::kOutOfRange);
  EXPECT_EQ(chip.WriteProperty(in, audio_property::kMagicSelection, {}, int32_t{4}),
            ChipStatus::kOutOfRange);
  EXPECT_EQ(chip.WriteProperty(in, audio_property::kMonitorMaxVolume, {}, int32_t{1}),
            ChipStatus::kReadOnly);
  // The equaliser lives on the playback side only.
  EXPECT_EQ(chip.WriteProperty(in, "EQ_Slider1", {}, int32_t{3}), ChipStatus::kNoSuchProperty);
  EXPECT_EQ(chip.WriteProperty(out, "EQ_Slider1", {}, int32_t{-13}), ChipStatus::kOk);
  EXPECT_EQ(chip.ValueText(AudioFlow::kPlayback, "EQ_Slider1"), "-13");
}

TEST(EmulatedAudioChip, InjectedFailuresAndUnsetValues) {
  EmulatedAudioChip chip;
  chip.FailInit(true);
  EXPECT_EQ(chip.Init(), ChipStatus::kFailed);
  chip.CreateDeviceList();
  const AudioEndpoint in = Listed(chip, AudioFlow::kRecording);
  std::string text;
  chip.FailRead(audio_property::kMicMute);
  EXPECT_EQ(chip.ReadProperty(in, audio_property::kMicMute, {}, text), ChipStatus::kFailed);
  chip.ClearFailures();
  chip.ClearValues();
  EXPECT_EQ(chip.ReadProperty(in, audio_property::kMicMute, {}, text), ChipStatus::kNoValue);
  // The feature list is the chip's own and survives.
  EXPECT_EQ(chip.ReadProperty(in, audio_property::kSupportFeature, {}, text), ChipStatus::kOk);

  const auto dump = chip.Dump();
  const auto mute = std::find_if(dump.begin(), dump.end(), [](const auto& pair) {
    return pair.first == "recording0.MuteControl";
  });
  ASSERT_NE(mute, dump.end());
  EXPECT_EQ(mute->second, "unset");
}

}  // namespace
}  // namespace varkon
