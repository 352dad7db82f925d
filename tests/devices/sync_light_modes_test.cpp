#include "devices/sync_light_modes.h"

#include <gtest/gtest.h>

namespace varkon {
namespace {

constexpr LightDeviceClass kClasses[] = {LightDeviceClass::kKeyboard, LightDeviceClass::kMouse,
                                         LightDeviceClass::kMousePad, LightDeviceClass::kHeadset};

TEST(SyncLightModes, ModesOfEachType) {
  struct Row {
    SyncType type;
    uint8_t keyboard, mouse, pad, headset;
  };
  const Row rows[] = {{SyncType::kBreathing, 5, 2, 2, 2},
                      {SyncType::kStatic, 6, 3, 3, 3},
                      {SyncType::kBlink, 34, 4, 4, 4},
                      {SyncType::kSpectrum, 4, 1, 1, 1},
                      {SyncType::kOff, 21, 10, 8, 8}};
  for (const Row& r : rows) {
    EXPECT_EQ(ModeOfSyncType(LightDeviceClass::kKeyboard, r.type), r.keyboard);
    EXPECT_EQ(ModeOfSyncType(LightDeviceClass::kMouse, r.type), r.mouse);
    EXPECT_EQ(ModeOfSyncType(LightDeviceClass::kMousePad, r.type), r.pad);
    EXPECT_EQ(ModeOfSyncType(LightDeviceClass::kHeadset, r.type), r.headset);
  }
}

TEST(SyncLightModes, EveryModeInTheTableReadsBackToItsType) {
  for (LightDeviceClass cls : kClasses) {
    for (int t = 0; t < kSyncTypeCount; ++t) {
      const auto type = static_cast<SyncType>(t);
      const std::optional<uint8_t> mode = ModeOfSyncType(cls, type);
      ASSERT_TRUE(mode.has_value());
      EXPECT_EQ(SyncTypeOfMode(cls, *mode), type);
    }
  }
}

TEST(SyncLightModes, ModesOutsideTheColumnStartNothing) {
  for (LightDeviceClass cls : kClasses) {
    int mapped = 0;
    for (int mode = 0; mode < 256; ++mode) {
      if (SyncTypeOfMode(cls, static_cast<uint8_t>(mode))) ++mapped;
    }
    EXPECT_EQ(mapped, kSyncTypeCount);
  }
  // A custom per-key keyboard effect; the mouse's "off" is no mode of the mouse pad.
  EXPECT_FALSE(SyncTypeOfMode(LightDeviceClass::kKeyboard, 20).has_value());
  EXPECT_FALSE(SyncTypeOfMode(LightDeviceClass::kKeyboard, 2).has_value());
  EXPECT_EQ(SyncTypeOfMode(LightDeviceClass::kMouse, 10), SyncType::kOff);
  EXPECT_FALSE(SyncTypeOfMode(LightDeviceClass::kMousePad, 10).has_value());
  EXPECT_EQ(SyncTypeOfMode(LightDeviceClass::kHeadset, 8), SyncType::kOff);
  EXPECT_FALSE(SyncTypeOfMode(LightDeviceClass::kMouse, 0).has_value());
}

TEST(SyncLightModes, UnknownTypeOrClassGivesNothing) {
  EXPECT_FALSE(ModeOfSyncType(LightDeviceClass::kKeyboard, static_cast<SyncType>(5)));
  EXPECT_FALSE(ModeOfSyncType(LightDeviceClass::kMouse, static_cast<SyncType>(255)));
  const auto bogus = static_cast<LightDeviceClass>(9);
  EXPECT_FALSE(ModeOfSyncType(bogus, SyncType::kStatic));
  EXPECT_FALSE(SyncTypeOfMode(bogus, 6));
}

}  // namespace
}  // namespace varkon
