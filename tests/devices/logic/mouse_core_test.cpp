// The mouse's DPI scale, settings record and key table, on the cases that decide what the mouse
// is sent.
#include <gtest/gtest.h>

#include "devices/key_tables.h"
#include "devices/logic/mouse_dpi.h"
#include "devices/logic/mouse_key_maps.h"
#include "devices/logic/mouse_notice.h"
#include "devices/logic/mouse_record.h"

namespace varkon {
namespace {

TEST(MouseDpi, StepsAndTypedValuesOfBothKindsOfSensor) {
  // Device information: sensor 0x3325, step 100, 120 slider steps, minimum 200.
  std::vector<uint8_t> info(34, 0);
  info[9] = 0x25, info[10] = 0x33, info[11] = 100, info[12] = 120, info[14] = 200;
  const MouseDpiScale wide = DpiScaleFromInfo(info);
  EXPECT_EQ(wide.sensor, kWideStepSensor);
  EXPECT_EQ(wide.sliderMax, 120);
  EXPECT_EQ(DpiOfStep(wide, 48), 5000);
  EXPECT_EQ(DpiOfStep(wide, 49), 5200);
  EXPECT_EQ(DpiOfStep(wide, 50), 5400);
  EXPECT_EQ(StepOfTypedDpi(wide, "5400"), 49);  // and so shows 5200
  EXPECT_EQ(StepOfTypedDpi(wide, "150"), 0);
  EXPECT_EQ(StepOfTypedDpi(wide, ""), 0);
  EXPECT_EQ(StepOfTypedDpi(wide, "9999999"), 120);  // kept on the slider

  const MouseDpiScale plain{0x1234, 50, 200, 100};
  EXPECT_EQ(DpiOfStep(plain, 10), 600);
  EXPECT_EQ(StepOfTypedDpi(plain, "640"), 10);
  EXPECT_EQ(DpiOfStep(plain, 60), 3100);  // no 200-DPI steps on other sensors

  // A mouse that says its step is 0 gets step 0, not a division by zero; a short block reads 0.
  EXPECT_EQ(StepOfTypedDpi(MouseDpiScale{0x1234, 0, 100, 400}, "3000"), 0);
  const std::vector<uint8_t> shortInfo(10, 0xFF);
  EXPECT_EQ(DpiScaleFromInfo(shortInfo).step, 0);
  EXPECT_EQ(DpiScaleFromInfo(shortInfo).minimum, 0);
}

TEST(MouseRecord, BuiltFromZeroWithStagesScreenAndCorrection) {
  MouseRecordContent content;
  content.light.mode = 13;  // beyond the mouse's effects: sent as position 0
  content.light.brightness = 3;
  content.light.speed = 1;
  content.light.direction = 1;
  content.light.red = 0x11, content.light.green = 0x22, content.light.blue = 0x33;
  content.reportRate = 2;
  content.selectedStage = 1;
  DpiStage stage;
  stage.enabled = 1, stage.dpiX = 0x0132, stage.dpiY = 0x0132, stage.red = 0xFF;
  content.stages = {stage, stage, stage, stage, stage, stage};  // a sixth is not sent
  content.stages[1].enabled = 0;
  content.screenWidth = 1920, content.screenHeight = 1080;
  content.corrections = {{7, 8, 0, "off"}, {9, 10, 1, "on"}};
  const std::vector<int> values = {40, 41, 42};
  const MouseRecord record = EncodeMouseRecord(content, values);
  EXPECT_EQ(record[mouse_record::kEffect], 40);
  EXPECT_EQ(record[mouse_record::kSpeed], 3);
  EXPECT_EQ(record[mouse_record::kReportRate], 2);
  EXPECT_EQ(record[mouse_record::kSelectedStage], 1);
  EXPECT_EQ(record[14], 1);
  EXPECT_EQ(record[16], 0x32);
  EXPECT_EQ(record[17], 0x01);
  EXPECT_EQ(record[20], 0xFF);
  EXPECT_EQ(record[23], 0);  // stage 1 off
  EXPECT_EQ(record[59], 1);
  EXPECT_EQ(record[60] | record[61] << 8, 1920);
  EXPECT_EQ(record[62] | record[63] << 8, 1080);
  EXPECT_EQ(record[64], 10);  // the selected correction's "CorrectMinSq"
  EXPECT_EQ(record[65], 9);
  for (size_t i = 66; i < kMouseRecordSize; ++i) EXPECT_EQ(record[i], 0) << i;

  content.light.mode = 2;
  const DecodedMouseRecord decoded =
      DecodeMouseRecord(EncodeMouseRecord(content, values), LightState{}, values);
  EXPECT_EQ(decoded.light.mode, 2);
  EXPECT_EQ(decoded.light.speed, 1);
  EXPECT_EQ(decoded.light.direction, 0);  // not taken back
  EXPECT_EQ(decoded.light.blue, 0x33);
  EXPECT_EQ(decoded.selectedStage, 1);
  // A short read changes nothing.
  const std::vector<uint8_t> truncated(10, 9);
  EXPECT_EQ(DecodeMouseRecord(truncated, content.light, values).light.mode, 2);
}

TEST(MouseKeyTable, ButtonsAtTheirPositionsWithMacrosRenumbered) {
  // A layout of 10 positions: the canonical buttons 0-9 reversed, no fire button.
  const auto& buttons = MouseCanonicalButtons();
  std::vector<uint8_t> layout;
  for (int p = 0; p < 10; ++p) {
    const AssignmentCode code = buttons[static_cast<size_t>(9 - p)].code;
    layout.insert(layout.end(), {code.kind, code.b1, code.b2});
  }
  const MouseButtonPositions positions = DiscoverMouseButtonPositions(layout);
  EXPECT_EQ(positions[0], 9);
  EXPECT_EQ(positions[9], 0);
  EXPECT_EQ(positions[10], kNoMousePosition);

  std::vector<KeyAssignmentRecord> keys(kMouseButtonCount);
  for (size_t i = 0; i < keys.size(); ++i) {
    keys[i].defaultSlot.code = buttons[i].code;
    keys[i].main.code = buttons[i].code;
  }
  keys[1].main.code = {kAssignMacro, 5, 0};         // first used: number 0
  keys[2].main.code = {kAssignMacro, 2, 0};         // number 1
  keys[3].main.code = {kAssignMacro, 5, 1};         // number 0 again
  keys[4].main.code = {kAssignMacro, 9, 0};         // gone: the default back button
  keys[10].main.code = {kAssignKeyboard, 0, 0x04};  // no position: not sent
  const MouseKeyTable table = BuildMouseKeyTable(layout, keys, positions, 6);
  ASSERT_EQ(table.table.size(), layout.size());
  EXPECT_EQ(table.macroOrder, (std::vector<int>{5, 2}));
  const auto at = [&](size_t button) {
    const size_t p = positions[button];
    return AssignmentCode{table.table[3 * p], table.table[3 * p + 1], table.table[3 * p + 2]};
  };
  EXPECT_EQ(at(1), (AssignmentCode{kAssignMacro, 0, 0}));
  EXPECT_EQ(at(2), (AssignmentCode{kAssignMacro, 1, 0}));
  EXPECT_EQ(at(3), (AssignmentCode{kAssignMacro, 0, 1}));
  EXPECT_EQ(at(4), buttons[4].code);
  EXPECT_EQ(at(0), buttons[0].code);
}

TEST(MouseNotice, EachInterfaceHasItsOwnHotKeyFloor) {
  using Kind = MouseNotice::Kind;
  EXPECT_EQ(ClassifyMouseNotice(0x0401, false).kind, Kind::kResync);
  EXPECT_EQ(ClassifyMouseNotice(0x0402, true).kind, Kind::kResync);
  EXPECT_EQ(ClassifyMouseNotice(0x0403, false).kind, Kind::kReactive);
  EXPECT_EQ(ClassifyMouseNotice(0x0403, true).kind, Kind::kIgnored);
  const MouseNotice stage = ClassifyMouseNotice(0x1123, false);
  EXPECT_EQ(stage.kind, Kind::kHotKey);
  EXPECT_EQ(stage.profile, 3);
  EXPECT_EQ(stage.stage, 2);
  const MouseNotice profile = ClassifyMouseNotice(0x1002, true);
  EXPECT_EQ(profile.kind, Kind::kHotKey);
  EXPECT_EQ(profile.profile, 2);
  EXPECT_EQ(profile.stage, -1);
  EXPECT_EQ(ClassifyMouseNotice(0x1202, false).kind, Kind::kIgnored);
  EXPECT_EQ(ClassifyMouseNotice(0x0500, false).kind, Kind::kIgnored);
}

}  // namespace
}  // namespace varkon
