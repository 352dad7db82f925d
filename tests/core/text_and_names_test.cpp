#include <gtest/gtest.h>

#include "core/names.h"
#include "core/stamp_id.h"
#include "core/text.h"

namespace varkon {
namespace {

TEST(Text, Utf8AndUtf16RoundTripIncludingAstralCharacters) {
  const std::string utf8 = "Maus \xc3\xa9 \xe4\xb8\xad \xf0\x9f\x8e\xae";  // é, 中, 🎮
  const std::u16string wide = Utf8ToWide(utf8);
  EXPECT_EQ(wide, u"Maus \u00e9 \u4e2d \U0001F3AE");
  EXPECT_EQ(WideToUtf8(wide), utf8);
  EXPECT_EQ(Utf8ToWide(""), u"");
}

TEST(Text, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xff"
                       "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToWide("\xe4\xb8"), u"\uFFFD\uFFFD");            // truncated sequence at the end
  EXPECT_EQ(Utf8ToWide("\xc0\xaf"), u"\uFFFD\uFFFD");            // overlong '/'
  EXPECT_EQ(Utf8ToWide("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  const std::u16string lone{u'x', static_cast<char16_t>(0xD800), u'y'};
  EXPECT_EQ(WideToUtf8(lone), "x\xef\xbf\xbdy");
}

TEST(Names, SplitIndexSuffixAtTheLastUnderscore) {
  IndexedName slider = SplitIndexSuffix("DPI_slider_3");
  EXPECT_TRUE(slider.ok);
  EXPECT_EQ(slider.prefix, "DPI_slider_");
  EXPECT_EQ(slider.number, 3);

  EXPECT_EQ(SplitIndexSuffix("key_110").number, 110);
  EXPECT_FALSE(SplitIndexSuffix("setbtn").ok);

  IndexedName noNumber = SplitIndexSuffix("key_");
  EXPECT_TRUE(noNumber.ok);
  EXPECT_EQ(noNumber.number, 0);
  EXPECT_EQ(SplitIndexSuffix("light_99999999999999").number, 0);  // does not fit: not taken
}

TEST(Names, FileNameOfDropsFoldersAndExtension) {
  EXPECT_EQ(FileNameOf("/home/u/.local/share/x/2024_03_05_14_07_09_042.Json"),
            "2024_03_05_14_07_09_042");
  EXPECT_EQ(FileNameOf("C:\\data\\ShootData_0.Shoot"), "ShootData_0");
  EXPECT_EQ(FileNameOf("macro"), "macro");
  EXPECT_EQ(FileNameOf("dir.d/noext"), "noext");
}

TEST(StampId, FormatsLocalTimeWithMilliseconds) {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 5;
  local.tm_hour = 14;
  local.tm_min = 7;
  local.tm_sec = 9;
  local.tm_isdst = -1;
  const auto when =
      std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(42);
  EXPECT_EQ(MakeStampId(when), "2024_03_05_14_07_09_042");
  EXPECT_EQ(MakeStampId().size(), std::string("2024_03_05_14_07_09_042").size());
}

}  // namespace
}  // namespace varkon
