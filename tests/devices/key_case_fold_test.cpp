#include <gtest/gtest.h>

#include "devices/key_case_fold.h"

namespace varkon {
namespace {

TEST(FoldCase, CapitalsBecomeSmallLetters) {
  EXPECT_EQ(FoldCase(u'A'), u'a');
  EXPECT_EQ(FoldCase(u'z'), u'z');
  EXPECT_EQ(FoldCase(u'@'), u'@');
  EXPECT_EQ(FoldCase(u'['), u'[');
  EXPECT_EQ(FoldCase(u'\u00C0'), u'\u00E0');  // À
  EXPECT_EQ(FoldCase(u'\u00DE'), u'\u00FE');  // Þ
  EXPECT_EQ(FoldCase(u'\u00D7'), u'\u00D7');  // multiplication sign has no small form
  EXPECT_EQ(FoldCase(u'\u00DF'), u'\u00DF');  // ß stays
  EXPECT_EQ(FoldCase(u'\u0178'), u'\u00FF');  // Ÿ
  EXPECT_EQ(FoldCase(u'\u0100'), u'\u0101');  // Ā
  EXPECT_EQ(FoldCase(u'\u0101'), u'\u0101');
  EXPECT_EQ(FoldCase(u'\u0141'), u'\u0142');  // Ł (capital at an odd code point)
  EXPECT_EQ(FoldCase(u'\u0142'), u'\u0142');
  EXPECT_EQ(FoldCase(u'\u0391'), u'\u03B1');  // Α
  EXPECT_EQ(FoldCase(u'\u03A3'), u'\u03C3');  // Σ
  EXPECT_EQ(FoldCase(u'\u03C2'), u'\u03C3');  // final sigma
  EXPECT_EQ(FoldCase(u'\u03A2'), u'\u03A2');  // unassigned between Ρ and Σ
  EXPECT_EQ(FoldCase(u'\u0386'), u'\u03AC');  // Ά
  EXPECT_EQ(FoldCase(u'\u038F'), u'\u03CE');  // Ώ
  EXPECT_EQ(FoldCase(u'\u0401'), u'\u0451');  // Ё
  EXPECT_EQ(FoldCase(u'\u0416'), u'\u0436');  // Ж
  EXPECT_EQ(FoldCase(u'\u042F'), u'\u044F');  // Я
  EXPECT_EQ(FoldCase(u'\u0462'), u'\u0463');  // Ѣ
  EXPECT_EQ(FoldCase(u'\u04C1'), u'\u04C2');  // Ӂ
  EXPECT_EQ(FoldCase(u'\u4E2D'), u'\u4E2D');
}

TEST(EqualsIgnoringCase, ComparesWholeTexts) {
  EXPECT_TRUE(EqualsIgnoringCase("Num Lock", "NUM LOCK"));
  EXPECT_TRUE(EqualsIgnoringCase("", ""));
  EXPECT_FALSE(EqualsIgnoringCase("Num", "Num Lock"));
  EXPECT_TRUE(EqualsIgnoringCase("\xc3\x84rger", "\xc3\xa4RGER"));  // Ärger
  EXPECT_TRUE(
      EqualsIgnoringCase("\xce\xa3\xce\x9f\xce\xa3", "\xcf\x83\xce\xbf\xcf\x82"));  // ΣΟΣ, σος
  EXPECT_TRUE(EqualsIgnoringCase("\xd0\x9a\xd0\xbb\xd0\xb0\xd0\xb2",
                                 "\xd0\xba\xd0\x9b\xd0\x90\xd0\x92"));  // Клав
  EXPECT_FALSE(EqualsIgnoringCase("\xc3\x97", "\xc3\xb7"));             // × and ÷ differ
  EXPECT_FALSE(EqualsIgnoringCase("\xe5\x85\xb3", "\xe5\x85\xb4"));
  // Malformed bytes compare as replacement characters without failing.
  EXPECT_TRUE(EqualsIgnoringCase("a\xff", "A\xfe"));
}

}  // namespace
}  // namespace varkon
