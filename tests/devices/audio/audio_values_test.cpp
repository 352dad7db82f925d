// Texts the chip answers with, into the values the headset keeps.
#include <gtest/gtest.h>

#include "devices/audio/audio_features.h"
#include "devices/audio/audio_properties.h"

namespace varkon {
namespace {

TEST(AudioValues, LevelsTruncateAndStayOnTheSlider) {
  EXPECT_EQ(LevelOfScalar(*ParseChipFloat("0.999")), 99);
  EXPECT_EQ(LevelOfScalar(*ParseChipFloat("1")), 100);
  EXPECT_EQ(LevelOfScalar(*ParseChipFloat("0.37")), 37);
  // A chip answering beyond the scalar range cannot push a level off 0-100 (nor overflow).
  EXPECT_EQ(LevelOfScalar(1e30f), 100);
  EXPECT_EQ(LevelOfScalar(-0.5f), 0);
  EXPECT_FLOAT_EQ(ScalarOfLevel(37), 0.37f);
  EXPECT_FLOAT_EQ(ScalarOfLevel(-1), 0.0f);
  EXPECT_FLOAT_EQ(ScalarOfLevel(250), 1.0f);
}

TEST(AudioValues, JunkTextIsNoValue) {
  EXPECT_EQ(ParseChipInt(" 1\n"), 1);
  EXPECT_EQ(ParseChipInt("-3"), -3);
  EXPECT_FALSE(ParseChipInt(""));
  EXPECT_FALSE(ParseChipInt("1x"));
  EXPECT_FALSE(ParseChipInt("99999999999"));
  EXPECT_FALSE(ParseChipFloat("nan"));
  EXPECT_FALSE(ParseChipFloat("inf"));
  EXPECT_FALSE(ParseChipFloat("0.5 dB"));
}

TEST(AudioFeatureList, SevenFieldsAfterDroppingEmptyOnes) {
  const auto features = ParseFeatureList("131072,0,0,0,5,0,9");
  ASSERT_TRUE(features);
  EXPECT_EQ(features->features, 0x20000u);
  EXPECT_EQ(features->feature4, 5u);
  EXPECT_EQ(features->feature6, 9u);
  // Six fields once the empty one is dropped.
  EXPECT_FALSE(ParseFeatureList("1,,2,3,4,5,6"));
  // Leading digits count; none or too many read as 0; the text ends at a zero byte.
  const auto loose = ParseFeatureList("12abc,1,2,3,x,5,99999999999");
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->features, 12u);
  EXPECT_EQ(loose->feature4, 0u);
  EXPECT_EQ(loose->feature6, 0u);
  EXPECT_FALSE(ParseFeatureList(std::string_view("1,2,3\0,4,5,6,7", 15)));
}

}  // namespace
}  // namespace varkon
