#include "devices/light_headset_frame.h"

#include <gtest/gtest.h>

namespace varkon {
namespace {

TEST(HeadsetLevel, CapsAt247) {
  EXPECT_EQ(HeadsetLevel(255, 255), 247);  // 254 before the cap
  EXPECT_EQ(HeadsetLevel(255, 0), 0);
  EXPECT_EQ(HeadsetLevel(250, 254), 247);  // 248
  EXPECT_EQ(HeadsetLevel(249, 254), 247);  // exactly 247
  EXPECT_EQ(HeadsetLevel(248, 254), 246);
  EXPECT_EQ(HeadsetLevel(100, 128), 50);
}

TEST(HeadsetReports, ByteExactFromTheBuffer) {
  ColourBuffer buffer(13);
  for (size_t i = 0; i < 13; ++i) {
    const uint8_t v = static_cast<uint8_t>(16 * i + 15);
    // red v, green v / 2, blue 255 at alpha 255: levels v - 1, about v / 2, 247
    buffer.Set(i, LightColour(v, static_cast<uint8_t>(v / 2), 255, 255));
  }
  const HeadsetReports r = BuildHeadsetReports(buffer);
  const HeadsetReport red0 = {0xFF, 0x22, 0xAA, 0, 14, 30, 46, 62, 78, 94, 110, 0, 0, 0, 0, 0, 0};
  const HeadsetReport red1 = {0xFF, 0x22, 0xAD, 0, 126, 142, 158, 174, 190,
                              206,  0,    0,    0, 0,   0,   0,   0};
  EXPECT_EQ(r[0], red0);
  EXPECT_EQ(r[1], red1);
  HeadsetReport red0b = red0;
  red0b[1] = 0x44;
  EXPECT_EQ(r[2], red0b);
  HeadsetReport red1b = red1;
  red1b[1] = 0x44;
  EXPECT_EQ(r[3], red1b);
  const HeadsetReport green0 = {0xFF, 0x22, 0xAB, 0, 6, 14, 22, 30, 38, 46, 54, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(r[4], green0);
  EXPECT_EQ(r[5][2], 0xAE);
  EXPECT_EQ(r[6][1], 0x44);
  EXPECT_EQ(r[6][2], 0xAB);
  EXPECT_EQ(r[7][2], 0xAE);
  const HeadsetReport blue1 = {0xFF, 0x22, 0xAF, 0, 247, 247, 247, 247, 247,
                               247,  0,    0,    0, 0,   0,   0,   0};
  EXPECT_EQ(r[9], blue1);
  EXPECT_EQ(r[8][2], 0xAC);
  EXPECT_EQ(r[10][1], 0x44);
  EXPECT_EQ(r[10][2], 0xAC);
  EXPECT_EQ(r[11][1], 0x44);
  EXPECT_EQ(r[11][2], 0xAF);
}

TEST(HeadsetReports, AlphaZeroSendsZeroWhateverTheColour) {
  ColourBuffer buffer(13);
  buffer.Fill(LightColour(255, 255, 255, 0));
  const HeadsetReports r = BuildHeadsetReports(buffer);
  for (const HeadsetReport& report : r) {
    for (size_t j = 4; j < kHeadsetReportSize; ++j) EXPECT_EQ(report[j], 0);
  }
}

TEST(HeadsetReports, MissingLightsAreSentDark) {
  ColourBuffer buffer(9);  // fewer cells than the headset has
  buffer.Fill(LightColour(255, 255, 255, 255));
  const HeadsetReports r = BuildHeadsetReports(buffer);
  EXPECT_EQ(r[1][4], 247);  // light 7
  EXPECT_EQ(r[1][5], 247);  // light 8
  EXPECT_EQ(r[1][6], 0);    // light 9 does not exist
  EXPECT_EQ(r[1][9], 0);
}

}  // namespace
}  // namespace varkon
