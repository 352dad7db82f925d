// The headset's start-up on its audio chip: endpoint choice, feature lists, defaults and the
// read-back, and what a missing or failing chip leaves.
#include <gtest/gtest.h>

#include <map>

#include "audio_test_support.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/headset_audio.h"

namespace varkon {
namespace {

using audio_test::WriteCount;
using audio_test::WritesOf;

TEST(HeadsetAudioStart, EachPlaybackTypeIsTriedOverTheWholeList) {
  EmulatedAudioChip chip;
  chip.SetEndpoints(AudioFlow::kPlayback, {{0x11, 1, 0, 0}, {0x12, 12, 0, 1}, {0x13, 1, 0, 1}});
  // A recording endpoint of type 2 is taken even when not usable.
  chip.SetEndpoints(AudioFlow::kRecording, {{0x21, 3, 0, 1}, {0x22, 2, 0, 0}, {0x23, 2, 0, 1}});
  HeadsetAudio audio(&chip);
  HeadsetSettings settings;
  MuteFlags mutes;
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(audio.Availability(), AudioAvailability::kReady);
  EXPECT_EQ(audio.Render().handle.word0, 0x13u);
  EXPECT_EQ(audio.Capture().handle.word0, 0x22u);
  // Only type 12 usable: a later type in the order still wins over nothing.
  EmulatedAudioChip second;
  second.SetEndpoints(AudioFlow::kPlayback, {{0x31, 4, 0, 1}, {0x32, 12, 0, 1}});
  HeadsetAudio other(&second);
  other.InitAudio(settings, mutes);
  EXPECT_EQ(other.Render().handle.word0, 0x32u);
}

TEST(HeadsetAudioStart, DefaultsOnlyWhereTheChipHasNoValue) {
  EmulatedAudioChip chip;
  HeadsetAudio configured(&chip);
  HeadsetSettings settings;
  MuteFlags mutes;
  configured.InitAudio(settings, mutes);
  EXPECT_EQ(WriteCount(chip), 0u);  // a configured chip keeps its values

  EmulatedAudioChip fresh;
  fresh.ClearValues();
  HeadsetAudio audio(&fresh);
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(WriteCount(fresh), 24u);
  for (const ChipCall& call : fresh.Calls()) {
    EXPECT_TRUE(!call.write || call.status == ChipStatus::kOk) << call.name;
  }
  // Each default has its property's kind and extra words.
  const auto surround = WritesOf(fresh, audio_property::kVirtualSurround);
  ASSERT_EQ(surround.size(), 1u);
  EXPECT_EQ(surround[0].extra, (std::vector<int32_t>{4, -1, 0}));
  const auto monitor = WritesOf(fresh, audio_property::kMonitorLevel);
  ASSERT_EQ(monitor.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<float>(monitor[0].value));
  EXPECT_EQ(monitor[0].extra, (std::vector<int32_t>{0}));
  EXPECT_EQ(fresh.ValueText(AudioFlow::kPlayback, "EQ_Slider10"), "0");
  // The echo switch is not a start-up property.
  EXPECT_TRUE(WritesOf(fresh, audio_property::kMicEcho).empty());
}

TEST(HeadsetAudioStart, ReadBackOfMicrophoneMonitorAndVoiceChanger) {
  EmulatedAudioChip chip;
  chip.CreateDeviceList();
  AudioEndpoint in;
  chip.GetDeviceById(AudioFlow::kRecording, 0, in);
  const int32_t mic[] = {kMicChannel};
  chip.WriteProperty(in, audio_property::kMicLevel, mic, 0.999f);
  chip.WriteProperty(in, audio_property::kMicMute, {}, int32_t{1});
  chip.WriteProperty(in, audio_property::kMagicEnable, {}, int32_t{1});
  chip.WriteProperty(in, audio_property::kMagicSelection, {}, int32_t{3});
  HeadsetAudio audio(&chip);
  HeadsetSettings settings;
  MuteFlags mutes;
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(settings.micInLevel, 99);
  EXPECT_EQ(mutes.micMuted, 1);
  EXPECT_EQ(settings.micInOn, 0);
  EXPECT_EQ(settings.monitorOn, 0);  // the factory monitor is muted
  EXPECT_EQ(settings.monitorLevel, 50);
  EXPECT_EQ(settings.magicEnable, 1);
  EXPECT_EQ(settings.magicType, 4);
}

TEST(HeadsetAudioStart, FailedReadsLeaveWhatTheProfileGave) {
  EmulatedAudioChip chip;
  chip.FailRead(audio_property::kMonitorMaxVolume);  // no monitor: its values stay
  chip.FailRead(audio_property::kMicLevel);
  chip.SetFeatureList(AudioFlow::kRecording, "0,0,0,0,0,0,0");  // no voice changer
  HeadsetAudio audio(&chip);
  HeadsetSettings settings;
  settings.micInLevel = 42;
  settings.monitorOn = 1;
  settings.monitorLevel = 7;
  settings.magicEnable = 1;
  settings.magicType = 2;
  MuteFlags mutes;
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(settings.micInLevel, 42);
  EXPECT_EQ(settings.monitorOn, 1);
  EXPECT_EQ(settings.monitorLevel, 7);
  EXPECT_EQ(settings.magicEnable, 1);  // not read back without the feature bit
  EXPECT_EQ(settings.magicType, 1);    // the selection still is: factory 0 is kind 1
}

// A chip answering texts the emulated store never holds.
class AnsweringChip : public EmulatedAudioChip {
 public:
  std::map<std::string, std::string, std::less<>> answers;
  ChipStatus ReadProperty(const AudioEndpoint& endpoint, std::string_view name, ChipExtra extra,
                          std::string& text) override {
    const auto answer = answers.find(name);
    if (answer == answers.end())
      return EmulatedAudioChip::ReadProperty(endpoint, name, extra, text);
    text = answer->second;
    return ChipStatus::kOk;
  }
};

TEST(HeadsetAudioStart, UnusableAnswersLeaveTheValues) {
  AnsweringChip chip;
  chip.answers[audio_property::kMagicSelection] = "7";
  chip.answers[audio_property::kMicMute] = "muted";  // not a number: not "unmuted"
  chip.answers[audio_property::kMonitorLevel] = "nan";
  HeadsetAudio audio(&chip);
  HeadsetSettings settings;
  settings.magicType = 3;
  settings.micInOn = 0;
  settings.monitorLevel = 12;
  MuteFlags mutes;
  mutes.micMuted = 1;
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(settings.magicType, 3);
  EXPECT_EQ(settings.micInOn, 0);
  EXPECT_EQ(mutes.micMuted, 1);
  EXPECT_EQ(settings.monitorLevel, 12);
}

TEST(HeadsetAudioStart, FailingInitAndShortFeatureListAreNoticedAndStartUpGoesOn) {
  EmulatedAudioChip chip;
  chip.FailInit(true);
  chip.SetFeatureList(AudioFlow::kRecording, "131072,,0,0,0,0");
  HeadsetAudio audio(&chip);
  HeadsetSettings settings;
  MuteFlags mutes;
  audio.InitAudio(settings, mutes);
  const std::vector<AudioNotice> notices = audio.TakeNotices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_STREQ(AudioNoticeText(notices[0]), "ConfLibInit called failed!");
  EXPECT_STREQ(AudioNoticeText(notices[1]), "UpdateAPOAvailable failed!");
  EXPECT_TRUE(audio.TakeNotices().empty());
  EXPECT_EQ(audio.Capture().features.features, 0u);
  EXPECT_EQ(audio.Availability(), AudioAvailability::kReady);
}

TEST(HeadsetAudioStart, NoLibraryOrNoEndpointTouchesNothing) {
  HeadsetSettings settings;
  settings.micInLevel = 30;
  MuteFlags mutes;
  HeadsetAudio none(nullptr);
  none.InitAudio(settings, mutes);
  EXPECT_EQ(none.Availability(), AudioAvailability::kNoLibrary);
  EXPECT_EQ(none.Write(AudioFlow::kRecording, audio_property::kMicMute, int32_t{1}),
            ChipStatus::kUnavailable);

  EmulatedAudioChip chip;
  chip.SetEndpoints(AudioFlow::kPlayback, {});
  HeadsetAudio audio(&chip);
  audio.InitAudio(settings, mutes);
  EXPECT_EQ(audio.Availability(), AudioAvailability::kNoDevice);
  audio.ReadAudioState(settings, mutes);
  EXPECT_EQ(settings.micInLevel, 30);
  // Writes to an endpoint never found are answered here, not sent with an all-zero handle.
  EXPECT_EQ(audio.Write(AudioFlow::kRecording, audio_property::kMicMute, int32_t{1}),
            ChipStatus::kNoSuchEndpoint);
  EXPECT_TRUE(chip.Calls().empty());
}

}  // namespace
}  // namespace varkon
