// The user's sound settings: what reaches the chip, what the panel shows, what the profile keeps.
#include <gtest/gtest.h>

#include "audio_test_support.h"
#include "devices/audio/audio_properties.h"
#include "devices/audio/headset_voice.h"

namespace varkon {
namespace {

using audio_test::LastInt;
using audio_test::WriteCount;
using audio_test::WritesOf;

class HeadsetVoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    voice.InitAudio();
    chip.ClearCalls();
  }
  int StoredEqType() const { return profile.WorkingSection()["SystemSetStages"]["EqType"].asInt(); }
  EqBands ChipBands() const {
    EqBands bands{};
    for (int band = 0; band < kEqBandCount; ++band) {
      bands[band] = std::stoi(*chip.ValueText(AudioFlow::kPlayback, EqSliderProperty(band)));
    }
    return bands;
  }
  // Three custom equalisers A, B, C whose band 0 is 1, 2, 3; C selected.
  void AddThree() {
    for (int i = 1; i <= 3; ++i) {
      voice.SetEqBand(0, i);
      ASSERT_EQ(voice.SaveCustomEq(std::string(1, static_cast<char>('A' + i - 1))),
                SaveEqResult::kSaved);
    }
  }

  EmulatedAudioChip chip;
  HeadsetAudio audio{&chip};
  CHs6533Profiledata profile;
  int saves = 0;
  HeadsetVoice voice{audio, profile, [this] { ++saves; }};
};

TEST_F(HeadsetVoiceTest, PresetGainsReachTheChipAndTheProfile) {
  // Before any profile has given bands, all ten still go out.
  EXPECT_EQ(voice.SelectEqPreset(4), ChipStatus::kOk);
  EXPECT_EQ(ChipBands(), (EqBands{2, 1, -2, -3, -5, -7, 0, 4, 9, 8}));
  EXPECT_EQ(voice.SelectEqPreset(5), ChipStatus::kOk);
  EXPECT_EQ(LastInt(chip, audio_property::kEqEnable), 1);
  EXPECT_EQ(ChipBands(), EqBands{});
  EXPECT_EQ(voice.View().sliders, EqBands{});
  EXPECT_EQ(voice.View().shownPreset, 5);
  EXPECT_FALSE(voice.View().customEnabled);
  EXPECT_EQ(StoredEqType(), 5);
  EXPECT_EQ(profile.GetEqValues(5), std::vector<int>(10, 0));
  EXPECT_EQ(saves, 2);
  // No preset 0 or 14: nothing is sent or stored.
  chip.ClearCalls();
  EXPECT_EQ(voice.SelectEqPreset(0), ChipStatus::kOutOfRange);
  EXPECT_EQ(voice.SelectEqPreset(14), ChipStatus::kOutOfRange);
  EXPECT_EQ(WriteCount(chip), 0u);
  EXPECT_EQ(saves, 2);
}

TEST_F(HeadsetVoiceTest, FailedEqualiserWriteIsReported) {
  chip.FailWrite("EQ_Slider7");
  EXPECT_EQ(voice.SelectEqPreset(2), ChipStatus::kFailed);
  EXPECT_EQ(StoredEqType(), 2);  // stored regardless, so choosing it again retries
  chip.ClearFailures();
  EXPECT_EQ(voice.SelectEqPreset(2), ChipStatus::kOk);
  EXPECT_EQ(ChipBands()[6], 6);
}

TEST_F(HeadsetVoiceTest, MovingABandSwitchesToCustomAndStoresNothing) {
  voice.SelectEqPreset(4);
  const int savesBefore = saves;
  chip.ClearCalls();
  EXPECT_EQ(voice.SetEqBand(3, 9), ChipStatus::kOk);
  EXPECT_EQ(voice.View().shownPreset, 13);
  EXPECT_TRUE(voice.View().customEnabled);
  EXPECT_EQ(voice.View().selectedCustom, -1);
  EXPECT_EQ(LastInt(chip, "EQ_Slider4"), 9);
  EXPECT_EQ(saves, savesBefore);
  EXPECT_EQ(StoredEqType(), 4);
  EXPECT_EQ(voice.Bands()[3], -3);                             // the bands change only when saved
  EXPECT_EQ(voice.SetEqBand(10, 1), ChipStatus::kOutOfRange);  // names no band

  EXPECT_EQ(voice.SaveCustomEq("Bass"), SaveEqResult::kSaved);
  ASSERT_EQ(voice.CustomEqNames(), std::vector<std::string>{"Bass"});
  const std::vector<int> saved = {2, 1, -2, 9, -5, -7, 0, 4, 9, 8};
  EXPECT_EQ(profile.GetCustomEqValues(0), saved);
  EXPECT_EQ(profile.GetCustomEqNames(), std::vector<std::string>{"Bass"});
  EXPECT_EQ(voice.View().selectedCustom, 0);
  EXPECT_EQ(voice.Settings().customEqIndex, 0);
  EXPECT_EQ(StoredEqType(), 13);
}

TEST_F(HeadsetVoiceTest, BandMoveTurnsTheEqualiserOn) {
  // A fresh chip's equaliser is off; the first band moved must still be heard.
  voice.SetEqBand(0, 5);
  EXPECT_EQ(LastInt(chip, audio_property::kEqEnable), 1);
  EXPECT_EQ(chip.ValueText(AudioFlow::kPlayback, audio_property::kEqEnable), "1");
}

TEST_F(HeadsetVoiceTest, NameRules) {
  voice.SetEqBand(0, 1);
  ASSERT_EQ(voice.SaveCustomEq("Bass"), SaveEqResult::kSaved);
  const int savesBefore = saves;
  EXPECT_EQ(voice.SaveCustomEq(" bASS "), SaveEqResult::kNameUsed);
  EXPECT_EQ(voice.CustomEqNames().size(), 1u);
  EXPECT_EQ(saves, savesBefore);
  // Blanks only is no name: it overwrites the selected one with the sliders.
  voice.SetEqBand(1, 4);
  EXPECT_EQ(voice.SaveCustomEq("  "), SaveEqResult::kSaved);
  EXPECT_EQ(voice.CustomEqNames().size(), 1u);
  EXPECT_EQ(profile.GetCustomEqValues(0)[1], 4);
  // With none selected an empty name does nothing.
  voice.SelectEqPreset(3);
  voice.SetEqBand(2, 1);
  EXPECT_EQ(voice.SaveCustomEq(""), SaveEqResult::kNothingDone);
}

TEST_F(HeadsetVoiceTest, TwentyCustomEqualisersAtMost) {
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(voice.SaveCustomEq("eq" + std::to_string(i)), SaveEqResult::kSaved);
  }
  const int savesBefore = saves;
  EXPECT_EQ(voice.SaveCustomEq("one more"), SaveEqResult::kNothingDone);
  EXPECT_EQ(voice.CustomEqNames().size(), 20u);
  EXPECT_EQ(profile.GetCustomEqNames().size(), 20u);
  EXPECT_EQ(saves, savesBefore);
  // Overwriting the selected one is still allowed.
  EXPECT_EQ(voice.SaveCustomEq(""), SaveEqResult::kSaved);
}

TEST_F(HeadsetVoiceTest, DeletingTheMiddleOneKeepsRowsWithTheirNames) {
  AddThree();
  voice.SelectCustomEq(1);
  chip.ClearCalls();
  EXPECT_EQ(voice.DeleteCustomEq(), ChipStatus::kOk);
  EXPECT_EQ(voice.CustomEqNames(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(profile.GetCustomEqNames(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(profile.GetCustomEqValues(0)[0], 1);
  EXPECT_EQ(profile.GetCustomEqValues(1)[0], 3);
  EXPECT_EQ(voice.View().selectedCustom, 0);
  EXPECT_EQ(voice.View().sliders[0], 1);
  EXPECT_EQ(voice.Settings().customEqIndex, 0);
  // The chip plays what is now shown, not the deleted equaliser.
  EXPECT_EQ(ChipBands()[0], 1);
  // Selecting C after the move gives C's own bands.
  voice.SelectCustomEq(1);
  EXPECT_EQ(ChipBands()[0], 3);
  EXPECT_EQ(voice.Bands()[0], 3);
}

TEST_F(HeadsetVoiceTest, DeletingTheLastOneFallsBackToPresetOne) {
  profile.SetEqValues(1, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5});  // preset 1's stored row
  voice.SetEqBand(0, 9);
  voice.SaveCustomEq("Only");
  EXPECT_EQ(voice.DeleteCustomEq(), ChipStatus::kOk);
  EXPECT_TRUE(voice.CustomEqNames().empty());
  EXPECT_TRUE(profile.GetCustomEqNames().empty());
  EXPECT_EQ(voice.View().shownPreset, 1);
  EXPECT_FALSE(voice.View().customEnabled);
  EXPECT_EQ(voice.View().selectedCustom, -1);
  EXPECT_EQ(voice.View().sliders[0], 5);
  EXPECT_EQ(StoredEqType(), 1);
  EXPECT_EQ(ChipBands()[0], 5);
  // Nothing selected: deleting again does nothing.
  const int savesBefore = saves;
  EXPECT_EQ(voice.DeleteCustomEq(), ChipStatus::kOk);
  EXPECT_EQ(saves, savesBefore);
}

TEST_F(HeadsetVoiceTest, CustomSlotIsStoredEvenWithNoneSelected) {
  voice.SelectEqPreset(6);
  voice.SelectEqPreset(13);
  EXPECT_EQ(StoredEqType(), 13);
  EXPECT_TRUE(voice.View().customEnabled);
  // Out-of-range list indices do nothing.
  chip.ClearCalls();
  EXPECT_EQ(voice.SelectCustomEq(0), ChipStatus::kOk);
  EXPECT_EQ(WriteCount(chip), 0u);
}

TEST_F(HeadsetVoiceTest, MicrophoneAndMonitor) {
  EXPECT_EQ(voice.SetMicInLevel(37), ChipStatus::kOk);
  const auto level = WritesOf(chip, audio_property::kMicLevel);
  ASSERT_EQ(level.size(), 1u);
  EXPECT_FLOAT_EQ(std::get<float>(level[0].value), 0.37f);
  EXPECT_EQ(level[0].extra, std::vector<int32_t>{-1});
  EXPECT_EQ(voice.Settings().micInLevel, 37);
  EXPECT_EQ(profile.WorkingSection()["SystemSetStages"]["MicInValue"].asInt(), 37);

  EXPECT_EQ(voice.SetMonitorLevel(150), ChipStatus::kOk);  // a level beyond 100 is kept at 100
  EXPECT_EQ(WritesOf(chip, audio_property::kMonitorLevel).back().extra, std::vector<int32_t>{0});
  EXPECT_EQ(voice.Settings().monitorLevel, 100);

  // Factory chip: microphone on, monitor muted.
  EXPECT_EQ(voice.ToggleMicIn(), ChipStatus::kOk);
  EXPECT_EQ(voice.Mutes().micMuted, 1);
  EXPECT_EQ(voice.Settings().micInOn, 0);
  EXPECT_EQ(chip.ValueText(AudioFlow::kRecording, audio_property::kMicMute), "1");
  EXPECT_EQ(voice.ToggleMonitor(), ChipStatus::kOk);
  EXPECT_EQ(voice.Settings().monitorOn, 1);
}

TEST_F(HeadsetVoiceTest, FailedMicrophoneWritesChangeNothing) {
  chip.FailWrite(audio_property::kMicMute);
  chip.FailWrite(audio_property::kMicLevel);
  const HeadsetSettings before = voice.Settings();
  const int savesBefore = saves;
  EXPECT_EQ(voice.ToggleMicIn(), ChipStatus::kFailed);
  EXPECT_EQ(voice.Mutes().micMuted, 0);  // the switch shows what the chip still does
  EXPECT_EQ(voice.SetMicInLevel(20), ChipStatus::kFailed);
  EXPECT_EQ(voice.Settings(), before);
  EXPECT_EQ(saves, savesBefore);
}

TEST_F(HeadsetVoiceTest, VoiceChanger) {
  EXPECT_EQ(voice.SelectVoiceChanger(3), ChipStatus::kOk);
  EXPECT_EQ(LastInt(chip, audio_property::kMagicSelection), 2);
  EXPECT_EQ(voice.Settings().magicType, 3);
  EXPECT_EQ(voice.SelectVoiceChanger(0), ChipStatus::kOutOfRange);
  EXPECT_EQ(voice.SelectVoiceChanger(5), ChipStatus::kOutOfRange);
  EXPECT_EQ(voice.Settings().magicType, 3);

  chip.ClearCalls();
  EXPECT_EQ(voice.SetVoiceChangerEnabled(true), ChipStatus::kOk);
  EXPECT_EQ(LastInt(chip, audio_property::kMagicEnable), 1);
  EXPECT_EQ(LastInt(chip, audio_property::kMicEcho), 0);
  chip.ClearCalls();
  EXPECT_EQ(voice.SetVoiceChangerEnabled(false), ChipStatus::kOk);
  EXPECT_EQ(LastInt(chip, audio_property::kMagicEnable), 0);
  EXPECT_TRUE(WritesOf(chip, audio_property::kMicEcho).empty());
  EXPECT_EQ(voice.Settings().magicEnable, 0);

  chip.FailWrite(audio_property::kMagicEnable);
  EXPECT_EQ(voice.SetVoiceChangerEnabled(true), ChipStatus::kFailed);
  EXPECT_EQ(voice.Settings().magicEnable, 0);
}

TEST_F(HeadsetVoiceTest, LoadingToleratesABadProfile) {
  profile.SetCustomEqNames({"Only"});
  HeadsetSettings stages;
  stages.eqType = 13;
  stages.customEqIndex = 7;  // beyond the one name
  profile.SetHeadsetSystem(stages);
  voice.LoadProfile();
  voice.ShowSettings();
  EXPECT_EQ(voice.Bands(), EqBands{});
  EXPECT_EQ(voice.View().selectedCustom, -1);
  EXPECT_EQ(voice.View().shownPreset, 13);
  EXPECT_EQ(voice.Mutes().micMuted, 1);  // the profile's microphone is off
  // No band row was made up for the unknown index.
  EXPECT_FALSE(profile.WorkingSection()["CustomEQHzValueInfo"].isValidIndex(7));
  // Loading and refreshing never write the chip.
  chip.ClearCalls();
  voice.ReadDevice();
  EXPECT_EQ(WriteCount(chip), 0u);
}

}  // namespace
}  // namespace varkon
