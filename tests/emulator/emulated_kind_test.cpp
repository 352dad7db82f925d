#include "emulator/emulated_kind.h"

#include <gtest/gtest.h>

namespace varkon {
namespace {

using K = EmulatedKind;

TEST(EmulatedKindTest, NamesRoundTripThroughTheParser) {
  for (EmulatedKind kind : AllEmulatedKinds()) {
    std::vector<EmulatedKind> parsed;
    ASSERT_TRUE(ParseEmulatedKinds(EmulatedKindName(kind), parsed)) << EmulatedKindName(kind);
    EXPECT_EQ(parsed, std::vector<EmulatedKind>{kind});
  }
  EXPECT_STREQ(EmulatedKindName(K::Pad), "pad");
  EXPECT_STREQ(EmulatedKindName(K::Receiver), "receiver");
}

TEST(EmulatedKindTest, ListsKeepOrderAndDropDuplicates) {
  std::vector<EmulatedKind> kinds;
  ASSERT_TRUE(ParseEmulatedKinds("headset, keyboard,headset ,mouse", kinds));
  EXPECT_EQ(kinds, (std::vector<EmulatedKind>{K::Headset, K::Keyboard, K::Mouse}));
  ASSERT_TRUE(ParseEmulatedKinds("all", kinds));
  EXPECT_EQ(kinds,
            (std::vector<EmulatedKind>{K::Keyboard, K::Mouse, K::Receiver, K::Pad, K::Headset}));
}

TEST(EmulatedKindTest, UnknownOrEmptyNamesAreRefusedWithoutTouchingTheResult) {
  std::vector<EmulatedKind> kinds = {K::Pad};
  EXPECT_FALSE(ParseEmulatedKinds("keyboard,trackball", kinds));
  EXPECT_FALSE(ParseEmulatedKinds("", kinds));
  EXPECT_FALSE(ParseEmulatedKinds("keyboard,,mouse", kinds));
  EXPECT_FALSE(ParseEmulatedKinds("keyboard,", kinds));
  EXPECT_FALSE(ParseEmulatedKinds("Keyboard", kinds));
  EXPECT_FALSE(ParseEmulatedKinds("all,keyboard", kinds));
  EXPECT_EQ(kinds, std::vector<EmulatedKind>{K::Pad});
}

}  // namespace
}  // namespace varkon
