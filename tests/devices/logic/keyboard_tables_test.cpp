// The keyboard's key maps, settings record and key tables: the rules where a wrong byte would
// silently reach the hardware.
#include <gtest/gtest.h>

#include "devices/key_tables.h"
#include "devices/logic/keyboard_key_maps.h"
#include "devices/logic/keyboard_key_writer.h"
#include "devices/logic/keyboard_notice.h"
#include "devices/logic/keyboard_record.h"

namespace varkon {
namespace {

void PutCode(std::vector<uint8_t>& table, size_t position, AssignmentCode code) {
  table[3 * position] = code.kind;
  table[3 * position + 1] = code.b1;
  table[3 * position + 2] = code.b2;
}

AssignmentCode CodeAt(const std::vector<uint8_t>& table, size_t position) {
  return {table[3 * position], table[3 * position + 1], table[3 * position + 2]};
}

// A keyboard of 104 positions carrying list entries 0-99 in reverse order, LEDs numbered
// backwards, and four vendor codes nothing matches.
struct Layout {
  std::vector<uint8_t> keys = std::vector<uint8_t>(104 * 3, 0);
  std::vector<uint8_t> leds = std::vector<uint8_t>(104, 0);
  Layout() {
    for (size_t p = 0; p < 104; ++p) {
      PutCode(keys, p, p < 100 ? CanonicalKeyList()[99 - p] : AssignmentCode{0xA0, 0x4C, 0});
      leds[p] = static_cast<uint8_t>(103 - p);
    }
  }
};

TEST(KeyboardKeyMaps, DiscoversPositionsLedsAndFirstMatches) {
  Layout layout;
  const KeyboardKeyMaps maps = DiscoverKeyPositions(layout.keys, layout.leds);
  EXPECT_EQ(maps.keyPosition[0], 99);
  EXPECT_EQ(maps.keyLed[0], 4);
  EXPECT_EQ(maps.ListIndexAt(99), 0);
  EXPECT_EQ(maps.ListIndexAt(100), -1);  // a vendor key no list entry names
  // A key whose default code is not in the layout has no position and no LED.
  EXPECT_FALSE(maps.Has(120));
  EXPECT_EQ(maps.keyLed[120], kNoKeyPosition);
  // Two entries with the same default code both take the first position carrying it.
  const auto& list = CanonicalKeyList();
  for (size_t i = 100; i < kCanonicalKeyCount; ++i) {
    const int first = FindCanonicalIndex(list[i]);
    if (first >= 0 && first < 100 && static_cast<size_t>(first) != i) {
      EXPECT_EQ(maps.keyPosition[i], maps.keyPosition[static_cast<size_t>(first)]) << i;
    }
  }
  // A table shorter than its LED list, or empty, finds what it holds and no more.
  EXPECT_EQ(DiscoverKeyPositions({}, layout.leds).Count(), 0u);
  const KeyboardKeyMaps shortLeds =
      DiscoverKeyPositions(layout.keys, std::span<const uint8_t>(layout.leds).first(10));
  EXPECT_EQ(shortLeds.keyPosition[0], 99);
  EXPECT_EQ(shortLeds.keyLed[0], kNoKeyPosition);
}

TEST(KeyboardRecordCodec, WritesAndReadsTheLightingAndSystemBytes) {
  const std::vector<int> values = {0,  11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                   26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};
  KeyboardRecord lastRead{};
  for (size_t i = 0; i < lastRead.size(); ++i) lastRead[i] = static_cast<uint8_t>(0x80 + i);
  LightState light;
  light.mode = 5;
  light.brightness = 3;
  light.speed = 1;
  light.direction = 1;
  light.multicolour = 0;
  light.red = 0x10;
  light.green = 0x20;
  light.blue = 0x30;
  light.zzccLedMode = 2;
  light.customGroup = 3;
  KeyboardSystemWords system;
  system.word1 = KeyboardSystemWords::Pack(1, 2);  // 6-key on, polling rate 2
  system.word2 = KeyboardSystemWords::Pack(1, 0);  // W on, Win lock off
  const KeyboardRecord record = EncodeKeyboardRecord(lastRead, light, system, values, 0);
  namespace kr = keyboard_record;
  EXPECT_EQ(record[kr::kProfile], 0);
  EXPECT_EQ(record[kr::kEffect], 15);  // the mode list's value, not the position
  EXPECT_EQ(record[kr::kBrightness], 3);
  EXPECT_EQ(record[kr::kSpeed], 3);  // 4 - speed
  EXPECT_EQ(record[kr::kDirection], 1);
  EXPECT_EQ(record[kr::kRed], 0x10);
  EXPECT_EQ(record[kr::kBlue], 0x30);
  EXPECT_EQ(record[kr::kCleared], 0);
  EXPECT_EQ(record[kr::kHotKey], lastRead[kr::kHotKey]);  // kept as the keyboard gave it
  EXPECT_EQ(record[kr::kZzcc], 2);
  EXPECT_EQ(record[kr::kWFlag], 1);
  EXPECT_EQ(record[kr::kKey6Flag], 1);
  EXPECT_EQ(record[kr::kWinFlag], 0);
  EXPECT_EQ(record[kr::kPollingRate], 2);
  EXPECT_EQ(record[kr::kCustomGroup], 3);
  for (size_t kept : {9u, 15u, 23u, 24u, 26u, 38u}) EXPECT_EQ(record[kept], lastRead[kept]);

  // Reading it back gives the same state.
  const DecodedKeyboardRecord decoded = DecodeKeyboardRecord(record, LightState{}, values);
  EXPECT_EQ(decoded.light.mode, 5);
  EXPECT_EQ(decoded.light.speed, 1);
  EXPECT_EQ(decoded.light.customGroup, 3);
  EXPECT_EQ(decoded.key6Flag, 1);
  EXPECT_EQ(decoded.wFlag, 1);

  // The streamed effects are sent as 0xFE, and 0xFE read back keeps the effect shown now.
  light.mode = 29;
  EXPECT_EQ(EncodeKeyboardRecord(lastRead, light, system, values, 0)[kr::kEffect], 0xFE);
  light.mode = 30;
  KeyboardRecord streamed = EncodeKeyboardRecord(lastRead, light, system, values, 0);
  EXPECT_EQ(streamed[kr::kEffect], 0xFE);
  LightState shown;
  shown.mode = 30;
  EXPECT_EQ(DecodeKeyboardRecord(streamed, shown, values).light.mode, 30);
  EXPECT_TRUE(DecodeKeyboardRecord(streamed, shown, values).effectKept);
  // A code no entry has stays as it is; a speed byte above 4 reads as the slowest speed.
  KeyboardRecord odd = record;
  odd[kr::kEffect] = 0x77;
  odd[kr::kSpeed] = 9;
  EXPECT_EQ(DecodeKeyboardRecord(odd, LightState{}, values).light.mode, 0x77);
  EXPECT_EQ(DecodeKeyboardRecord(odd, LightState{}, values).light.speed, 0);
}

KeyAssignmentRecord Key(size_t index, AssignmentCode main, AssignmentCode fn) {
  KeyAssignmentRecord key;
  const auto i = static_cast<uint16_t>(index);
  key.defaultSlot = {i, CanonicalKeyList()[index]};
  key.main = {i, main};
  key.fn = {i, fn};
  return key;
}

TEST(KeyboardKeyWriter, RenumbersMacrosAndFallsBackForMissingOnes) {
  Layout layout;
  const KeyboardKeyMaps maps = DiscoverKeyPositions(layout.keys, layout.leds);
  std::vector<KeyAssignmentRecord> keys;
  for (size_t i = 0; i < 126; ++i) {
    keys.push_back(Key(i, CanonicalKeyList()[i], CanonicalKeyList()[i]));
  }
  keys[3].main.code = {kAssignMacro, 5, 1};
  keys[4].fn.code = {kAssignMacroRepeat, 2, 3};
  keys[6].main.code = {kAssignMacro, 5, 0};  // the same macro again
  keys[7].main.code = {kAssignMacro, 9, 0};  // beyond the library: back to its default
  keys[8].fn.code = {kAssignMacro, 9, 0};    // and on the Fn layer: nothing
  keys[9].fn.code = {kAssignKeyboard, 0, 0x29};
  keys[110].main.code = {kAssignMacro, 1, 0};  // no position on this keyboard: skipped

  EXPECT_EQ(KeyboardMacroList(keys, maps, 6), (std::vector<int>{5, 2}));
  const KeyboardKeyTables tables = BuildKeyboardKeyTables(layout.keys, keys, maps, 6);
  EXPECT_EQ(tables.macroOrder, (std::vector<int>{5, 2}));
  EXPECT_EQ(CodeAt(tables.main, maps.keyPosition[3]), (AssignmentCode{kAssignMacro, 0, 1}));
  EXPECT_EQ(CodeAt(tables.fn, maps.keyPosition[4]), (AssignmentCode{kAssignMacroRepeat, 1, 3}));
  EXPECT_EQ(CodeAt(tables.main, maps.keyPosition[6]), (AssignmentCode{kAssignMacro, 0, 0}));
  EXPECT_EQ(CodeAt(tables.main, maps.keyPosition[7]), CanonicalKeyList()[7]);
  EXPECT_EQ(CodeAt(tables.fn, maps.keyPosition[8]), AssignmentCode{});
  EXPECT_EQ(CodeAt(tables.fn, maps.keyPosition[9]), (AssignmentCode{kAssignKeyboard, 0, 0x29}));
  // An Fn code equal to the key's default goes out as 00 00 00.
  EXPECT_EQ(CodeAt(tables.fn, maps.keyPosition[0]), AssignmentCode{});
  // Positions no key reaches keep the keyboard's own code; the key list is not changed.
  EXPECT_EQ(CodeAt(tables.main, 100), (AssignmentCode{0xA0, 0x4C, 0}));
  EXPECT_EQ(CodeAt(tables.fn, 101), (AssignmentCode{0xA0, 0x4C, 0}));
  EXPECT_EQ(keys[3].main.code.b1, 5);

  EXPECT_TRUE(ResetMissingMacroKeys(keys, 6));
  EXPECT_EQ(keys[7].main.code, CanonicalKeyList()[7]);
  EXPECT_EQ(keys[8].fn.code, (AssignmentCode{kAssignMacro, 9, 0}));  // the Fn layer stays
  EXPECT_FALSE(ResetMissingMacroKeys(keys, 6));
}

TEST(KeyboardNotices, EveryKindOfNotice) {
  using Kind = KeyboardNotice::Kind;
  EXPECT_EQ(ClassifyKeyboardNotice(0x0401).kind, Kind::kResync);
  EXPECT_EQ(ClassifyKeyboardNotice(0x0402).kind, Kind::kSettingsChanged);
  EXPECT_EQ(ClassifyKeyboardNotice(0x0404).kind, Kind::kCounted);
  EXPECT_EQ(ClassifyKeyboardNotice(0x0405).kind, Kind::kIgnored);
  const KeyboardNotice press = ClassifyKeyboardNotice(0x0512);
  EXPECT_EQ(press.kind, Kind::kKeyPressed);
  EXPECT_EQ(press.position, 0x12);
  EXPECT_EQ(ClassifyKeyboardNotice(0x06FF).kind, Kind::kKeyReleased);
  const KeyboardNotice hotKey = ClassifyKeyboardNotice(0x1135);
  EXPECT_EQ(hotKey.kind, Kind::kHotKey);
  EXPECT_EQ(hotKey.profile, 5);
  EXPECT_EQ(hotKey.hotKeyByte, 3);
  const KeyboardNotice plain = ClassifyKeyboardNotice(0x1002);
  EXPECT_EQ(plain.profile, 2);
  EXPECT_EQ(plain.hotKeyByte, -1);
  EXPECT_EQ(ClassifyKeyboardNotice(0x1200).kind, Kind::kIgnored);
}

}  // namespace
}  // namespace varkon
