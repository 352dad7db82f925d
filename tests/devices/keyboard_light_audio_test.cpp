// The keyboard's music input: the beat counter of music style 2 and the seven music styles.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "devices/keyboard_light_audio.h"
#include "devices/keyboard_light_engine.h"

namespace varkon {
namespace {

std::vector<int32_t> All(int32_t v) {
  return std::vector<int32_t>(kAudioBands, v);
}

TEST(MusicBeatCounter, FullScaleLevelsAdd25AndRippleOnTheThirdSet) {
  MusicBeatCounter beat;
  const auto loud = All(2000);
  EXPECT_FALSE(beat.Add(loud));
  EXPECT_EQ(beat.total(), 25);
  EXPECT_FALSE(beat.Add(loud));
  EXPECT_EQ(beat.total(), 50);
  EXPECT_TRUE(beat.Add(loud));  // 75 reaches 71
  EXPECT_EQ(beat.total(), 0);
}

TEST(MusicBeatCounter, SilenceAddsNothing) {
  MusicBeatCounter beat;
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(beat.Add(All(0)));
  EXPECT_EQ(beat.total(), 0);
}

TEST(MusicBeatCounter, LevelsBeyondFullScaleCountAs500) {
  MusicBeatCounter beat;
  // 2001 × 600 / 2000 = 600: not beyond, adds 25.
  beat.Add(All(2001));
  EXPECT_EQ(beat.total(), 25);
  beat.Reset();
  // 2004 × 600 / 2000 = 601: 500 each, a = 500, 25 − 500 × 25 / 600 = 5.
  beat.Add(All(2004));
  EXPECT_EQ(beat.total(), 5);
  beat.Add(All(INT32_MAX));  // no overflow
  EXPECT_EQ(beat.total(), 10);
}

TEST(MusicBeatCounter, MidLevelsAndShortOrNegativeSets) {
  MusicBeatCounter beat;
  // 1000 -> 300 each, a = 300, adds 25 − 12 = 13.
  beat.Add(All(1000));
  EXPECT_EQ(beat.total(), 13);
  beat.Reset();
  // One level given: the other 24 count as 0 (600 each): a = (0 + 24 × 600) / 25 = 576 -> 1.
  const int32_t one[] = {2000};
  beat.Add(one);
  EXPECT_EQ(beat.total(), 1);
  beat.Reset();
  beat.Add(All(-5000));
  EXPECT_EQ(beat.total(), 0);
  // Reaching exactly 71 starts the ripple: 13 × 5 = 65, then 6 more from a mean of 456.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(beat.Add(All(1000)));
  EXPECT_EQ(beat.total(), 65);
  EXPECT_TRUE(beat.Add(All(480)));  // 144 each: a = 456, 25 − 19 = 6
}

TEST(KeyboardAudio, BandScales) {
  EXPECT_EQ(BandIntensity(-1), 0);
  EXPECT_EQ(BandIntensity(0), 0);
  EXPECT_EQ(BandIntensity(1999), 254);
  EXPECT_EQ(BandIntensity(2000), 255);
  EXPECT_EQ(BandIntensity(INT32_MAX), 255);
  EXPECT_EQ(BandHeight(333), 0);
  EXPECT_EQ(BandHeight(334), 1);
  EXPECT_EQ(BandHeight(1999), 5);
  EXPECT_EQ(BandHeight(2000), 6);
  EXPECT_EQ(BandOfColumn(0), 0u);
  EXPECT_EQ(BandOfColumn(22), 23u);
}

TEST(KeyboardAudio, AudioLightFromThePanelWords) {
  const KeyboardAudioLight light = KeyboardAudioLight::FromWords(0x30201005u, 0x01C0B0A0u);
  EXPECT_EQ(light.style, 5);
  EXPECT_EQ(light.background, (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(light.foreground, (Rgb{0xA0, 0xB0, 0xC0}));
  EXPECT_TRUE(light.multicolour);
  EXPECT_EQ(KeyboardAudioLight::Unpack(light.Pack()), light);
}

class KeyboardMusic : public ::testing::Test {
 protected:
  void Start(MusicStyle style, bool multicolour, int effect = 29) {
    KeyboardAudioLight light;
    light.style = static_cast<uint8_t>(style);
    light.background = {0, 0, 40};
    light.foreground = {250, 120, 10};
    light.multicolour = multicolour;
    engine_.SetAudioLight(light);
    state_.mode = static_cast<uint8_t>(effect);
    state_.brightness = 4;
    engine_.SetLightState(state_);
    engine_.StartEffect(effect, state_, now_);
  }
  void Step(int times = 1) {
    for (int i = 0; i < times; ++i) engine_.StepEffect(state_.mode, state_, now_ += 16);
  }
  LightColour Cell(size_t row, size_t column) const {
    return engine_.colours().Get(kKeyboardMatrix[row][column]);
  }

  LightClassShared shared_;
  KeyboardLightEngine engine_{kKeyboardLights, shared_, TickRule::kEveryPass, 5};
  LightState state_;
  uint32_t now_ = 0;
  const Rgb kBack{0, 0, 40};
  const Rgb kFore{250, 120, 10};
};

TEST_F(KeyboardMusic, BeatCounterRunsOnlyInStyleTwoOfEffect29) {
  Start(MusicStyle::kBars, false);
  engine_.FeedAudioLevels(All(2000));
  EXPECT_EQ(engine_.beatTotal(), 0);
  Start(MusicStyle::kRipple, false, 30);
  engine_.FeedAudioLevels(All(2000));
  EXPECT_EQ(engine_.beatTotal(), 0);
  Start(MusicStyle::kRipple, false);
  engine_.FeedAudioLevels(All(2000));
  EXPECT_EQ(engine_.beatTotal(), 25);
  // The levels are kept in every case.
  EXPECT_EQ(engine_.inputs().audioLevel(24), 2000);
}

TEST_F(KeyboardMusic, TheThirdLoudSetStartsARippleAtKey51) {
  Start(MusicStyle::kRipple, false);
  Step();
  EXPECT_EQ(engine_.colours().Get(51), LightColour(kBack, 255));
  engine_.FeedAudioLevels(All(2000));
  engine_.FeedAudioLevels(All(2000));
  Step();
  EXPECT_EQ(engine_.colours().Get(51), LightColour(kBack, 255));
  engine_.FeedAudioLevels(All(2000));
  Step();
  EXPECT_EQ(engine_.colours().Get(51), LightColour(kFore, ScaleLevel(255, 255)));
  Step();
  // One cell further out, the music decay (−45 from 255) behind it.
  EXPECT_EQ(Cell(2, 11), LightColour(kFore, ScaleLevel(255, 255)));
  EXPECT_EQ(engine_.colours().Get(51), LightColour(kFore, ScaleLevel(210, 255)));
}

TEST_F(KeyboardMusic, BarsRiseFromTheBottomRow) {
  // Column 4 has a key in every row.
  Start(MusicStyle::kBars, false);
  engine_.FeedAudioLevels(All(1000));  // height 3
  Step();
  for (size_t r = 0; r < kKeyboardRows; ++r) {
    EXPECT_EQ(Cell(r, 4), LightColour(r >= 3 ? kFore : kBack, 255)) << r;
  }
  Start(MusicStyle::kBars, true);
  std::vector<int32_t> levels(kAudioBands, 0);
  levels[BandOfColumn(4)] = 2000;
  engine_.FeedAudioLevels(levels);
  Step();
  EXPECT_EQ(Cell(5, 4), LightColour(Wheel(64), 255));  // green at the bottom
  EXPECT_EQ(Cell(0, 4), LightColour(Wheel(0), 255));   // red at the top
  EXPECT_EQ(Cell(5, 2), LightColour(kBack, 255));      // a silent band
}

TEST_F(KeyboardMusic, RainbowBarsUseNoUserColours) {
  Start(MusicStyle::kRainbowBars, false);
  engine_.FeedAudioLevels(All(700));  // height 2
  Step();
  EXPECT_EQ(Cell(3, 4), LightColour());
  EXPECT_EQ(Cell(4, 4), LightColour(Wheel(4 * 192 / 23), 255));
  EXPECT_EQ(Cell(5, 4), Cell(4, 4));
}

TEST_F(KeyboardMusic, CentreMeterSpreadsEachRowFromTheMiddle) {
  Start(MusicStyle::kCentreMeter, false);
  std::vector<int32_t> levels(kAudioBands, 0);
  levels[0] = 2000;   // bass: the bottom row, full width
  levels[24] = 1000;  // treble: the top row, intensity 127: 5 columns either side of the middle
  engine_.FeedAudioLevels(levels);
  Step();
  for (size_t c = 0; c < kKeyboardColumns; ++c) {
    if (IsLitKey(kKeyboardMatrix[5][c])) {
      EXPECT_EQ(Cell(5, c), LightColour(kFore, 255)) << c;
    }
  }
  EXPECT_EQ(Cell(0, 11), LightColour(kFore, 255));
  EXPECT_EQ(Cell(0, 15), LightColour(kFore, 255));
  EXPECT_EQ(Cell(0, 16), LightColour(kBack, 255));
  EXPECT_EQ(Cell(2, 11), LightColour(kBack, 255));
}

TEST_F(KeyboardMusic, PulseGoesFromBackgroundToForeground) {
  Start(MusicStyle::kPulse, false);
  Step();
  EXPECT_EQ(Cell(2, 2), LightColour(kBack, 255));
  engine_.FeedAudioLevels(All(2000));
  Step();
  EXPECT_EQ(Cell(2, 2), LightColour(kFore, 255));
}

TEST_F(KeyboardMusic, WaterfallMovesOneRowPerLevelSet) {
  Start(MusicStyle::kWaterfall, false);
  engine_.FeedAudioLevels(All(2000));
  Step(3);
  EXPECT_EQ(Cell(0, 5), LightColour(kFore, 255));
  EXPECT_EQ(Cell(1, 5), LightColour(kBack, 255));  // no new set: no move
  engine_.FeedAudioLevels(All(0));
  Step();
  EXPECT_EQ(Cell(0, 5), LightColour(kBack, 255));
  EXPECT_EQ(Cell(1, 5), LightColour(kFore, 255));
  EXPECT_EQ(Cell(2, 5), LightColour(kBack, 255));
}

TEST_F(KeyboardMusic, PeakMarkersHoldAndFall) {
  Start(MusicStyle::kPeakBars, false);
  engine_.FeedAudioLevels(All(2000));
  Step();
  EXPECT_EQ(Cell(0, 8), LightColour(kFore, 255));
  engine_.FeedAudioLevels(All(0));
  Step();
  // The bar is gone; the peak holds at the top row, then falls one row every four steps.
  const LightColour white(255, 255, 255, 255);
  EXPECT_EQ(Cell(0, 8), white);
  EXPECT_EQ(Cell(1, 8), LightColour(kBack, 255));
  Step();
  EXPECT_EQ(Cell(0, 8), white);
  Step();  // the fourth step since the peak was set
  EXPECT_EQ(Cell(0, 8), LightColour(kBack, 255));
  EXPECT_EQ(Cell(1, 8), white);
  Step(4);
  EXPECT_EQ(Cell(2, 8), white);
}

TEST_F(KeyboardMusic, UnknownStylesShowBars) {
  Start(static_cast<MusicStyle>(9), false);
  engine_.FeedAudioLevels(All(2000));
  Step();
  EXPECT_EQ(Cell(0, 9), LightColour(kFore, 255));
}

TEST_F(KeyboardMusic, AudioTwinkleFollowsTheLoudness) {
  Start(MusicStyle::kBars, false, 30);
  Step(20);
  size_t lit = 0;
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) lit += engine_.colours().Get(key).a > 0;
  EXPECT_EQ(lit, 0u);  // silence
  engine_.FeedAudioLevels(All(2000));
  Step(3);
  for (size_t key = 0; key < kKeyboardLitKeys; ++key) lit += engine_.colours().Get(key).a > 0;
  EXPECT_GE(lit, 4u);
  EXPECT_LE(lit, 12u);
}

}  // namespace
}  // namespace varkon
