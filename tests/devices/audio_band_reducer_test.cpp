#include "devices/audio_band_reducer.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace varkon {
namespace {

using Frame = std::array<int32_t, kSpectrumBinCount>;

constexpr SpectrumTargets kOneKeyboard{1, 0, true, false};
constexpr SpectrumTargets kOneMouse{0, 1, false, true};
constexpr SpectrumTargets kBoth{1, 1, true, true};

Frame FilledFrame(int32_t value) {
  Frame f;
  f.fill(value);
  return f;
}

std::vector<uint8_t> Payload(const Frame& frame, size_t values) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < values; ++i) {
    const uint32_t v = static_cast<uint32_t>(frame[i]);
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<uint8_t>(v >> (8 * k)));
  }
  return bytes;
}

TEST(AudioSpectrumReducer, FirstFrameBandStatisticsFromTheFourUsedBins) {
  AudioSpectrumReducer reducer;
  Frame f = FilledFrame(0);
  // Band 2 covers bins 10-14; bin 14 is not part of it.
  f[10] = 8;
  f[11] = 12;
  f[12] = 0;
  f[13] = 20;
  f[14] = 1000;
  reducer.ReduceFrame(f, kOneKeyboard);
  // mean = (0 + 40) / 4 = 10; deviation = isqrt((0 + 4 + 4 + 100 + 100) / 3) = isqrt(69) = 8.
  EXPECT_EQ(reducer.KeyboardMean(2), 10);
  EXPECT_EQ(reducer.KeyboardDeviation(2), 8u);
  // Bin 14 is skipped and bin 15 is the first of band 3.
  EXPECT_EQ(reducer.KeyboardMean(3), 0);
  EXPECT_EQ(reducer.KeyboardDeviation(3), 0u);
  EXPECT_EQ(reducer.KeyboardMean(1), 0);
}

TEST(AudioSpectrumReducer, StatisticsAreRunningValuesOfTheDifferences) {
  AudioSpectrumReducer reducer;
  Frame f = FilledFrame(0);
  f[0] = f[1] = f[2] = f[3] = 100;
  reducer.ReduceFrame(f, kOneKeyboard);
  EXPECT_EQ(reducer.KeyboardMean(0), 100);  // (0 + 400) / 4
  EXPECT_EQ(reducer.KeyboardDeviation(0), 0u);
  // The next frame drops to 60 in bin 0 only: differences 40, 0, 0, 0.
  f[0] = 60;
  reducer.ReduceFrame(f, kOneKeyboard);
  // mean = (100 + 40) / 4 = 35; deviation = isqrt((0 + 25 + 3 * 1225) / 3) = isqrt(1233) = 35.
  EXPECT_EQ(reducer.KeyboardMean(0), 35);
  EXPECT_EQ(reducer.KeyboardDeviation(0), 35u);
}

TEST(AudioSpectrumReducer, UnchangedFramesDecayTheMeansByFour) {
  AudioSpectrumReducer reducer;
  Frame f = FilledFrame(0);
  for (int i = 0; i < 4; ++i) f[i] = 1000;
  reducer.ReduceFrame(f, kOneKeyboard);
  ASSERT_EQ(reducer.KeyboardMean(0), 1000);
  int64_t expected = 1000;
  for (int frame = 0; frame < 8; ++frame) {
    reducer.ReduceFrame(f, kOneKeyboard);  // same frame: every difference is 0
    expected /= 4;
    EXPECT_EQ(reducer.KeyboardMean(0), expected) << "frame " << frame;
  }
  EXPECT_EQ(reducer.KeyboardMean(0), 0);
}

TEST(AudioSpectrumReducer, OneKeyboardSlotIsFedEveryThirdFrame) {
  AudioSpectrumReducer reducer;
  std::vector<int> fedAtMs;
  for (int frame = 1; frame <= 12; ++frame) {
    SpectrumLevels out = reducer.ReduceFrame(FilledFrame(frame * 10), kOneKeyboard);
    if (out.feedKeyboard) fedAtMs.push_back(frame * 20);  // a frame every 20 ms
    EXPECT_FALSE(out.feedMouse);
  }
  EXPECT_EQ(fedAtMs, (std::vector<int>{60, 120, 180, 240}));
}

TEST(AudioSpectrumReducer, FedLevelsAreTheBandMeans) {
  AudioSpectrumReducer reducer;
  SpectrumLevels out;
  for (int frame = 1; frame <= 3; ++frame) {
    Frame f;
    for (size_t i = 0; i < f.size(); ++i) f[i] = static_cast<int32_t>(frame * i);
    out = reducer.ReduceFrame(f, kOneKeyboard);
  }
  ASSERT_TRUE(out.feedKeyboard);
  for (size_t b = 0; b < kKeyboardBandCount; ++b) {
    EXPECT_EQ(out.keyboard[b], reducer.KeyboardMean(b)) << b;
  }
  EXPECT_GT(out.keyboard[24], out.keyboard[1]);  // higher bins change more in this ramp
}

TEST(AudioSpectrumReducer, TwoKeyboardSlotsUpdateTwicePerFrame) {
  AudioSpectrumReducer one, two;
  Frame f = FilledFrame(0);
  for (int i = 0; i < 4; ++i) f[i] = 64;
  one.ReduceFrame(f, kOneKeyboard);
  two.ReduceFrame(f, SpectrumTargets{2, 0, true, false});
  EXPECT_EQ(one.KeyboardMean(0), 64);       // (0 + 256) / 4
  EXPECT_EQ(two.KeyboardMean(0), 64 + 16);  // then (64 + 256) / 4
}

TEST(AudioSpectrumReducer, SecondSlotDoesNotChangeWhatWasFed) {
  AudioSpectrumReducer reducer;
  const SpectrumTargets twoSlots{2, 0, true, false};
  Frame f = FilledFrame(0);
  SpectrumLevels out;
  for (int frame = 1; frame <= 3; ++frame) {
    for (int i = 0; i < 4; ++i) f[i] = (frame % 2) ? 400 : 0;
    const int64_t before = reducer.KeyboardMean(0);
    out = reducer.ReduceFrame(f, twoSlots);
    if (frame < 3) {
      EXPECT_FALSE(out.feedKeyboard);
      continue;
    }
    ASSERT_TRUE(out.feedKeyboard);
    // Fed after the first slot's update; the second slot moves the mean once more.
    const int64_t afterFirst = (before + 1600) / 4;
    EXPECT_EQ(out.keyboard[0], afterFirst);
    EXPECT_EQ(reducer.KeyboardMean(0), (afterFirst + 1600) / 4);
  }
  EXPECT_EQ(reducer.KeyboardFrameCounter(), 0u);
}

TEST(AudioSpectrumReducer, WithoutActiveKeyboardTheCounterWaits) {
  AudioSpectrumReducer reducer;
  const SpectrumTargets idle{1, 0, false, false};
  for (int frame = 0; frame < 5; ++frame) {
    EXPECT_FALSE(reducer.ReduceFrame(FilledFrame(frame), idle).feedKeyboard);
  }
  EXPECT_EQ(reducer.KeyboardFrameCounter(), 5u);
  // The next frame with a keyboard feeds at once.
  EXPECT_TRUE(reducer.ReduceFrame(FilledFrame(9), kOneKeyboard).feedKeyboard);
  EXPECT_EQ(reducer.KeyboardFrameCounter(), 0u);
}

TEST(AudioSpectrumReducer, WithoutKeyboardSlotNothingIsUpdatedOrFed) {
  AudioSpectrumReducer reducer;
  const SpectrumTargets noSlot{0, 0, true, true};
  for (int frame = 1; frame <= 4; ++frame) {
    SpectrumLevels out = reducer.ReduceFrame(FilledFrame(frame * 100), noSlot);
    EXPECT_FALSE(out.feedKeyboard);
    EXPECT_FALSE(out.feedMouse);
  }
  EXPECT_EQ(reducer.KeyboardMean(0), 0);
  EXPECT_EQ(reducer.MouseMean(0), 0);
}

TEST(AudioSpectrumReducer, MouseBlockStartsAtTheSecondBandAndEndsWithZero) {
  AudioSpectrumReducer reducer;
  SpectrumLevels out;
  for (int frame = 1; frame <= 3; ++frame) {
    Frame f = FilledFrame(0);
    // Band b of the mouse changes by 4 * (b + 1) per bin between frames.
    for (size_t b = 0; b < kMouseBandCount; ++b) {
      for (size_t k = 0; k < 4; ++k) f[5 * b + k] = static_cast<int32_t>((frame % 2) * 4 * (b + 1));
    }
    out = reducer.ReduceFrame(f, kOneMouse);
  }
  ASSERT_TRUE(out.feedMouse);
  EXPECT_FALSE(out.feedKeyboard);
  for (size_t b = 1; b < kMouseBandCount; ++b) {
    EXPECT_EQ(out.mouse[b - 1], reducer.MouseMean(b)) << b;
    EXPECT_GT(out.mouse[b - 1], 0) << b;
  }
  EXPECT_EQ(out.mouse[9], 0);
  EXPECT_NE(reducer.MouseMean(0), reducer.MouseMean(1));  // band 0 really is left out
}

TEST(AudioSpectrumReducer, KeyboardAndMouseKeepSeparateStatistics) {
  AudioSpectrumReducer reducer;
  Frame f = FilledFrame(0);
  for (int i = 0; i < 4; ++i) f[i] = 40;
  reducer.ReduceFrame(f, SpectrumTargets{1, 2, true, true});
  EXPECT_EQ(reducer.KeyboardMean(0), 40);
  EXPECT_EQ(reducer.MouseMean(0), 40 + 10);  // two mouse slots: 40, then (40 + 160) / 4
}

TEST(AudioSpectrumReducer, CountsSlotKinds) {
  const std::vector<uint8_t> kinds{1, 9, 2, 6, 0, 3, 4, 5, 7, 8, 10, 1};
  SpectrumTargets t = CountSpectrumSlots(kinds);
  EXPECT_EQ(t.keyboardSlots, 3);
  EXPECT_EQ(t.mouseSlots, 2);
  EXPECT_FALSE(t.activeKeyboard);
  EXPECT_FALSE(t.activeMouse);
}

TEST(AudioSpectrumReducer, PayloadIsLittleEndianAndMatchesFrames) {
  Frame f;
  for (size_t i = 0; i < f.size(); ++i) f[i] = static_cast<int32_t>(i * 70001 - 1000000);
  AudioSpectrumReducer byFrame, byPayload;
  for (int n = 0; n < 3; ++n) {
    byFrame.ReduceFrame(f, kBoth);
    byPayload.ReducePayload(Payload(f, kSpectrumBinCount), kBoth);
    for (auto& v : f) v = v / 2 + 3;
  }
  for (size_t b = 0; b < kKeyboardBandCount; ++b) {
    EXPECT_EQ(byPayload.KeyboardMean(b), byFrame.KeyboardMean(b)) << b;
    EXPECT_EQ(byPayload.KeyboardDeviation(b), byFrame.KeyboardDeviation(b)) << b;
  }
  EXPECT_NE(byFrame.KeyboardMean(3), 0);
}

TEST(AudioSpectrumReducer, ShortPayloadKeepsTheRestOfTheReceivingBuffer) {
  AudioSpectrumReducer reducer;
  reducer.ReducePayload(Payload(FilledFrame(50), kSpectrumBinCount), kOneKeyboard);
  // Only the first five values arrive; bins 5 onwards still hold 50 and do not differ.
  Frame f = FilledFrame(50);
  for (int i = 0; i < 5; ++i) f[i] = 90;
  reducer.ReducePayload(Payload(f, 5), kOneKeyboard);
  EXPECT_EQ(reducer.KeyboardMean(0), (50 + 160) / 4);
  EXPECT_EQ(reducer.KeyboardMean(1), 50 / 4);
  // A payload that ends inside a value replaces only its low bytes.
  std::vector<uint8_t> partial = Payload(f, 1);
  partial.resize(2);
  partial[0] = 0x00;
  partial[1] = 0x01;  // 90 = 0x5A becomes 0x0100
  reducer.ReducePayload(partial, kOneKeyboard);
  const int64_t mean1 = (50 + 160) / 4;
  EXPECT_EQ(reducer.KeyboardMean(0), (mean1 + (256 - 90)) / 4);
}

TEST(AudioSpectrumReducer, OversizedPayloadUsesOnly500Values) {
  AudioSpectrumReducer a, b;
  Frame f = FilledFrame(7);
  std::vector<uint8_t> big = Payload(f, kSpectrumBinCount);
  a.ReducePayload(big, kOneKeyboard);
  big.resize(big.size() + 4000, 0xFF);
  b.ReducePayload(big, kOneKeyboard);
  for (size_t band = 0; band < kKeyboardBandCount; ++band) {
    EXPECT_EQ(a.KeyboardMean(band), b.KeyboardMean(band));
  }
}

TEST(AudioSpectrumReducer, EmptyPayloadIsIgnored) {
  AudioSpectrumReducer reducer;
  reducer.ReducePayload(Payload(FilledFrame(5), kSpectrumBinCount), kOneKeyboard);
  SpectrumLevels out = reducer.ReducePayload({}, kOneKeyboard);
  EXPECT_FALSE(out.feedKeyboard);
  EXPECT_EQ(reducer.KeyboardFrameCounter(), 1u);
}

TEST(AudioSpectrumReducer, ExtremeValuesStayFiniteAndSaturate) {
  AudioSpectrumReducer reducer;
  const int32_t lo = std::numeric_limits<int32_t>::min();
  const int32_t hi = std::numeric_limits<int32_t>::max();
  SpectrumLevels out;
  for (int frame = 0; frame < 60; ++frame) {
    Frame f;
    for (size_t i = 0; i < f.size(); ++i) f[i] = ((frame + i) % 2) ? hi : lo;
    out = reducer.ReduceFrame(f, SpectrumTargets{3, 3, true, true});
  }
  // Differences of 2^32 - 1 every frame: the mean settles just under 4/3 of that.
  const int64_t diff = int64_t{hi} - int64_t{lo};
  EXPECT_GT(reducer.KeyboardMean(0), diff);
  EXPECT_LE(reducer.KeyboardMean(0), diff * 4 / 3);
  EXPECT_GT(reducer.KeyboardDeviation(0), 0u);
  // Levels handed over are clamped to the 32-bit range.
  for (int32_t level : out.keyboard) EXPECT_EQ(level, hi);
}

}  // namespace
}  // namespace varkon
