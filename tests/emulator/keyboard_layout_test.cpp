// The emulated keyboard's tables, read over the protocol the way the program reads a keyboard,
// then searched for the canonical key list's default codes as the program's key discovery does.
#include <algorithm>
#include <array>
#include <set>

#include <gtest/gtest.h>

#include "device/transport_fixture.h"
#include "devices/key_tables.h"
#include "devices/keyboard_key_matrix.h"
#include "emulator/emulated_keyboard_layout.h"
#include "emulator/emulated_rig.h"

namespace varkon {
namespace {

constexpr int kAbsent = -1;

class KeyboardLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Plug(EmulatedKind::Keyboard);
    ASSERT_TRUE(test::OpenOn(transport, EmulatedKind::Keyboard));
    ASSERT_EQ(transport.CmdReadDeviceInfo(info), kStatusOk);
    keyCount = info[5];
    ASSERT_TRUE(transport.SetTableSize(static_cast<uint16_t>(keyCount * 3)));
    layout.resize(keyCount * 3);
    leds.resize(keyCount);
    ASSERT_EQ(transport.CmdReadKeyTable(layout), kStatusOk);
    ASSERT_EQ(transport.CmdReadKeyBytes(leds), kStatusOk);
    Discover();
  }

  // For every list index the first key position whose entry equals its default code in all
  // three bytes.
  void Discover() {
    position.fill(kAbsent);
    const auto& list = CanonicalKeyList();
    for (size_t i = 0; i < list.size(); ++i) {
      for (size_t p = 0; p < keyCount; ++p) {
        const AssignmentCode entry{layout[p * 3], layout[p * 3 + 1], layout[p * 3 + 2]};
        if (entry == list[i]) {
          position[i] = static_cast<int>(p);
          break;
        }
      }
    }
  }

  static bool IsMissing(size_t listIndex) {
    const auto& missing = EmulatedKeyboardMissingKeys();
    return std::find(missing.begin(), missing.end(), listIndex) != missing.end();
  }

  EmulatedRig rig;
  DeviceTransport transport{&rig.Backend()};
  std::array<uint8_t, kDeviceInfoSize> info{};
  size_t keyCount = 0;
  std::vector<uint8_t> layout;
  std::vector<uint8_t> leds;
  std::array<int, kCanonicalKeyCount> position{};
};

TEST_F(KeyboardLayoutTest, DeviceInfoDescribesAFullSizeBoard) {
  EXPECT_GE(keyCount, 100u);
  EXPECT_LE(keyCount * 3, 512u);  // the tables must fit the transport's table size
  EXPECT_EQ(info[6], 32);
  EXPECT_EQ(rig.Firmware(EmulatedKind::Keyboard).MemorySize(MemoryArea::MacroMemory),
            size_t{info[6]} * 128);
}

TEST_F(KeyboardLayoutTest, DiscoveryFindsEveryKeyOfTheBoardWhereTheMatrixPutsIt) {
  const size_t found =
      std::count_if(position.begin(), position.end(), [](int p) { return p != kAbsent; });
  EXPECT_GE(found, 100u);

  const std::vector<EmulatedKey>& keys = EmulatedKeyboardKeys();
  ASSERT_EQ(keys.size(), keyCount);
  for (size_t row = 0; row < kKeyboardRows; ++row) {
    for (size_t column = 0; column < kKeyboardColumns; ++column) {
      const uint8_t key = kKeyboardMatrix[row][column];
      if (!IsLitKey(key) || IsMissing(key) || CanonicalKeyList()[key] == kEmptyKeyCode) continue;
      ASSERT_NE(position[key], kAbsent) << "list index " << int{key};
      const KeyCell cell = keys[static_cast<size_t>(position[key])].cell;
      EXPECT_EQ(cell.row, row) << "list index " << int{key};
      EXPECT_EQ(cell.column, column) << "list index " << int{key};
    }
  }
}

TEST_F(KeyboardLayoutTest, MissingKeysAndEmptyEntriesAreNotFound) {
  const std::vector<size_t>& missing = EmulatedKeyboardMissingKeys();
  ASSERT_FALSE(missing.empty());
  for (size_t index : missing) {
    // Real keys of the list, lit on the program's matrix, that this board simply lacks.
    EXPECT_TRUE(IsLitKey(index)) << index;
    EXPECT_NE(CanonicalKeyList()[index], kEmptyKeyCode) << index;
    EXPECT_EQ(position[index], kAbsent) << index;
  }
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    if (CanonicalKeyList()[i] == kEmptyKeyCode) {
      EXPECT_EQ(position[i], kAbsent) << i;
    }
  }
}

TEST_F(KeyboardLayoutTest, TheVendorKeyMatchesNoListEntry) {
  EXPECT_EQ(FindCanonicalIndex(kEmulatedVendorKeyCode), -1);
  std::vector<bool> reached(keyCount, false);
  for (int p : position) {
    if (p != kAbsent) reached[static_cast<size_t>(p)] = true;
  }
  size_t unmatched = 0;
  for (size_t p = 0; p < keyCount; ++p) {
    if (reached[p]) continue;
    ++unmatched;
    EXPECT_EQ((AssignmentCode{layout[p * 3], layout[p * 3 + 1], layout[p * 3 + 2]}),
              kEmulatedVendorKeyCode)
        << "position " << p;
  }
  EXPECT_EQ(unmatched, 1u);
}

TEST_F(KeyboardLayoutTest, LedNumbersAreUniqueAndInsideAFrame) {
  std::set<uint8_t> seen;
  for (size_t p = 0; p < keyCount; ++p) {
    EXPECT_LT(leds[p], kCanonicalKeyCount) << "position " << p;
    // A streamed frame and a colour page carry N x 3 bytes: every LED must be inside them.
    EXPECT_LT(leds[p], keyCount) << "position " << p;
    EXPECT_TRUE(seen.insert(leds[p]).second) << "LED " << int{leds[p]} << " twice";
  }
}

TEST_F(KeyboardLayoutTest, PositionsAndLedsFollowOrdersOfTheirOwn) {
  // Were either in list-index order, a program mixing up list index, position and LED number
  // would still pass against this keyboard.
  bool positionsOutOfListOrder = false;
  int last = kAbsent;
  for (int p : position) {
    if (p == kAbsent) continue;
    positionsOutOfListOrder = positionsOutOfListOrder || p < last;
    last = p;
  }
  EXPECT_TRUE(positionsOutOfListOrder);
  size_t ledsElsewhere = 0;
  for (size_t p = 0; p < keyCount; ++p) ledsElsewhere += leds[p] != p ? 1 : 0;
  EXPECT_GT(ledsElsewhere, keyCount / 2);
}

TEST_F(KeyboardLayoutTest, AFrameBuiltFromTheLedMapCompletesOnce) {
  // The program puts the colour of list index i at 3 x its LED; one frame is N x 3 bytes.
  std::vector<uint8_t> frame(keyCount * 3, 0);
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    if (position[i] == kAbsent) continue;
    const size_t led = leds[static_cast<size_t>(position[i])];
    frame[led * 3] = static_cast<uint8_t>(i);
  }
  ASSERT_EQ(transport.CmdStreamLightFrame(frame), kStatusOk);
  VendorFirmware& firmware = rig.Firmware(EmulatedKind::Keyboard);
  EXPECT_EQ(firmware.LightFrames(), 1u);
  EXPECT_EQ(firmware.LastLightFrame(), frame);
}

}  // namespace
}  // namespace varkon
