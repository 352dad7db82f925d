#include "devices/light_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace varkon {
namespace {

TEST(LightTables, WheelSegmentsRunRedYellowGreenCyanBlueMagenta) {
  EXPECT_EQ(kColourWheel[0], (Rgb{255, 1, 0}));
  EXPECT_EQ(kColourWheel[31], (Rgb{255, 255, 0}));  // yellow
  EXPECT_EQ(kColourWheel[32], (Rgb{248, 255, 0}));
  EXPECT_EQ(kColourWheel[63], (Rgb{0, 255, 0}));  // green
  EXPECT_EQ(kColourWheel[64 + 9], (Rgb{0, 255, 32}));
  EXPECT_EQ(kColourWheel[95], (Rgb{0, 255, 255}));  // cyan
  EXPECT_EQ(kColourWheel[96 + 14], (Rgb{0, 85, 255}));
  EXPECT_EQ(kColourWheel[127], (Rgb{0, 0, 255}));  // blue
  EXPECT_EQ(kColourWheel[128 + 20], (Rgb{119, 0, 255}));
  EXPECT_EQ(kColourWheel[159], (Rgb{255, 0, 255}));  // magenta
  EXPECT_EQ(kColourWheel[160], (Rgb{255, 0, 248}));
  EXPECT_EQ(kColourWheel[191], (Rgb{255, 0, 0}));  // back to red
}

TEST(LightTables, WheelIndex192IsIndex0AndIndicesWrap) {
  EXPECT_EQ(Wheel(192), kColourWheel[0]);
  EXPECT_EQ(Wheel(192 + 50), kColourWheel[50]);
  EXPECT_EQ(Wheel(191), kColourWheel[191]);
}

TEST(LightTables, WheelNeighboursDifferLittle) {
  // A smooth wheel: no channel jumps by more than the steepest ramp step (14) between entries.
  for (size_t i = 0; i < kWheelSize; ++i) {
    const Rgb a = Wheel(i);
    const Rgb b = Wheel(i + 1);
    EXPECT_LE(std::abs(a.r - b.r), 14) << i;
    EXPECT_LE(std::abs(a.g - b.g), 14) << i;
    EXPECT_LE(std::abs(a.b - b.b), 14) << i;
  }
}

TEST(LightTables, FourColours) {
  EXPECT_EQ(kFourColours[0], (Rgb{0, 255, 180}));
  EXPECT_EQ(kFourColours[1], (Rgb{0, 255, 0}));
  EXPECT_EQ(kFourColours[2], (Rgb{255, 255, 255}));
  EXPECT_EQ(kFourColours[3], (Rgb{255, 0, 0}));
  EXPECT_EQ(FourColour(5), kFourColours[1]);
}

TEST(LightTables, BreathingCurveRisesInRunsAndFallsBack) {
  const uint8_t expectedFirstHalf[64] = {
      0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
      22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
      77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
      158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
  for (size_t i = 0; i < 64; ++i) {
    EXPECT_EQ(kBreathingCurve[i], expectedFirstHalf[i]) << i;
    EXPECT_EQ(kBreathingCurve[127 - i], expectedFirstHalf[i]) << i;
  }
}

TEST(LightTables, WaveCurveRunsFrom22To255AndBack) {
  EXPECT_EQ(kWaveCurve[0], 22);
  EXPECT_EQ(kWaveCurve[1], 24);
  EXPECT_EQ(kWaveCurve[2], 27);
  EXPECT_EQ(kWaveCurve[47], 255);
  EXPECT_EQ(kWaveCurve[48], 255);
  EXPECT_EQ(kWaveCurve[95], 22);
  for (size_t i = 0; i < kWaveSize; ++i) EXPECT_EQ(kWaveCurve[i], kWaveCurve[95 - i]) << i;
  for (size_t i = 1; i < 48; ++i) EXPECT_GT(kWaveCurve[i], kWaveCurve[i - 1]) << i;
}

TEST(LightTables, LevelTablesAndOutOfRangeLevels) {
  EXPECT_EQ(Brightness(0), 0);
  EXPECT_EQ(Brightness(1), 80);
  EXPECT_EQ(Brightness(2), 135);
  EXPECT_EQ(Brightness(3), 195);
  EXPECT_EQ(Brightness(4), 255);
  EXPECT_EQ(Brightness(200), 255);  // a level from a file beyond 4 is read as 4
  EXPECT_EQ(SpeedTicks(0), 8);
  EXPECT_EQ(SpeedTicks(4), 1);
  EXPECT_EQ(SpeedTicks(9), 1);
  EXPECT_EQ(SequenceSpectrumTicks(0), 10);
  EXPECT_EQ(SequenceSpectrumTicks(2), 5);
}

TEST(LightTables, BlinkPeriods) {
  EXPECT_EQ(BlinkPeriodMs(0), 1600u);
  EXPECT_EQ(BlinkPeriodMs(1), 1200u);
  EXPECT_EQ(BlinkPeriodMs(2), 800u);
  EXPECT_EQ(BlinkPeriodMs(3), 400u);
  EXPECT_EQ(BlinkPeriodMs(4), 200u);
}

TEST(LightTables, ScaleLevelRoundsDown) {
  EXPECT_EQ(ScaleLevel(255, 255), 254);
  EXPECT_EQ(ScaleLevel(255, 80), 79);
  EXPECT_EQ(ScaleLevel(1, 255), 0);
  EXPECT_EQ(ScaleLevel(200, 0), 0);
}

TEST(Stepper, ForwardWrapsToZeroAtLimit) {
  EXPECT_EQ(Step(true, 128, 0, 1), 1);
  EXPECT_EQ(Step(true, 128, 126, 1), 127);
  EXPECT_EQ(Step(true, 128, 127, 1), 0);
  EXPECT_EQ(Step(true, 96, 94, 3), 0);  // 97 is past the limit
  EXPECT_EQ(Step(true, 192, 191, 1), 0);
}

TEST(Stepper, BackwardFromZeroGivesLimitMinusStep) {
  EXPECT_EQ(Step(false, 128, 0, 1), 127);
  EXPECT_EQ(Step(false, 128, 5, 1), 4);
  EXPECT_EQ(Step(false, 192, 0, 1), 191);
  EXPECT_EQ(Step(false, 96, 1, 3), 93);  // 254 modulo 256 is past the limit
  EXPECT_EQ(Step(false, 96, 3, 3), 0);
}

TEST(Stepper, OutOfRangeValueComesBackInRange) {
  // A phase left high by another mode (spectrum runs to 191) re-enters the breathing range.
  EXPECT_EQ(Step(true, 128, 150, 1), 0);
  EXPECT_EQ(Step(false, 128, 150, 1), 127);
  for (int v = 0; v < 256; ++v) {
    EXPECT_LT(Step(true, 96, static_cast<uint8_t>(v), 3), 96);
    EXPECT_LT(Step(false, 96, static_cast<uint8_t>(v), 3), 96);
  }
}

}  // namespace
}  // namespace varkon
